#include <gtest/gtest.h>

#include "app/GameApp.h"
#include "data/AssetManager.h"
#include "puzzle/PlayMeters.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "screens/LevelIntroMenu.h"
#include "screens/MainMenu.h"
#include "screens/MyBoard.h"
#include "screens/MyGameApp.h"
#include "screens/MyPlayScreen.h"
#include "screens/OptionsMenu.h"
#include "screens/ShadedConfirmMenu.h"
#include "tests/support/AppHarness.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/NoticeMenu.h"

namespace {

// The game with its own screens: a new player takes the lessons from the
// main menu and leaves the first one, all with the mouse.
class LeavingALessonTest : public ::testing::Test {
protected:
    void SetUp() override {
        mApp = &mHarness.Boot<MyGameApp>();
        ASSERT_TRUE(mHarness.InitSucceeded());
        ASSERT_TRUE(mHarness.RunUntil([this] { return mApp->GetBoard() != nullptr; }));
        ProfileManager::CreateProfile(L"Lena");
        ASSERT_NE(gPlayerState, nullptr);
        gPlayerState->mDevice = L"ipad";
    }
    void TearDown() override {
        CloseOpenMenus();
        mHarness.RunSteps(2);
        mHarness.Quit();
    }

    void Run(int steps) { mHarness.RunSteps(steps); }
    // Clicks the named button of the menu on top, where it shows.
    void Click(Widget* menu, const wchar_t* name) {
        ASSERT_NE(menu, nullptr);
        Widget* button = FindWidgetByName(*static_cast<Menu*>(menu), name);
        ASSERT_NE(button, nullptr);
        ClickCentre(mHarness, *button);
        Run(60);
    }
    // The first lesson, through the letter, the offer and the card of tips.
    MyPlayScreen* OpenFirstLesson() {
        mApp->GetBoard()->ShowMainMenu();
        Run(80);
        Click(TopOpenMenu(), L"play_button");
        Click(TopOpenMenu(), L"ok_button");  // the letter
        Click(TopOpenMenu(), L"ok_button");  // the lessons, yes
        EXPECT_TRUE(mHarness.RunUntil([] { return TopMenu<LevelIntroMenu>() != nullptr; }));
        Run(60);
        Click(TopMenu<LevelIntroMenu>(), L"ok_button");
        MyPlayScreen* screen = nullptr;
        EXPECT_TRUE(mHarness.RunUntil([&screen] {
            screen = MyPlayScreen::FindOpen();
            return screen && screen->GetState() == PlayPuzzleMenu::State::Playing;
        }));
        return screen;
    }
    // Presses on one cell of the board and releases on another.
    void Drag(PlayTileGrid& grid, int fromX, int fromY, int toX, int toY) {
        const int t = grid.GetTileSize();
        const auto at = [t](int cell, float origin) { return static_cast<int>(origin) + cell * t + t / 2; };
        mHarness.MouseMove(at(fromX, grid.mX), at(fromY, grid.mY));
        mHarness.MouseDown(at(fromX, grid.mX), at(fromY, grid.mY));
        mHarness.MouseMove(at(toX, grid.mX), at(toY, grid.mY));
        mHarness.MouseUp(at(toX, grid.mX), at(toY, grid.mY));
        mHarness.DrainInput();
    }
    static int OpenNotices() {
        int count = 0;
        for (Menu* menu : gGameApp->GetOpenMenus()) count += dynamic_cast<NoticeMenu*>(menu) != nullptr;
        return count;
    }

    AppHarness mHarness;
    MyGameApp* mApp = nullptr;
};

}  // namespace

// The revealed tiles' trails are still on their way to the hint bulb when
// the player pauses and leaves for the main menu. They land as the screen
// closes, the bulb fills there, and its notice ("A hint") opened over the
// main menu, for a screen no longer there.
TEST_F(LeavingALessonTest, ABulbFilledAsTheLessonClosesOpensNoNoticeOverTheMainMenu) {
    MyPlayScreen* screen = OpenFirstLesson();
    ASSERT_NE(screen, nullptr);
    gPlayerState->mSeenHint = false;
    // The lesson's first step, row 2: its five tiles fill the second bulb.
    Drag(*screen->GetGrid(), 0, 1, 4, 1);
    Run(5);
    ASSERT_EQ(gPlayerState->mNumHints, 1) << "the trails are still flying";
    // The lesson's card is the active menu, not the screen: the HUD's button pauses.
    Click(screen, L"options_button");
    auto* pause = TopMenu<OptionsMenu>();
    ASSERT_NE(pause, nullptr);
    Click(pause, L"main_menu_button");
    Click(TopMenu<ShadedConfirmMenu>(), L"ok_button");
    Run(3 * kPlayNoticePauseSteps);
    EXPECT_EQ(MyPlayScreen::FindOpen(), nullptr);
    EXPECT_NE(TopMenu<MainMenu>(), nullptr) << "the main menu is on top";
    EXPECT_EQ(OpenNotices(), 0) << "a notice of the lesson outlived it";
    EXPECT_FALSE(gPlayerState->mSeenHint) << "the bulbs are still to be explained";
}
