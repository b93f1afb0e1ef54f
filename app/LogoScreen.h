#pragma once
#include <vector>

#include "core/WeakHandle.h"
#include "app/LogoPieces.h"
#include "app/StartupScreen.h"

class Image;

// The studio logo, the first screen: the publisher's splash picture when the
// data has one ("PUBLISHER_SPLASH", 2 seconds), then the animated logo (5
// seconds): the letters drop in one after the other, the ball bounces across
// them, two letters lean under its landings and a trail is revealed behind
// it. A click skips each part. Then the next start-up screen opens.
class LogoScreen : public StartupScreen {
public:
    static constexpr int kSplashTicks = 200;
    static constexpr int kLogoTicks = 500;
    // The trail's right part (its descent) shows once the ball is this far in.
    static constexpr int kTrailTurn = 408;

    LogoScreen();

    void Update() override;
    void UpdateF(float f) override;
    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;

    bool IsShowingSplash() const { return mShowingSplash; }
    LogoBall* GetBall() const { return mBall.Get(); }
    const std::vector<WeakHandle<LogoLetter>>& GetLetters() const { return mLetters; }
    // The trail's parts drawn now: 0 none, 1 the left part, 2 both.
    int GetTrailParts() const;

private:
    void BuildAnimatedLogo();
    // The trail's origin in the window.
    float TrailX() const;
    float TrailY() const;

    std::vector<WeakHandle<LogoLetter>> mLetters;
    WeakHandle<LogoBall> mBall;
    Image* mTrailImage = nullptr;
    Image* mTrademarkImage = nullptr;
    Image* mSplashImage = nullptr;
    int mTicks = 0;
    bool mShowingSplash = true;
    // Clicks on the publisher's picture before the logo's pictures were read:
    // the first skips the picture, a second the logo too.
    int mEarlyClicks = 0;
};
