#pragma once
#include <memory>
#include <string>

#include "app/StartupScreen.h"

class Image;

// A distributor's splash picture over the whole window, fitted with its
// aspect ratio kept (white around it), for 4 seconds; a click after the
// first second skips it. A picture that is missing (or of no size) shows
// nothing: the screen is not opened at all.
class DistributorScreen : public StartupScreen {
public:
    static constexpr int kShowTicks = 399;
    static constexpr int kClickAfterTicks = 100;

    // The picture is read by file name (in images/).
    explicit DistributorScreen(const std::string& imageName);
    ~DistributorScreen() override;

    bool HasPicture() const { return mPicture != nullptr; }
    void Update() override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;

    // Where the picture goes in the window.
    Rect GetPictureRect() const { return Rect(mDrawX, mDrawY, mDrawWidth, mDrawHeight); }

private:

    std::unique_ptr<Image> mPicture;
    int mTicks = 0;
    int mDrawX = 0, mDrawY = 0, mDrawWidth = 0, mDrawHeight = 0;
};

// The rectangle a picture of the given size takes in the window when fitted
// with its aspect ratio kept and centred.
Rect FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);
