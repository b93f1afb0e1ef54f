#include "screens/GameScreens.h"

#include "widgets/Menu.h"

GameScreens gGameScreens;

bool ShowGameScreen(Menu* menu) {
    if (!menu) return false;
    ShowMenu(menu);
    return true;
}
