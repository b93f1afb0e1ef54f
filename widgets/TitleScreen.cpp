#include "widgets/TitleScreen.h"

#include "widgets/AppServices.h"

TitleScreen::TitleScreen(Image* image) : Menu(image, false, false) {}

void TitleScreen::ContinueToGame() {
    if (gAppServices) gAppServices->StartGame();
    RemoveSelf();
}
