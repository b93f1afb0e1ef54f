#include <gtest/gtest.h>

#include "core/StringUtil.h"
#include "platform/FileSystem.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "screens/MyBoard.h"
#include "screens/MyGameApp.h"
#include "tests/support/AppHarness.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Menu.h"
#include "widgets/NoticeMenu.h"
#include "widgets/TextboxPopup.h"

namespace {

// The game started on the data folder, with the screens the board opens
// replaced by plain menus that record which one opened.
class GameFlowTest : public ::testing::Test {
protected:
    void SetUp() override { mSaved = gGameScreens; }
    // After the boot, which installs the game's own makers.
    void RecordScreens() {
        gGameScreens.mStoryIntro = [this] {
            gPlayerState->mProgress[0][0].mIntroduced = true;  // the letter was read
            return Record("intro");
        };
        gGameScreens.mSetLoading = [this](int, int) { return Record("loading"); };
        gGameScreens.mMap = [this](const std::wstring&, bool) { return Record("map"); };
        gGameScreens.mStoryFinal = [this] { return Record("final"); };
    }
    void TearDown() override { gGameScreens = mSaved; }

    Menu* Record(const std::string& name) {
        mOpened.push_back(name);
        return new Menu(nullptr, false, false);
    }

    // Boots and runs until the board is there (loading works in real time).
    MyGameApp& Start(AppHarness& h) {
        MyGameApp& app = h.Boot<MyGameApp>();
        RecordScreens();
        EXPECT_TRUE(h.RunUntil([&app] { return app.GetBoard() != nullptr; }));
        return app;
    }

