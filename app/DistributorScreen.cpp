#include "app/DistributorScreen.h"

#include <cstdint>

#include "app/GameApp.h"
#include "render/Graphics.h"
#include "render/Image.h"

Rect FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    // Compared in 64 bits as cross products: the same order as reduced fractions.
    const int64_t picture = int64_t(pictureWidth) * windowHeight;
    const int64_t window = int64_t(windowWidth) * pictureHeight;
    if (picture > window) {
        const int height = static_cast<int>(int64_t(windowWidth) * pictureHeight / pictureWidth);
        return Rect(0, (windowHeight - height) / 2, windowWidth, height);
    }
    if (picture < window) {
        const int width = static_cast<int>(int64_t(windowHeight) * pictureWidth / pictureHeight);
        return Rect((windowWidth - width) / 2, 0, width, windowHeight);
    }
    return Rect(0, 0, windowWidth, windowHeight);
}

DistributorScreen::DistributorScreen(const std::string& imageName)  {
    mPicture = gAppBase ? gAppBase->GetImage("images/" + imageName) : nullptr;
    if (!mPicture) return;
    const Rect fit = FitPicture(mPicture->GetWidth(), mPicture->GetHeight(), mWidth, mHeight);
    mDrawX = fit.mX;
    mDrawY = fit.mY;
    mDrawWidth = fit.mWidth;
    mDrawHeight = fit.mHeight;
}

DistributorScreen::~DistributorScreen() = default;

void DistributorScreen::Update() {
    StartupScreen::Update();
    if (++mTicks > kShowTicks) CloseScreenAndContinue();
}

void DistributorScreen::Draw(Graphics* g) {
    if (!mPicture) return;
    if (mPicture->GetWidth() < mWidth || mPicture->GetHeight() < mHeight) {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
    }
    g->DrawImageStretched(mPicture.get(), Rect(0, 0, mPicture->GetWidth(), mPicture->GetHeight()),
                          FRect(static_cast<float>(mDrawX), static_cast<float>(mDrawY),
                                static_cast<float>(mDrawWidth), static_cast<float>(mDrawHeight)));
}

void DistributorScreen::MouseDown(int x, int y, int clickCount) {
    StartupScreen::MouseDown(x, y, clickCount);
    if (mTicks > kClickAfterTicks && clickCount > 0) CloseScreenAndContinue();
}
