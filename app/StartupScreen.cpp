#include "app/StartupScreen.h"

#include "app/GameApp.h"

void StartupScreen::CloseScreenAndContinue() {
    if (mClosing) return;
    mClosing = true;
    RemoveSelf();
    if (gGameApp) gGameApp->ShowNextSplash();
}
