#include "screens/MyBoard.h"

#include <algorithm>

#include "puzzle/PlayerState.h"
#include "render/Graphics.h"
#include "screens/GameScreens.h"
#include "screens/TutorialShortcut.h"
#include "widgets/Menu.h"

namespace {
// The desk colour of the game's look.
const Color kDeskColor(0x14, 0x1A, 0x29);
}  // namespace

void MyBoard::Draw(Graphics* g) {
    g->SetColor(kDeskColor);
    g->FillRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
    Board::Draw(g);
}

void MyBoard::ShowMainMenu() {
    if (gGameScreens.mMainMenu) ShowGameScreen(gGameScreens.mMainMenu(false));
}

void MyBoard::StartStory() {
    PlayerState* ps = gPlayerState;
    // The catalogue check at load refuses a story of fewer than two sets;
    // progress sized from another catalogue is not trusted either.
    if (!ps || ps->mProgress[0].size() < 2) return;
    std::vector<SetProgress>& sets = ps->mProgress[0];
    auto openSetLoading = [] {
        if (gGameScreens.mSetLoading) ShowGameScreen(gGameScreens.mSetLoading(-1, 0));
    };
    if (ps->mCurrentCountry == 0 && ps->mCurrentMode == 0 && !sets[0].mIntroduced) {
        sets[1].mUnlock = 1;
        if (gGameScreens.mStoryIntro) ShowGameScreen(gGameScreens.mStoryIntro());
        return;
    }
    if (ps->mCurrentMode != 0) {
        openSetLoading();
        return;
    }
    // The second play passes the tutorial set.
    if (ps->mCurrentCountry == 0) SkipTutorialSet();
    const int last = static_cast<int>(sets.size()) - 1;
    const int completed = ps->CountCompletedSets(0);
    ps->mCurrentCountry = std::min(completed, last);
    if (completed > last) {
        if (gGameScreens.mMap) ShowGameScreen(gGameScreens.mMap(ps->mGameName, true));
    } else {
        openSetLoading();
    }
}
