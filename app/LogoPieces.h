#pragma once
#include "widgets/DynamicWidget.h"

class Image;

// One letter of the animated logo: it drops from above to the middle of the
// window, overshoots and springs back. A ball landing on it pushes it down
// and it springs back carrying the ball.
class LogoLetter : public DynamicWidget {
public:
    LogoLetter(float x, float y, Image* image);
    int StepsUntilDue() override { return mVelocity != 0.0 ? 0 : kNothingDue; }
    void UpdateF(float f) override;

    // Starts the drop (with the sound "whoosh").
    void Start();
    // The ball has landed on this letter: it leans (its second image, when
    // there is one), moves by (dx, dy) and carries the ball.
    void PushDown(Image* leaning, DynamicWidget* ball, double ballVelocity, int dx, int dy);

    double mVelocity = 0.0;  // pixels per update step; 0 at rest
    double mTargetY = 0.0;
    double mSpring = 0.0;
    bool mFalling = false;
    bool mLanded = false;  // read and cleared by the screen
    WeakHandle<DynamicWidget> mCarried;
    double mCarriedOffset = 0.0;
};

// The bouncing ball: thrown in from the lower left, it lands three times on
// fixed floors (squashed for a moment each time) and rests after the third.
// Its image has three columns: round, squashed, more squashed.
class LogoBall : public DynamicWidget {
public:
    static constexpr int kCels = 3;

    explicit LogoBall(Image* image);
    int StepsUntilDue() override { return mVelocityX != 0.0 || mSquashTicks >= 0 ? 0 : kNothingDue; }
    void Update() override;
    void UpdateF(float f) override;
    void Draw(Graphics* g) override;
    // The column drawn now: 0 in flight, 1, 2, 1 while squashed, and always
    // 0 for an image without the three columns.
    int GetDrawnCel() const;

    double mVelocityX = 4.41;
    double mVelocityY = -9.6;
    int mBounce = 0;        // landings so far
    bool mBounced = false;  // read and cleared by the screen
    int mSquashTicks = -1;  // -1 in flight, else update steps since landing
    int mSquashFrameTicks = 6;
    int mFloorY[3] = {};
    // The position in doubles (the widget's own is float), so the path is the
    // same whatever the frame rate rounds.
    double mPosX = 0.0;
    double mPosY = 0.0;
    bool mHasCels = false;
};
