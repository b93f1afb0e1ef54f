#include "screens/ConfirmDialogs.h"

#include "app/GameApp.h"
#include "puzzle/PlayerProgress.h"
#include "screens/GameScreens.h"
#include "screens/MyPlayScreen.h"

namespace {

using Keys = ShadedConfirmMenu::Keys;

constexpr Keys kMainMenu{L"return_to_menu_title", L"return_to_menu_text", L"button_menu", L"button_cancel"};
constexpr Keys kQuit{L"quit_title", L"quit_text", L"button_quit", L"button_cancel"};
constexpr Keys kRestart{L"restart_title", L"restart_text", L"button_restart", L"button_cancel"};
constexpr Keys kMuseum{L"return_to_museum_title", L"return_to_museum_text", L"button_museum", L"button_cancel"};
constexpr Keys kDesk{L"return_to_desk_title", L"return_to_desk_text", L"button_desk", L"button_cancel"};
constexpr Keys kTutorial{L"confirm_tutorial_title", L"confirm_tutorial_text", L"button_yes", L"button_no"};

void StopLoops() {
    if (gGameApp) gGameApp->StopAllLoopingSounds();
}

void OpenSetLoading() {
    if (gGameScreens.mSetLoading) ShowGameScreen(gGameScreens.mSetLoading(-1, 0));
}

}  // namespace

void ReplaceOpenMenus(const std::function<void()>& open) {
    if (!gGameApp) return;
    gGameApp->CollectOpenMenus();
    open();
    gGameApp->KillCollectedMenus();
}

ConfirmMainMenu::ConfirmMainMenu(Widget* fadeFrom) : ShadedConfirmMenu(kMainMenu, L"", fadeFrom) {}

void ConfirmMainMenu::OnOk() {
    if (PlayerProgress::IsInLessons()) PlayerProgress::LeaveLessons();
    StopLoops();
    ReplaceOpenMenus([] {
        if (gGameScreens.mMainMenu) ShowGameScreen(gGameScreens.mMainMenu(false));
    });
    ShadedConfirmMenu::OnOk();
}

ConfirmQuitMenu::ConfirmQuitMenu() : ShadedConfirmMenu(kQuit, L"", nullptr) {}

void ConfirmQuitMenu::OnOk() {
    if (gGameApp) gGameApp->Shutdown();
    ShadedConfirmMenu::OnOk();
}

ConfirmRestartPuzzle::ConfirmRestartPuzzle(Widget* fadeFrom) : ShadedConfirmMenu(kRestart, L"", fadeFrom) {}

void ConfirmRestartPuzzle::OnOk() {
    // The puzzle on the screen; the player's current one when none is open.
    PuzzleRef puzzle;
    if (MyPlayScreen* screen = MyPlayScreen::FindOpen()) {
        puzzle = screen->GetPuzzle();
    } else if (gPlayerState) {
        puzzle = PuzzleRef{gPlayerState->mGameName, gPlayerState->mCurrentMode, gPlayerState->mCurrentCountry,
                           gPlayerState->mCurrentPuzzle};
    } else {
        ShadedConfirmMenu::OnOk();
        return;
    }
    if (gGameApp) {
        gGameApp->CollectOpenMenus();
        gGameApp->KillCollectedMenus();
    }
    ShowMenu(new MyPlayScreen(puzzle));
    ShadedConfirmMenu::OnOk();
}

ConfirmPuzzleSelectMenu::ConfirmPuzzleSelectMenu(const std::wstring& gameName, int mode, int set, Widget* fadeFrom)
    : ShadedConfirmMenu(mode == 0 ? kMuseum : kDesk, gameName, fadeFrom),
      mGameName(gameName),
      mMode(mode),
      mSet(set) {}

void ConfirmPuzzleSelectMenu::OnOk() {
    StopLoops();
    ReplaceOpenMenus([this] {
        if (mSet == 0 && mMode == 0) {
            PlayerProgress::LeaveLessons();
            OpenSetLoading();
        } else if (gGameScreens.mPuzzleSelect) {
            ShowGameScreen(gGameScreens.mPuzzleSelect(mGameName, mMode, mSet, -1, true));
        }
    });
    ShadedConfirmMenu::OnOk();
}

ConfirmTutorialMenu::ConfirmTutorialMenu()
    : ShadedConfirmMenu(kTutorial, gPlayerState ? gPlayerState->mGameName : std::wstring(), nullptr) {}

void ConfirmTutorialMenu::OnOk() {
    if (mAnswered || HasClosed()) return;
    mAnswered = true;
    ReplaceOpenMenus([] {});
    PlayerProgress::BeginLessons();
    // The first puzzle may show its card of tips, as it does from anywhere else.
    if (gGameScreens.mPuzzleLoading) ShowMenuWithTransition(gGameScreens.mPuzzleLoading(L"quiltro7", 0, 0, 0, true));
    ShadedConfirmMenu::Dismiss();
}

void ConfirmTutorialMenu::Dismiss() {
    if (mAnswered || HasClosed()) return;
    mAnswered = true;
    PlayerProgress::DeclineLessons();
    ReplaceOpenMenus([] {});
    OpenSetLoading();
    ShadedConfirmMenu::Dismiss();
}
