#include "widgets/FlashWidget.h"

#include "core/StringUtil.h"
#include "render/Image.h"
#include "widgets/MoviePlayer.h"

FlashWidget::FlashWidget(float x, float y, const std::wstring& movieName, int width, int height, bool loop)
    : DynamicWidget(x, y, nullptr, 1.0f), mLoop(loop) {
    auto* surface = new ImageSurface();
    if (surface->Create(width, height)) {
        mSurface = surface;
        SetOwnedImage(surface);
    } else {
        delete surface;
    }
    mPlayer = CreateMoviePlayer(this, mSurface);
    mPlayer->SetQuality();
    mPlayer->StartMovie("flash/" + WStringToString(movieName) + ".swf");
    mPlayer->SetLoop(loop);
}

FlashWidget::~FlashWidget() = default;

void FlashWidget::Update() {
    DynamicWidget::Update();
    if (!mPlayer) return;
    mPlayer->Tick();
    // A playing movie changes every step; without one nothing changes.
    if (mPlayer->IsPlaying()) MarkDirty();
    else if (mLoop) mPlayer->Rewind();
}

void FlashWidget::Draw(Graphics* g) {
    if (mPlayer && mSurface && mPlayer->Render()) mSurface->MarkDirty();
    DynamicWidget::Draw(g);
}

bool FlashWidget::IsBusy() { return DynamicWidget::IsBusy() || (mPlayer && mPlayer->IsPlaying()); }

int FlashWidget::StepsUntilDue() {
    return mPlayer && mPlayer->IsPlaying() ? 0 : DynamicWidget::StepsUntilDue();
}
