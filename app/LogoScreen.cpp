#include "app/LogoScreen.h"

#include <algorithm>
#include <string>

#include "app/GameApp.h"
#include "app/LogoPieces.h"
#include "data/AssetLookup.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {

// The studio's logo word: one image per letter, in reading order; the
// letters that lean have a second image, the letter followed by "_lean".
constexpr const wchar_t* kLogoWord = L"QUILT";
constexpr int kLetterX[5] = {0, 88, 172, 263, 354};

struct Lean {
    int letter, dx, dy;
};
// After the ball's first landing the second letter leans, after the second the fourth.
constexpr Lean kLeans[2] = {{1, -4, 5}, {3, -6, 17}};

// Images of no size are as good as none.
Image* FindPicture(const std::wstring& name) {
    Image* image = FindImage(name);
    return image && image->GetWidth() > 0 && image->GetHeight() > 0 ? image : nullptr;
}

// The loading thread may still be reading the letters behind the publisher's picture.
bool LogoPicturesReady() { return !gGameApp || gGameApp->StartupPicturesReady(); }

void FillWhite(Graphics* g, int width, int height) {
    g->SetColor(Color(255, 255, 255));
    g->FillRect(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
}

}  // namespace

LogoScreen::LogoScreen()  {
    mSplashImage = FindPicture(L"PUBLISHER_SPLASH");
    if (!mSplashImage) BuildAnimatedLogo();
}

void LogoScreen::BuildAnimatedLogo() {
    mShowingSplash = false;
    mTicks = 0;
    mTrailImage = FindPicture(L"Trail");
    mTrademarkImage = FindPicture(L"KobrinTM");
    const int x0 = mWidth / 2 - 270;
    const float y = static_cast<float>(mHeight / 2 - 550);
    for (int i = 0; i < 5; ++i) {
        auto* letter = new LogoLetter(static_cast<float>(x0 + kLetterX[i]), y,
                                      FindPicture(std::wstring(1, kLogoWord[i])));
        AddWidget(letter);
        mLetters.emplace_back(letter);
    }
    mLetters.front()->Start();
    MarkDirty();
}

void LogoScreen::Update() {
    StartupScreen::Update();
    if (IsClosing()) return;
    ++mTicks;
    if (mShowingSplash) {
        if ((mTicks > kSplashTicks || mEarlyClicks > 0) && LogoPicturesReady()) {
            BuildAnimatedLogo();
            if (mEarlyClicks > 1) CloseScreenAndContinue();
            mEarlyClicks = 0;
        }
    } else if (mTicks > kLogoTicks) {
        CloseScreenAndContinue();
    }
}

void LogoScreen::UpdateF(float f) {
    StartupScreen::UpdateF(f);
    if (mShowingSplash || IsClosing()) return;
    for (size_t i = 0; i + 1 < mLetters.size(); ++i) {
        LogoLetter* letter = mLetters[i].Get();
        if (!letter || !letter->mLanded) continue;
        letter->mLanded = false;
        if (LogoLetter* next = mLetters[i + 1].Get()) next->Start();
        if (i == 0 && !mBall.Get()) {
            auto* ball = new LogoBall(FindPicture(L"Ball"));
            AddWidget(ball);
            mBall.Reset(ball);
        }
    }
    LogoBall* ball = mBall.Get();
    if (!ball || !ball->mBounced) return;
    ball->mBounced = false;
    for (const Lean& lean : kLeans) {
        if (ball->mBounce != (&lean - kLeans) + 1) continue;
        LogoLetter* letter = mLetters[lean.letter].Get();
        const std::wstring leaning = std::wstring(1, kLogoWord[lean.letter]) + L"_lean";
        if (letter) letter->PushDown(FindPicture(leaning), ball, ball->mVelocityY, lean.dx, lean.dy);
    }
}

float LogoScreen::TrailX() const { return mWidth * 0.5f - 229.0f; }
float LogoScreen::TrailY() const { return mHeight * 0.5f - 73.0f; }

int LogoScreen::GetTrailParts() const {
    LogoBall* ball = mBall.Get();
    if (!ball || !mTrailImage) return 0;
    const float bx = ball->mX + ball->mWidth * 0.5f;
    if (bx <= TrailX()) return 0;
    return bx > TrailX() + kTrailTurn ? 2 : 1;
}

void LogoScreen::Draw(Graphics* g) {
    FillWhite(g, mWidth, mHeight);
    if (mShowingSplash) {
        if (mSplashImage) g->DrawImage(mSplashImage, 0.0f, 0.0f);
        return;
    }
    const int parts = GetTrailParts();
    if (parts == 0) return;
    LogoBall* ball = mBall.Get();
    const float ox = TrailX(), oy = TrailY();
    const float bx = ball->mX + ball->mWidth * 0.5f, by = ball->mY + ball->mHeight * 0.5f;
    const int trailWidth = mTrailImage->GetCelWidth(), trailHeight = mTrailImage->GetCelHeight();
    // A source of no width would mean the whole picture.
    const int shown = std::min(static_cast<int>(bx - ox), trailWidth);
    if (shown > 0) g->DrawImage(mTrailImage, ox, oy, 0, Rect(0, 0, shown, trailHeight));
    if (parts < 2) return;
    const int revealed = std::min(trailHeight, static_cast<int>(by - oy));
    if (trailWidth > kTrailTurn && revealed > 0)
        g->DrawImage(mTrailImage, ox + kTrailTurn, oy, 0, Rect(kTrailTurn, 0, trailWidth - kTrailTurn, revealed));
    if (ball->mVelocityX == 0.0 && mTrademarkImage)
        g->DrawImage(mTrademarkImage, ball->mX + ball->mWidth - 15.0f,
                     ball->mY + ball->mHeight - 5.0f - mTrademarkImage->GetCelHeight());
}

void LogoScreen::MouseDown(int x, int y, int clickCount) {
    StartupScreen::MouseDown(x, y, clickCount);
    if (clickCount <= 0 || IsClosing()) return;
    if (!mShowingSplash) CloseScreenAndContinue();
    else if (LogoPicturesReady()) BuildAnimatedLogo();
    else ++mEarlyClicks;
}
