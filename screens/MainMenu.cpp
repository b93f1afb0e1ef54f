#include "screens/MainMenu.h"

#include "app/GameApp.h"
#include "puzzle/PlayerProgress.h"
#include "screens/ConfirmDialogs.h"
#include "screens/GameScreens.h"
#include "screens/MyGameApp.h"
#include "screens/MyBoard.h"
#include "screens/ScreenTransition.h"
#include "screens/TipsAndCredits.h"

MainMenu::MainMenu(bool fromMap) : Menu(L"main_menu"), mFromMap(fromMap) {
    mUseTransition = true;
    SetPauseWhenCovered(false);
    SetVariable(L"lock_bonus", ScriptValue(IsBonusLocked()));
    SetVariable(L"from_map", ScriptValue(fromMap));
    SetVariable(L"player_name", ScriptValue(gGameApp ? gGameApp->mPlayerName : std::wstring()));
}

bool MainMenu::IsBonusLocked() {
    const SetProgress* bonus = FindSetProgress(1, 0);
    return !bonus || bonus->mUnlock == 0;
}

Menu* MainMenu::CreateTransition() {
    if (mFromMap) return new ScreenTransition(this, L"mainmenu_transition");
    return Menu::CreateTransition();
}

void MainMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    // Each way on opens its screen and leaves; options and quit open over the menu.
    Menu* next = nullptr;
    bool leave = true;
    if (action == L"player_select_link" || (action == L"play" && !gPlayerState)) {
        // With nobody chosen (the profile just deleted), the story has no one
        // to go on for: the profiles first.
        if (gGameScreens.mPlayerSelect) next = gGameScreens.mPlayerSelect();
    } else if (action == L"play") {
        PlayerProgress::SetMode(0);
        auto* app = dynamic_cast<MyGameApp*>(gGameApp);
        if (!app || !app->GetBoard()) return;
        app->GetBoard()->StartStory();
        RemoveSelf();
        return;
    } else if (action == L"bonus") {
        if (IsBonusLocked()) return;
        PlayerProgress::SetMode(1);
        if (gGameScreens.mSelectSet) next = gGameScreens.mSelectSet(mGameName, 1, false);
    } else if (action == L"tips") {
        next = new TipsMenu();
    } else if (action == L"credits") {
        next = new CreditsMenu();
    } else if (action == L"options") {
        if (gGameScreens.mOptions) next = gGameScreens.mOptions(L"main-menu", 0, 0);
        leave = false;
    } else if (action == L"quit") {
        next = new ConfirmQuitMenu();
        leave = false;
    } else {
        return;
    }
    // A screen that is not there leaves the player on the menu.
    if (ShowGameScreen(next) && leave) RemoveSelf();
}
