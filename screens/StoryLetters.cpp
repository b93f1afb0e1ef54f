#include "screens/StoryLetters.h"

#include <initializer_list>

#include "app/GameApp.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "screens/ConfirmDialogs.h"
#include "screens/GameScreens.h"
#include "screens/TipsAndCredits.h"

namespace {

// The letter's two parts: the localized `prefix` + "start_"/"end_" + the
// game's name, formats that take the player's name (the opening's start
// takes it twice). A format from the data goes through the checked
// formatter: what does not fit is shown as written.
void SetLetter(Menu& letter, const std::wstring& prefix, bool nameTwiceAtStart) {
    const std::wstring name = gGameApp ? gGameApp->mPlayerName : std::wstring();
    const std::wstring game = gPlayerState ? gPlayerState->mGameName : std::wstring(L"quiltro7");
    const std::wstring start = GetLocalizedString(prefix + L"start_" + game);
    letter.SetVariable(L"letter_start", ScriptValue(nameTwiceAtStart ? FormatChecked(start, {name, name})
                                                                     : FormatChecked(start, {name})));
    letter.SetVariable(L"letter_end",
                       ScriptValue(FormatChecked(GetLocalizedString(prefix + L"end_" + game), {name})));
}

}  // namespace

StoryIntroMenu::StoryIntroMenu() : Menu(L"story_intro") {
    mUseTransition = true;
    SetLetter(*this, L"intro_letter_", true);
}

void StoryIntroMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    if (action != L"ok" || mRead) return;
    mRead = true;
    PlayerProgress::ReadStoryLetter();
    if (gPlayerState && gPlayerState->mSeenTutorial) {
        // Nothing that follows closes the letter for it.
        if (gGameScreens.mSetLoading) ShowGameScreen(gGameScreens.mSetLoading(-1, 0));
        RemoveSelf();
        return;
    }
    ShowMenu(new ConfirmTutorialMenu());
}

StoryFinalMenu::StoryFinalMenu() : Menu(L"story_final") {
    mUseTransition = true;
    SetLetter(*this, L"final_letter_", false);
}

void StoryFinalMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    if (action != L"ok") return;
    ShowMenu(new CreditsMenu());
    RemoveSelf();
}
