#pragma once
#include <memory>
#include <string>

#include "widgets/DynamicWidget.h"

class ImageSurface;
class MoviePlayer;

// Told by a movie player when the movie stops and when it sends a command.
class FlashListener {
public:
    virtual ~FlashListener() = default;
    virtual void FlashNotify() {}
    virtual void FlashCommand(const std::string& /*command*/, const std::string& /*arguments*/) {}
};

// A movie ("flash/<name>.swf") shown as an image of the given size. Without
// movie playback the surface stays empty and the widget is never busy, so a
// script waiting on it goes on at once.
class FlashWidget : public DynamicWidget, public FlashListener {
public:
    FlashWidget(float x, float y, const std::wstring& movieName, int width, int height, bool loop);
    ~FlashWidget() override;

    void Update() override;
    void Draw(Graphics* g) override;
    bool IsBusy() override;
    // A playing movie changes every step.
    int StepsUntilDue() override;
    MoviePlayer* GetPlayer() const { return mPlayer.get(); }

private:
    ImageSurface* mSurface = nullptr;  // owned as the widget's image
    std::unique_ptr<MoviePlayer> mPlayer;
    bool mLoop = false;
};
