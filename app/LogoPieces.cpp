#include "app/LogoPieces.h"

#include "app/PomoAppBase.h"
#include "data/AssetLookup.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {

void PlayNamedSample(const wchar_t* name) {
    const int id = GetSoundId(name);
    if (gAppBase && id >= 0) gAppBase->PlaySample(id);
}

int ScreenWidth() { return gAppBase ? gAppBase->GetWidth() : 1024; }
int ScreenHeight() { return gAppBase ? gAppBase->GetHeight() : 768; }

}  // namespace

LogoLetter::LogoLetter(float x, float y, Image* image) : DynamicWidget(x, y, image, 1.0f) {
    mRemoveMask |= WidgetFlags::AllowMouse;  // clicks belong to the screen
}

void LogoLetter::Start() {
    mFalling = true;
    mTargetY = ScreenHeight() / 2;
    mVelocity = 12.0;
    mSpring = 0.4;
    PlayNamedSample(L"whoosh");
}

void LogoLetter::UpdateF(float f) {
    DynamicWidget::UpdateF(f);
    if (mVelocity == 0.0) return;
    MarkDirty();
    double y = mY + f * mVelocity;
    if (mFalling) {
        if (y >= mTargetY) mFalling = false;
        else mVelocity += 0.1 * f;
    } else if (y < mTargetY) {
        y = mTargetY;
        mVelocity = 0.0;
        mLanded = !mCarried.Get();
    } else {
        mVelocity += f * mSpring * (mTargetY - y);
    }
    Move(mX, static_cast<float>(y));
    if (auto* ball = dynamic_cast<LogoBall*>(mCarried.Get())) {
        ball->mPosY = y + mCarriedOffset;
        ball->Move(ball->mX, static_cast<float>(ball->mPosY));
    }
}

void LogoLetter::PushDown(Image* leaning, DynamicWidget* ball, double ballVelocity, int dx, int dy) {
    if (leaning) SetImage(leaning);
    mFalling = true;
    mCarried.Reset(ball);
    Move(mX + static_cast<float>(dx), mY);
    mTargetY += dy;
    mVelocity = ballVelocity;
    mSpring = 0.04;
    mCarriedOffset = ball ? ball->mY - mY : 0.0;
}

LogoBall::LogoBall(Image* image)
    : DynamicWidget(static_cast<float>(ScreenWidth() / 2 - 740), static_cast<float>(ScreenHeight() / 2 + 350),
                    image, 1.0f) {
    mRemoveMask |= WidgetFlags::AllowMouse;
    mPosX = mX;
    mPosY = mY;
    mHasCels = image && image->mNumCols >= kCels;
    // The screen goes on with the round ball alone (cel 0) when the picture
    // lacks the squashed ones.
    if (image && !mHasCels && gAppBase) gAppBase->ShowErrorBox("Ball aImage needs 3 columns specified");
    if (image) Resize(mX, mY, image->GetCelWidth(), image->GetCelHeight());
    const int h = ScreenHeight() / 2;
    mFloorY[0] = h - 101;
    mFloorY[1] = h - 102;
    mFloorY[2] = h + 4;
}

void LogoBall::UpdateF(float f) {
    DynamicWidget::UpdateF(f);
    if (mVelocityX == 0.0) return;
    MarkDirty();
    mPosX += f * mVelocityX * (mSquashTicks >= 0 ? 0.5 : 1.0);
    if (mSquashTicks < 0) {
        mPosY += f * mVelocityY;
        mVelocityY += 0.1 * f;
        if (mVelocityY > 0.0 && mPosY >= mFloorY[mBounce]) {
            static const int kFrameTicks[3] = {6, 7, 5};
            static const wchar_t* kSounds[3] = {L"bounce", L"bounce", L"land"};
            mSquashTicks = 0;
            mBounced = true;
            mSquashFrameTicks = kFrameTicks[mBounce];
            if (mBounce == 2) {
                mPosY = mFloorY[2];
                mVelocityX = mVelocityY = 0.0;
            }
            PlayNamedSample(kSounds[mBounce]);
            ++mBounce;
        }
    }
    Move(static_cast<float>(mPosX), static_cast<float>(mPosY));
}

void LogoBall::Update() {
    DynamicWidget::Update();
    if (mSquashTicks < 0) return;
    ++mSquashTicks;
    if (mSquashTicks % mSquashFrameTicks == 0) MarkDirty();
    if (mSquashTicks < 3 * mSquashFrameTicks) return;
    mSquashTicks = -1;
    if (mBounce == 1) {
        mVelocityX = 2.76;
        mVelocityY = -2.8;
    } else if (mBounce == 2) {
        mVelocityX = 1.98;
        mVelocityY = -3.4;
    }
}

int LogoBall::GetDrawnCel() const {
    if (!mHasCels || mSquashTicks < 0) return 0;
    return (mSquashTicks / mSquashFrameTicks) % 2 + 1;
}

void LogoBall::Draw(Graphics* g) {
    if (mImage) g->DrawImage(mImage, 0.0f, 0.0f, GetDrawnCel());
}
