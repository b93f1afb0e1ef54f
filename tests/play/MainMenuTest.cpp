#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/StringUtil.h"
#include "platform/FileSystem.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "screens/ConfirmDialogs.h"
#include "screens/GameScreens.h"
#include "screens/MainMenu.h"
#include "screens/MapMenu.h"
#include "screens/MyBoard.h"
#include "screens/PuzzleKey.h"
#include "screens/StoryLetters.h"
#include "screens/TipsAndCredits.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

namespace {

// The game from the main menu on, played with the mouse. The screens past
// the story's start are recorded instead of opened.
class MainMenuTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        gGameScreens.mMainMenu = [](bool fromMap) -> Menu* { return new MainMenu(fromMap); };
        gGameScreens.mSetLoading = [this](int, int) { return Record("set loading"); };
        gGameScreens.mPuzzleLoading = [this](const std::wstring&, int mode, int set, int puzzle, bool) {
            return Record("puzzle " + std::to_string(mode) + "/" + std::to_string(set) + "/" + std::to_string(puzzle));
        };
        ProfileManager::CreateProfile(L"Ana");
        ASSERT_NE(gPlayerState, nullptr);
    }

    Menu* Active() { return mApp->GetActiveMenu(); }
    // Clicks the named button of the active menu, where it is on the screen.
    void Click(const wchar_t* name) {
        Menu* menu = Active();
        ASSERT_NE(menu, nullptr);
        Widget* button = FindWidgetByName(*menu, name);
        ASSERT_NE(button, nullptr) << "no " << WStringToString(name);
        ClickCentre(mHarness, *button);
        Run(60);
    }
    void OpenMainMenu() {
        mApp->GetBoard()->ShowMainMenu();
        Run(80);
        ASSERT_NE(dynamic_cast<MainMenu*>(Active()), nullptr);
    }
    std::vector<SetProgress>& Story() { return gPlayerState->mProgress[0]; }
    // The story's progress as profiles.xml keeps it (without the play time).
    static std::string Progress() {
        const std::string xml = gPlayerState->WriteXml();
        return xml.substr(xml.find("<game "));
    }
};

TEST_F(MainMenuTest, BonusIsLockedUntilTheFirstBonusSetOpens) {
    struct Case {
        int bonusSets;  // -1: as the catalogue has them
        int unlock;
        bool locked;
    };
    for (const Case& c : {Case{-1, 0, true}, Case{-1, 1, false}, Case{0, 0, true}}) {
        auto& bonus = gPlayerState->mProgress[1];
        if (c.bonusSets == 0) bonus.clear();
        if (!bonus.empty()) bonus[0].mUnlock = c.unlock;
        OpenMainMenu();
        auto* button = dynamic_cast<ButtonWidget*>(FindWidgetByName(*Active(), L"bonus_button"));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->mDisabled, c.locked);
        EXPECT_EQ(Active()->GetVariable(L"lock_bonus").ToBool(), c.locked);
        CloseAll();
    }
}

