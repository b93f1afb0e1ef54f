#include "screens/MyBoard.h"

#include "puzzle/PlayerProgress.h"
#include "render/Graphics.h"
#include "screens/GameScreens.h"
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
    switch (PlayerProgress::EnterStory()) {
        case StoryEntry::Letter:
            if (gGameScreens.mStoryIntro) ShowGameScreen(gGameScreens.mStoryIntro());
            break;
        case StoryEntry::SetLoading:
            if (gGameScreens.mSetLoading) ShowGameScreen(gGameScreens.mSetLoading(-1, 0));
            break;
        case StoryEntry::Map:
            if (gGameScreens.mMap && gPlayerState) ShowGameScreen(gGameScreens.mMap(gPlayerState->mGameName, true));
            break;
        case StoryEntry::None:
            break;
    }
}
