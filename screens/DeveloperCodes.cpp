// The developer codes of MyGameApp: typed in any menu (the last 8
// characters) or given as a profile's name.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "data/Localization.h"
#include "platform/System.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "screens/GameScreens.h"
#include "screens/MyGameApp.h"
#include "widgets/TitleScreen.h"


void MyGameApp::HandleTypedCode(const std::wstring& code) {
    PlayerState* ps = gPlayerState;
    if (!ps || !mBoard || !IsMainThread()) return;
    if (code == L"kestovai" || code == L"zebrulan") {
        PlayerProgress::OpenAllPuzzles(code == L"zebrulan");
    } else if (code == L"morvinta") {
        PlayerProgress::OpenEverySet();
    } else if (code == L"quellipo") {
        if (gGameScreens.mStoryFinal) ShowGameScreen(gGameScreens.mStoryFinal());
    } else if (code == L"tandruvo") {
        // The Windows system sound it played has no counterpart here.
        PlayerProgress::SaveSettings();
    } else if (code == L"haltrimo") {
        // Nothing at all from here on: a name given as this code is tried
        // before it is saved, and must not be saved after it either.
        mSaveOnExit = false;
        PlayerProgress::StopSaving();
        Shutdown();
    } else if (code == L"pimbolex") {
        gLocalizedStrings.Clear();
        MyLocalization reload;
    }
}

bool MyGameApp::ReadDeveloperPuzzle() {
    const std::string text = PlatformGetEnv("QUILTRO7_DEV_PUZZLE");
    int mode = -1, set = -1, puzzle = -1;
    char extra = 0;
    if (text.empty() || std::sscanf(text.c_str(), "%d,%d,%d%c", &mode, &set, &puzzle, &extra) != 3 || mode < 0 ||
        set < 0 || puzzle < 0)
        return false;
    mDeveloperPuzzle[0] = mode;
    mDeveloperPuzzle[1] = set;
    mDeveloperPuzzle[2] = puzzle;
    return true;
}

void MyGameApp::OpenDeveloperPuzzle() {
    if (mDeveloperPuzzle[0] < 0 || !IsLoadingFinished() || !gGameScreens.mPuzzleLoading) return;
    if (!mBoard) StartGame();
    if (!gPlayerState) PlayerProgress::CreateProfile(L"developer");
    if (!gPlayerState) return;
    gPlayerState->mDevice = L"ipad";
    // The puzzle alone: the title, or the main menu the board opens, and its
    // transition would stay over it.
    if (TitleScreen* title = GetLoadingScreen()) title->RemoveSelf();
    CollectOpenMenus();
    KillCollectedMenus();
    ShowGameScreen(gGameScreens.mPuzzleLoading(gPlayerState->mGameName, mDeveloperPuzzle[0], mDeveloperPuzzle[1],
                                               mDeveloperPuzzle[2], false));
    mDeveloperPuzzle[0] = -1;
}
