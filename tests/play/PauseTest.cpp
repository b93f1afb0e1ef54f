#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "platform/FileSystem.h"
#include "screens/GameScreens.h"
#include "screens/MyPlayScreen.h"
#include "screens/OptionsMenu.h"
#include "screens/ShadedConfirmMenu.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"

// The options button pauses the puzzle; each way out of the pause dialog
// saves, asks, and on yes leaves the puzzle for what it names.
TEST_F(PlayScreenTest, ThePauseDialogLeadsOutOfThePuzzleAndSaves) {
    std::vector<std::string> opened;
    gGameScreens.mMainMenu = [&](bool) -> Menu* {
        opened.push_back("main menu");
        return nullptr;
    };
    gGameScreens.mPuzzleSelect = [&](const std::wstring&, int mode, int set, int, bool) -> Menu* {
        opened.push_back("puzzles " + std::to_string(mode) + "/" + std::to_string(set));
        return nullptr;
    };
    gGameScreens.mSetLoading = [&](int, int) -> Menu* {
        opened.push_back("set loading");
        return nullptr;
    };
    struct Case {
        int set;
        const wchar_t* action;
        const char* opens;  // null: the same puzzle again
    };
    const std::string profiles = JoinPath(mHarness.UserDataFolder(), "profiles.xml");
    // From the lessons the puzzles lead on to the next set.
    for (const Case& c : {Case{1, L"main_menu", "main menu"}, Case{1, L"desk", "puzzles 0/1"},
                          Case{0, L"desk", "set loading"}, Case{1, L"restart", nullptr}}) {
        // The second lesson, or a wing's last puzzle.
        auto* screen = new MyPlayScreen(PuzzleRef{L"quiltro7", 0, c.set, c.set == 0 ? 1 : 2});
        ShowMenu(screen);
        Run(200);
        screen->DoAction(L"options", L"", 0);
        Run(30);
        auto* pause = TopMenu<OptionsMenu>();
        ASSERT_NE(pause, nullptr);
        EXPECT_TRUE(pause->IsPause());
        EXPECT_TRUE(screen->IsPaused());
        PlatformRemoveFile(profiles);
        opened.clear();
        pause->DoAction(c.action, L"", 0);
        EXPECT_TRUE(PlatformFileExists(profiles));
        Run(30);
        Menu* question = TopOpenMenu();
        ASSERT_NE(dynamic_cast<ShadedConfirmMenu*>(question), nullptr);
        question->DoAction(L"ok", L"", 0);
        Run(40);
        for (const Menu* gone : {static_cast<Menu*>(screen), question, static_cast<Menu*>(pause)})
            EXPECT_FALSE(IsMenuOpen(gone));
        MyPlayScreen* again = MyPlayScreen::FindOpen();
        EXPECT_EQ(opened, c.opens ? std::vector<std::string>{c.opens} : std::vector<std::string>{});
        EXPECT_EQ(again != nullptr, c.opens == nullptr);
        if (again) again->RemoveSelf();
        Run(40);
    }
}

// A lesson keeps the screen running under its own notes, but not under the
// pause dialog: the clock stops there as in any puzzle.
TEST_F(PlayScreenTest, ThePauseDialogStopsTheClockDuringALesson) {
    auto* screen = new MyPlayScreen(PuzzleRef{L"quiltro7", 0, 0, 0});
    ShowMenu(screen);
    Run(300);
    ASSERT_GT(screen->GetElapsed(), 0);
    screen->DoAction(L"options", L"", 0);
    Run(30);
    const int elapsed = screen->GetElapsed();
    Run(300);
    EXPECT_EQ(screen->GetElapsed(), elapsed);
}