    GameScreens mSaved;
    std::vector<std::string> mOpened;
};

TEST_F(GameFlowTest, StoryStartsWithTheLetterThenPassesTheTutorialSetAndEndsOnTheMap) {
    AppHarness h;
    MyGameApp& app = Start(h);
    ProfileManager::CreateProfile(L"Ana");
    ASSERT_NE(gPlayerState, nullptr);
    std::vector<SetProgress>& story = gPlayerState->mProgress[0];
    app.GetBoard()->StartStory();
    app.GetBoard()->StartStory();
    EXPECT_EQ(mOpened, (std::vector<std::string>{"intro", "loading"}));
    // Past the lessons: every one done and open, and the story goes on in
    // the first wing, open at its first puzzle.
    EXPECT_EQ(gPlayerState->mCurrentCountry, 1);
    EXPECT_EQ(gPlayerState->CountCompletedPuzzles(0, 0), static_cast<int>(story[0].mPuzzles.size()));
    EXPECT_EQ(story[0].mUnlock, static_cast<int>(story[0].mPuzzles.size()));
    EXPECT_EQ(story[1].mUnlock, 1);

    for (SetProgress& set : story)
        for (PuzzleProgress& puzzle : set.mPuzzles) puzzle.mCompleted = true;
    app.GetBoard()->StartStory();
    EXPECT_EQ(mOpened.back(), "map");
    EXPECT_EQ(gPlayerState->mCurrentCountry, static_cast<int>(story.size()) - 1);
    h.Quit();
}

// Codes do nothing without a profile and the board; "haltrimo" quits
// without saving; "zebrulan" is saved and read back by the next run.
TEST_F(GameFlowTest, DeveloperCodesNeedAProfileAndPersistTheirProgress) {
    AppHarness::Options o;
    o.userDataFolder = PlatformMakeTempDirectory("quiltro7-codes-");
    {
        AppHarness h(o);
        MyGameApp& app = Start(h);
        app.HandleTypedCode(L"zebrulan");
        app.HandleTypedCode(L"quellipo");
        EXPECT_TRUE(mOpened.empty()) << "no profile: nothing happens";
        ProfileManager::CreateProfile(L"Ana");
        app.HandleTypedCode(L"quellipo");
        EXPECT_EQ(mOpened, std::vector<std::string>{"final"});
        app.HandleTypedCode(L"zebrulan");
        EXPECT_EQ(gPlayerState->CountCompletedSets(1), static_cast<int>(gPlayerState->mProgress[1].size()));
        const std::string saved = h.UserFile("profiles.xml");
        EXPECT_NE(saved.find("Ana"), std::string::npos);
        gPlayerState->mProgress[0][0].mUnlock = 0;  // a change that must not be saved
        app.HandleTypedCode(L"haltrimo");
        EXPECT_TRUE(app.IsShutdownRequested());
        h.Quit();
    }
    AppHarness h(o);
    Start(h);
    ASSERT_NE(gPlayerState, nullptr);
    EXPECT_EQ(gPlayerState->CountCompletedSets(0), static_cast<int>(gPlayerState->mProgress[0].size()));
    EXPECT_GT(gPlayerState->mProgress[0][0].mUnlock, 0) << "haltrimo saved nothing";
    h.Quit();
    PlatformRemoveTree(o.userDataFolder);
}

// A profile's name is tried as a code once the game has started, on the main
// thread: the loading thread selects the stored profile before any board.
TEST_F(GameFlowTest, AProfileNamedAfterACodeRunsItWhenTheGameStarts) {
    AppHarness::Options o;
    o.userDataFolder = PlatformMakeTempDirectory("quiltro7-named-");
    {
        AppHarness h(o);
        Start(h);
        ProfileManager::CreateProfile(L"kestovai");
        gPlayerState->mProgress[1][0].mUnlock = 0;
        ASSERT_TRUE(ProfileManager::Save());
        h.App().Shutdown();
        static_cast<MyGameApp&>(h.App()).mSaveOnExit = false;
        h.Quit();
    }
    {
        AppHarness h(o);
        Start(h);
        ASSERT_NE(gPlayerState, nullptr);
        EXPECT_EQ(gPlayerState->mProgress[1][0].mUnlock, static_cast<int>(gPlayerState->mProgress[1][0].mPuzzles.size()));
        h.Quit();
    }
    PlatformRemoveTree(o.userDataFolder);
}

// A save the disk refuses is told in the game's own notice, over the screen
// the player went on to (here the letter), with the folder and the reason.
TEST_F(GameFlowTest, AFailedSaveShowsANoticeOverTheNextScreen) {
    AppHarness::Options o;
    o.userDataFolder = PlatformMakeTempDirectory("quiltro7-savefail-");
    AppHarness h(o);
    MyGameApp& app = Start(h);
    ProfileManager::CreateProfile(L"Ana");
    const std::string path = o.userDataFolder + "/profiles.xml";
    PlatformRemoveFile(path);
    ASSERT_TRUE(PlatformMakeDirectory(path));  // nothing can replace a folder
    app.GetBoard()->ShowMainMenu();
    h.RunSteps(100);
    app.GetBoard()->StartStory();
    h.RunSteps(200);
    auto* notice = dynamic_cast<NoticeMenu*>(app.GetActiveMenu());
    ASSERT_NE(notice, nullptr);
    EXPECT_NE(notice->GetVariable(L"text").ToString().find(StringToWString(o.userDataFolder)), std::wstring::npos);
    EXPECT_EQ(mOpened, std::vector<std::string>{"intro"});
    h.Quit();
    PlatformRemoveTree(o.userDataFolder);
}

// settings.xml the disk will not replace: closing the options tells it in the
// game's notice; the write at exit cannot tell anyone, so the next start
// does.
TEST_F(GameFlowTest, AFailedSettingsSaveIsToldAndOneAtExitAtTheNextStart) {
    AppHarness::Options o;
    o.userDataFolder = PlatformMakeTempDirectory("quiltro7-settingsfail-");
    const std::string path = o.userDataFolder + "/settings.xml";
    auto noticeText = [](MyGameApp& app) {
        auto* notice = dynamic_cast<NoticeMenu*>(app.GetActiveMenu());
        return notice ? notice->GetVariable(L"text").ToString() : std::wstring();
    };
    {
        AppHarness h(o);
        MyGameApp& app = Start(h);
        ProfileManager::CreateProfile(L"Ana");
        PlatformRemoveFile(path);
        ASSERT_TRUE(PlatformMakeDirectory(path));  // nothing can replace a folder
        ASSERT_TRUE(PlatformMakeDirectory(path + "/x"));  // nor be read as settings
        auto* options = gGameScreens.mOptions(L"main-menu", 0, 0);
        ASSERT_TRUE(ShowGameScreen(options));
        h.RunSteps(60);
        options->DoAction(L"close", L"", 0);
        h.RunSteps(200);
        const std::wstring text = noticeText(app);
        EXPECT_NE(text.find(L"settings"), std::wstring::npos) << text;
        EXPECT_NE(text.find(StringToWString(o.userDataFolder)), std::wstring::npos) << text;
        h.Close();
    }
    EXPECT_TRUE(PlatformFileExists(path + ".unsaved")) << "the failure at exit left no word for the next start";
    PlatformRemoveTree(path);
    {
        AppHarness h(o);
        MyGameApp& app = Start(h);
        h.RunSteps(200);
        const std::wstring text = noticeText(app);
        EXPECT_NE(text.find(L"last ended"), std::wstring::npos) << text;
        EXPECT_FALSE(PlatformFileExists(path + ".unsaved")) << "told once";
        h.Quit();
    }
    EXPECT_TRUE(PlatformFileExists(path));
    PlatformRemoveTree(o.userDataFolder);
}

TEST_F(GameFlowTest, ButtonsAreCentredOnTheirPoint) {
    AppHarness h;
    MyGameApp& app = Start(h);
    for (int size : {0, 1}) {
        ImageSurface picture;
        picture.Create(300 + size, 200 + size);
        TextboxPopup popup(100, 50, &picture, nullptr);
        EXPECT_EQ(popup.mX, 100);
        ButtonWidget* ok = popup.GetOkButton();
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->mDisabled);
        EXPECT_EQ(ok->mX + ok->GetImage()->GetCelWidth() / 2, 150);
        EXPECT_EQ(ok->mY + ok->GetImage()->GetCelHeight() / 2, 149);
    }
    std::unique_ptr<ButtonWidget> empty(app.CreateTextButton(200, 300, L"", true));
    EXPECT_EQ(empty->mWidth, 0);
    EXPECT_EQ(empty->mX, 200);
    EXPECT_EQ(empty->mY, 300);
    EXPECT_GT(empty->mHeight, 0);
    h.Quit();
}

}  // namespace