// A fresh player: play shows the letter once; its "ok" asks about the
// tutorial; "no" passes the tutorial set, "yes" opens its first puzzle.
TEST_F(MainMenuTest, TheLetterComesOnceThenTheTutorialQuestion) {
    for (bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "yes" : "no");
        ProfileManager::CreateProfile(accept ? L"Bo" : L"Cy");
        mOpened.clear();
        OpenMainMenu();
        Click(L"play_button");
        ASSERT_NE(dynamic_cast<StoryIntroMenu*>(Active()), nullptr);
        EXPECT_NE(Active()->GetVariable(L"letter_start").ToString().find(accept ? L"Bo" : L"Cy"), std::wstring::npos);
        Click(L"ok_button");
        EXPECT_TRUE(Story()[0].mIntroduced);
        ASSERT_NE(dynamic_cast<ConfirmTutorialMenu*>(Active()), nullptr);
        Click(accept ? L"ok_button" : L"cancel_button");
        EXPECT_TRUE(gPlayerState->mSeenTutorial);
        EXPECT_EQ(mApp->GetOpenMenus().size(), 1u) << "the letter and the question closed";
        const int completed = gPlayerState->CountCompletedPuzzles(0, 0);
        if (accept) {
            EXPECT_EQ(mOpened, std::vector<std::string>{"puzzle 0/0/0"});
            EXPECT_EQ(gPlayerState->mCurrentCountry, 0);
            EXPECT_EQ(completed, 0);
        } else {
            EXPECT_EQ(mOpened, std::vector<std::string>{"set loading"});
            EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
            // Every lesson is done and open.
            EXPECT_EQ(completed, static_cast<int>(Story()[0].mPuzzles.size()));
            EXPECT_EQ(Story()[0].mUnlock, static_cast<int>(Story()[0].mPuzzles.size()));
            EXPECT_EQ(Story()[1].mUnlock, 1);
        }
        mApp->GetOpenMenus().back()->RemoveSelf();
        OpenMainMenu();
        Click(L"play_button");
        EXPECT_EQ(dynamic_cast<StoryIntroMenu*>(Active()), nullptr) << "the letter comes once";
        CloseAll();
    }
}

// However the lessons end (declined, or left from a lesson's pause dialog),
// Play, the pause dialog's way back and the map all name the same wing: the
// first one, the Meadow.
TEST_F(MainMenuTest, PlayThePauseDialogAndTheMapLeadToTheSameWing) {
    for (bool decline : {true, false}) {
        SCOPED_TRACE(decline ? "declined" : "left");
        ProfileManager::CreateProfile(decline ? L"Di" : L"Le");
        mOpened.clear();
        OpenMainMenu();
        Click(L"play_button");
        Click(L"ok_button");  // the letter
        ASSERT_NE(dynamic_cast<ConfirmTutorialMenu*>(Active()), nullptr);
        Click(decline ? L"cancel_button" : L"ok_button");
        if (!decline) {
            // A lesson's pause dialog: back to the puzzles.
            ShowMenu(new ConfirmPuzzleSelectMenu(L"quiltro7", 0, 0, nullptr));
            Run(40);
            Click(L"ok_button");
        }
        EXPECT_EQ(mOpened.back(), "set loading");
        EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
        CloseAll();
        OpenMainMenu();
        Click(L"play_button");
        EXPECT_EQ(mOpened.back(), "set loading");
        EXPECT_EQ(gPlayerState->mCurrentCountry, 1) << "Play goes on in the first wing";
        CloseAll();
        ShowMenu(new MapMenu(L"quiltro7", true));
        Run(60);
        EXPECT_EQ(Active()->GetVariable(L"set_name").ToString(), L"meadow") << "the map names the first wing";
        CloseAll();
    }
}

// Leaving the tutorial for the menu counts its first two puzzles; from a
// later set nothing changes. The dialog closes every menu, itself included,
// and its own close afterwards does nothing: it leaves once.
TEST_F(MainMenuTest, BackToTheMenuFromTheTutorialCountsItsFirstPuzzles) {
    struct CountingConfirm : ConfirmMainMenu {
        using ConfirmMainMenu::ConfirmMainMenu;
        void RemovedFromManager(WidgetManager* manager) override {
            ++*mRemovals;
            ConfirmMainMenu::RemovedFromManager(manager);
        }
        int* mRemovals = nullptr;
    };
    for (int set : {0, 2}) {
        gPlayerState->mCurrentCountry = set;
        const std::string before = Progress();
        Menu* options = gGameScreens.mOptions(L"playing", 0, set);
        ShowMenu(options);
        Run(40);
        int removals = 0;
        auto* confirm = new CountingConfirm(options);
        confirm->mRemovals = &removals;
        ShowMenu(confirm);
        Run(60);
        Click(L"ok_button");
        Run(60);
        EXPECT_EQ(removals, 1);
        const auto open = mApp->GetOpenMenus();
        ASSERT_EQ(open.size(), 1u);
        EXPECT_NE(dynamic_cast<MainMenu*>(open[0]), nullptr);
        if (set == 0) {
            EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
            EXPECT_TRUE(Story()[0].mPuzzles[0].mCompleted && Story()[0].mPuzzles[1].mCompleted);
            EXPECT_EQ(gPlayerState->CountCompletedPuzzles(0, 0), 2);
            EXPECT_EQ(Story()[0].mUnlock, 2) << "both lessons open";
            EXPECT_EQ(Story()[1].mUnlock, 1);
        } else {
            EXPECT_EQ(Progress(), before);
        }
        CloseAll();
    }
}

