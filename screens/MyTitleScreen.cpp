#include "screens/MyTitleScreen.h"

#include <algorithm>
#include <cmath>

#include "app/GameApp.h"
#include "data/AssetLookup.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "screens/EnterNameMenu.h"
#include "widgets/ButtonWidget.h"

namespace {

int WindowWidth() { return gGameApp ? gGameApp->GetWidth() : 1024; }
int WindowHeight() { return gGameApp ? gGameApp->GetHeight() : 768; }

}  // namespace

MyTitleScreen::MyTitleScreen() : TitleScreen(FindImage(L"TitleBackground")) {}

int MyTitleScreen::LoadingBarFill(double progress, int width) {
    // A progress outside 0..1 (or not a number) must not draw past the picture.
    if (!(progress > 0.0) || width <= 0) return 0;
    return static_cast<int>(std::trunc(std::min(progress, 1.0) * width));
}

void MyTitleScreen::Draw(Graphics* g) {
    TitleScreen::Draw(g);
    // Looked up when drawn: the loading thread may replace a picture of the
    // same name while this screen shows.
    const float width = static_cast<float>(WindowWidth()), height = static_cast<float>(WindowHeight());
    if (Image* logo = FindImage(L"GameLogo"))
        g->DrawImage(logo, (width - logo->GetCelWidth()) * 0.5f, height * 0.375f - logo->GetCelHeight() * 0.5f);
    if (mPlayButton) return;
    Image* base = FindImage(L"Loadingbar_base");
    Image* top = FindImage(L"Loadingbar_Top");
    const int baseHeight = base ? base->GetCelHeight() : top ? top->GetCelHeight() : 0;
    const float y = std::trunc(height * 0.75f - baseHeight * 0.5f);
    if (base) g->DrawImage(base, (width - base->GetCelWidth()) * 0.5f, y);
    if (!top) return;
    const int filled = LoadingBarFill(gGameApp ? gGameApp->GetLoadingProgress() : 0.0, top->GetCelWidth());
    if (filled > 0)
        g->DrawImage(top, (width - top->GetCelWidth()) * 0.5f, y, 0, Rect(0, 0, filled, top->GetCelHeight()));
}

void MyTitleScreen::LoadingComplete() {
    TitleScreen::LoadingComplete();
    if (mPlayButton) return;
    mPlayButton = new ButtonWidget(0.0f, 0.0f, L"play_game_btn", L"", true);
    mPlayButton->Move(static_cast<float>(WindowWidth() / 2 - mPlayButton->mWidth / 2),
                      static_cast<float>(WindowHeight() * 3 / 4 - mPlayButton->mHeight / 2));
    // Named, so that its script brings it up where the bar was.
    AddNamedObject(L"play_button", mPlayButton);
    InsertAnimationByName(L"title_play_ready");
}

void MyTitleScreen::ButtonDepress(int id) {
    TitleScreen::ButtonDepress(id);
    if (!mPlayButton || id != mPlayButton->mId) return;
    if (gGameApp && !gGameApp->mPlayerName.empty())
        ContinueToGame();
    else
        ShowMenu(new EnterNameMenu(this));
}
