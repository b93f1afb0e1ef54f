#include "screens/TipsAndCredits.h"

#include "app/GameApp.h"
#include "core/StringUtil.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "screens/ConfirmDialogs.h"
#include "screens/MyBoard.h"
#include "screens/MyGameApp.h"

MainMenuPage::MainMenuPage(const std::wstring& animationName) : Menu(animationName) { mUseTransition = true; }

void MainMenuPage::DoAction(const std::wstring& action, const std::wstring&, int) {
    if (action != L"mainmenu") return;
    // Credits also open from the options over the menu and from the pause
    // dialog over a puzzle: whatever stood under them closes too.
    ReplaceOpenMenus([] {
        if (auto* app = dynamic_cast<MyGameApp*>(gGameApp); app && app->GetBoard()) app->GetBoard()->ShowMainMenu();
    });
    RemoveSelf();
}

CreditsMenu::CreditsMenu() : MainMenuPage(L"credits") {
    PlayerProgress::SaveSettings();
    const int hours = gPlayerState ? gPlayerState->mHours : 0;
    const int minutes = gPlayerState ? gPlayerState->mMinutes : 0;
    SetVariable(L"time", ScriptValue(FormatChecked(GetLocalizedString(L"credits_time"), {hours, minutes})));
    SetVariable(L"version", ScriptValue(gGameApp ? StringToWString(gGameApp->mProductVersion) : std::wstring()));
}