// The shortcuts past the tutorial leave a profile without its first two
// story sets alone.
TEST_F(MainMenuTest, TutorialShortcutsLeaveAShortStoryAlone) {
    Story().resize(1);
    Story()[0].mPuzzles.resize(1);
    const std::string before = Progress();
    auto* question = new ConfirmTutorialMenu();
    ShowMenu(question);
    Run(40);
    Click(L"cancel_button");
    ShowMenu(new ConfirmPuzzleSelectMenu(L"quiltro7", 0, 0, nullptr));
    Run(40);
    Click(L"ok_button");
    EXPECT_EQ(Progress(), before);
}

TEST_F(MainMenuTest, TheShadeCoversExactlyTheScreen) {
    ConfirmQuitMenu dialog;
    for (FPoint at : {FPoint(0, 0), FPoint(232, 214), FPoint(-10.7f, 33.9f)}) {
        dialog.Move(at.mX, at.mY);
        const FRect shade = dialog.GetShadeRect();
        EXPECT_EQ(shade.mX, -static_cast<float>(static_cast<int>(at.mX)));
        EXPECT_EQ(shade.mY, -static_cast<float>(static_cast<int>(at.mY)));
        EXPECT_EQ(shade.mWidth, 1024.0f);
        EXPECT_EQ(shade.mHeight, 768.0f);
    }
}

TEST_F(MainMenuTest, PuzzleKeysNameTheSetAndTheLetter) {
    EXPECT_EQ(FormatPuzzleKey(false, 2, 1), L"3-B");
    EXPECT_EQ(FormatPuzzleKey(true, 2, 1), L"X3-B");
    EXPECT_EQ(FormatPuzzleKey(false, 0, 25), L"1-Z");
    EXPECT_EQ(FormatPuzzleKey(true, 9, 26), L"X10-[");
}

// Credits (here from the options over the menu) save and show the play
// time, and lead back to one main menu; quitting from it saves at exit.
TEST_F(MainMenuTest, CreditsShowThePlayTimeAndQuitSavesAtExit) {
    gPlayerState->mHours = 2;
    gPlayerState->mMinutes = 5;
    OpenMainMenu();
    Click(L"options_button");
    Click(L"credits_button");
    ASSERT_NE(dynamic_cast<CreditsMenu*>(Active()), nullptr);
    EXPECT_EQ(Active()->GetVariable(L"time").ToString(), L"Time in the museum: 2 h 05 min");
    const std::string profiles = JoinPath(mHarness.UserDataFolder(), "profiles.xml");
    EXPECT_TRUE(PlatformFileExists(profiles));
    Click(L"back_button");
    ASSERT_NE(dynamic_cast<MainMenu*>(Active()), nullptr);
    EXPECT_EQ(mApp->GetOpenMenus().size(), 1u);

    PlatformRemoveFile(profiles);
    Click(L"quit_button");
    ASSERT_NE(dynamic_cast<ConfirmQuitMenu*>(Active()), nullptr);
    Click(L"cancel_button");
    EXPECT_FALSE(mApp->IsShutdownRequested());
    ASSERT_NE(dynamic_cast<MainMenu*>(Active()), nullptr);
    Click(L"quit_button");
    Click(L"ok_button");
    EXPECT_TRUE(mApp->IsShutdownRequested());
    mHarness.Close();
    mApp = nullptr;
    EXPECT_NE(mHarness.UserFile("profiles.xml").find("name=\"Ana\""), std::string::npos);
}

}  // namespace
