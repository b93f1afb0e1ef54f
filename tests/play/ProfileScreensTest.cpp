// The title, the name entry and the profiles screen, driven as a player
// would: a fresh user folder, the real game data, mouse clicks and keys.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/WeakHandle.h"
#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "platform/FileSystem.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "screens/ConfirmDeleteMenu.h"
#include "screens/EnterNameMenu.h"
#include "screens/GameScreens.h"
#include "screens/MyGameApp.h"
#include "screens/MyTitleScreen.h"
#include "screens/PlayerSelectMenu.h"
#include "screens/ProfileNameWidget.h"
#include "tests/support/AppHarness.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"
#include "platform/InputEvent.h"
#include "widgets/WidgetManager.h"

namespace {

class ProfileScreensTest : public ::testing::Test {
protected:
    void SetUp() override { mSaved = gGameScreens; }
    void TearDown() override {
        mHarness.reset();
        gGameScreens = mSaved;
    }

    // `userFolder`: a previous run's (by default a fresh one).
    MyGameApp& Boot(bool titleScreen, const std::string& userFolder = {}) {
        AppHarness::Options options;
        options.titleScreen = titleScreen;
        options.userDataFolder = userFolder;
        mHarness = std::make_unique<AppHarness>(options);
        mApp = &mHarness->Boot<MyGameApp>();
        EXPECT_TRUE(mHarness->InitSucceeded());
        gGameScreens.mMainMenu = [this](bool) {
            ++mMainMenus;
            return nullptr;
        };
        return *mApp;
    }
    void RunUntilLoaded() { ASSERT_TRUE(mHarness->RunUntil([this] { return mApp->IsLoadingFinished(); })); }
    void Click(Widget* widget) {
        ASSERT_NE(widget, nullptr);
        ClickCentre(*mHarness, *widget);
        mHarness->RunSteps(2);
    }
    // Ends the run (the game saves as it closes) and reads what it saved.
    std::string QuitAndReadProfiles() {
        mHarness->Close();
        return mHarness->UserFile("profiles.xml");
    }

    std::unique_ptr<AppHarness> mHarness;
    MyGameApp* mApp = nullptr;
    GameScreens mSaved;
    int mMainMenus = 0;
};

TEST(NameEntry, NamesAreAsciiLettersDigitsAndInnerSpacesUpToTenCharacters) {
    struct Case {
        const wchar_t* text;
        wchar_t ch;
        bool valid;
    };
    const Case cases[] = {{L"", L'a', true},          {L"", L'7', true},      {L"", L' ', false},
                          {L"ab", L' ', true},        {L"ab", L'-', false},   {L"Ana", L'\u00e9', false},
                          {L"Ana", L'\u0416', false}, {L"Ana", 0x1F600, false}, {L"abcdefghi", L'j', true},
                          {L"abcdefghij", L'k', false}, {L"a", 8, false},     {L"a", 13, false}};
    for (const Case& c : cases) EXPECT_EQ(IsValidNameChar(c.text, c.ch), c.valid) << int(c.ch) << " after " << c.text;
}

TEST(TitleScreen, TheLoadingBarNeverOutgrowsItsPictureAndShowsNothingAtZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, int> cases[] = {{0.0, 0}, {-0.5, 0}, {nan, 0}, {0.002, 0}, {0.5, 220}, {1.0, 440}, {1.7, 440}};
    for (auto [progress, filled] : cases) EXPECT_EQ(MyTitleScreen::LoadingBarFill(progress, 440), filled) << progress;
}

// First start: the title, typing there does nothing, then play asks for a
// name; a leading space and an 11th character are refused, an empty name is
// ignored, Enter is OK. The profile lands in slot 0, selected, and is saved.
TEST_F(ProfileScreensTest, FirstStartAsksForANameAndMakesTheFirstProfile) {
    Boot(true);
    MyTitleScreen* title = TopMenu<MyTitleScreen>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetPlayButton(), nullptr) << "no button while loading";
    RunUntilLoaded();
    mHarness->TypeText(L"kestovai");
    EXPECT_EQ(TopMenu<MyTitleScreen>(), title);
    EXPECT_EQ(gSelectedProfile, -1);

    Click(title->GetPlayButton());
    EnterNameMenu* entry = TopMenu<EnterNameMenu>();
    ASSERT_NE(entry, nullptr);
    mHarness->PressKey(KeyCode::Return);
    Click(entry->GetOkButton());
    EXPECT_EQ(TopMenu<EnterNameMenu>(), entry) << "an empty name is ignored";
    EXPECT_TRUE(entry->GetOkButton()->mDisabled) << "and the button looks it";
    mHarness->TypeText(L" ab cd");
    EXPECT_EQ(entry->GetEdit()->GetText(), L"ab cd");
    mHarness->RunSteps(1);
    EXPECT_FALSE(entry->GetOkButton()->mDisabled);
    mHarness->TypeText(L"efghijk");
    EXPECT_EQ(entry->GetEdit()->GetText(), L"ab cdefghi");
    for (int i = 0; i < 10; ++i) mHarness->PressKey(KeyCode::Backspace);
    mHarness->TypeText(L"Ana");
    mHarness->PressKey(KeyCode::Return);
    mHarness->RunSteps(5);
    EXPECT_EQ(TopMenu<EnterNameMenu>(), nullptr);
    EXPECT_EQ(TopMenu<MyTitleScreen>(), nullptr);
    EXPECT_NE(mApp->GetBoard(), nullptr);
    EXPECT_EQ(mMainMenus, 1);
    EXPECT_EQ(gSelectedProfile, 0);
    EXPECT_EQ(gProfiles[0].mName, L"Ana");
    EXPECT_EQ(mApp->mPlayerName, L"Ana");
    EXPECT_NE(QuitAndReadProfiles().find("<profiles selected=\"0\"><profile name=\"Ana\">"), std::string::npos);
}

// The title and the profiles screen stand on the picture "TitleBackground",
// the main menu's quilt under another name: one image, decoded once.
TEST_F(ProfileScreensTest, TheTitleAndTheProfilesShowTheTitleBackground) {
    Boot(true);
    Image* background = FindImage(L"TitleBackground");
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(FindImage(L"MenuBackdrop"), background);
    MyTitleScreen* title = TopMenu<MyTitleScreen>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetImage(), background);
    RunUntilLoaded();
    ProfileManager::CreateProfile(L"Ana");
    ASSERT_TRUE(ShowGameScreen(gGameScreens.mPlayerSelect()));
    mHarness->RunSteps(60);
    auto* profiles = TopMenu<PlayerSelectMenu>();
    ASSERT_NE(profiles, nullptr);
    EXPECT_EQ(profiles->GetImage(), background);
}

// With a selected profile, play goes straight to the game.
TEST_F(ProfileScreensTest, PlayWithASelectedProfileStartsTheGame) {
    Boot(true);
    RunUntilLoaded();
    ProfileManager::CreateProfile(L"Ana");
    Click(TopMenu<MyTitleScreen>()->GetPlayButton());
    EXPECT_EQ(mApp->GetOpenMenus().size(), 0u);
    EXPECT_NE(mApp->GetBoard(), nullptr);
    EXPECT_EQ(mMainMenus, 1);
}

// The profiles screen: a named slot is selected at once; a free one takes a
// name (Backspace and Enter as typed characters) or, committed empty, stays
// free with nothing selected; delete asks and frees the slot; the menu,
// delete and play buttons show only while a named profile is selected.
TEST_F(ProfileScreensTest, TheProfilesScreenCreatesSelectsRenamesAndDeletes) {
    Boot(false);
    RunUntilLoaded();
    ProfileManager::CreateProfile(L"Ana");
    ASSERT_TRUE(ShowGameScreen(gGameScreens.mPlayerSelect()));
    mHarness->RunSteps(60);
    auto* menu = TopMenu<PlayerSelectMenu>();
    ASSERT_NE(menu, nullptr);
    // Delete and play need a selected profile; the way back is always there.
    auto buttonsShown = [&menu] {
        EXPECT_TRUE(menu->GetMenuButton()->mVisible);
        const bool shown = menu->GetDeleteButton()->mVisible;
        EXPECT_EQ(menu->GetPlayButton()->mVisible, shown);
        return shown;
    };
    EXPECT_EQ(menu->GetSelected(), 0);
    EXPECT_TRUE(menu->GetNameButton(0)->IsEditLook());
    EXPECT_TRUE(buttonsShown());

    Click(menu->GetNameButton(1));
    EXPECT_FALSE(buttonsShown());
    EXPECT_TRUE(menu->GetCheckButton(1)->mVisible);
    EXPECT_FALSE(menu->GetNameButton(0)->IsEditLook());
    mHarness->PressKey(KeyCode::Backspace);
    mHarness->TypeText(L" Bx");
    mHarness->PressKey(KeyCode::Backspace);
    mHarness->TypeText(L"o");
    EXPECT_EQ(menu->GetNameButton(1)->GetName(), L"Bo");
    mHarness->PressKey(KeyCode::Return);
    EXPECT_EQ(gProfiles[1].mName, L"Bo");
    EXPECT_EQ(gSelectedProfile, 1);
    EXPECT_TRUE(buttonsShown());
    EXPECT_FALSE(menu->GetCheckButton(1)->mVisible);

    // The question's text is data: its conversions beyond the name stay text.
    const std::wstring question = GetLocalizedString(L"delete_text");
    gLocalizedStrings.Publish({{L"delete_text", L"Delete %s? %s %d %n"}});
    Click(menu->GetDeleteButton());
    gLocalizedStrings.Publish({{L"delete_text", question}});
    auto* confirm = TopMenu<ConfirmDeleteMenu>();
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->GetVariable(L"text").ToString(), L"Delete Bo? %s %d %n");
    mHarness->RunSteps(40);
    Click(FindWidgetByName(*confirm, L"ok_button"));
    mHarness->RunSteps(40);
    EXPECT_EQ(gProfiles[1].mName, L"");
    EXPECT_EQ(gSelectedProfile, -1);
    EXPECT_EQ(gPlayerState, nullptr);
    EXPECT_FALSE(buttonsShown());
    menu->DeleteSelected();  // nothing selected: nothing happens
    EXPECT_EQ(gProfiles[0].mName, L"Ana");

    Click(menu->GetNameButton(2));
    Click(menu->GetCheckButton(2));
    EXPECT_EQ(menu->GetSelected(), -1) << "an empty name selects nothing";
    EXPECT_FALSE(menu->GetNameButton(2)->IsEditLook());
    EXPECT_FALSE(buttonsShown());

    // Escape leaves for the main menu, with nobody selected too, and while a
    // free slot is being typed into.
    Click(menu->GetNameButton(3));
    mHarness->PressKey(KeyCode::Escape);
    mHarness->RunSteps(2);
    EXPECT_FALSE(IsMenuOpen(menu));
    EXPECT_EQ(mMainMenus, 2) << "the first opened as the game started";
    ASSERT_TRUE(ShowGameScreen(gGameScreens.mPlayerSelect()));
    mHarness->RunSteps(60);
    menu = TopMenu<PlayerSelectMenu>();
    ASSERT_NE(menu, nullptr);
    Click(menu->GetNameButton(0));
    EXPECT_EQ(mApp->mPlayerName, L"Ana");
    EXPECT_TRUE(buttonsShown());
    Click(menu->GetMenuButton());
    EXPECT_EQ(mMainMenus, 3);
    EXPECT_EQ(gPlayerState->mDevice, L"ipad");
    EXPECT_EQ(TopMenu<PlayerSelectMenu>(), nullptr);
    const std::string saved = QuitAndReadProfiles();
    EXPECT_NE(saved.find("<profiles selected=\"0\"><profile name=\"Ana\">"), std::string::npos);
    EXPECT_EQ(saved.find("Bo"), std::string::npos);
}

// A name given as the code that quits without saving ends the game and is
// never saved, from the name entry and from the profiles screen; the next
// start plays (the title asks for a name again, or goes on with the player
// who was there).
TEST_F(ProfileScreensTest, ANameThatIsTheQuitCodeIsNeverSaved) {
    const std::string folder = PlatformMakeTempDirectory("quiltro7-quitcode-");
    Boot(true, folder);
    RunUntilLoaded();
    Click(TopMenu<MyTitleScreen>()->GetPlayButton());
    ASSERT_NE(TopMenu<EnterNameMenu>(), nullptr);
    mHarness->TypeText(L"haltrimo");
    mHarness->PressKey(KeyCode::Return);
    EXPECT_TRUE(mApp->IsShutdownRequested());
    EXPECT_EQ(QuitAndReadProfiles().find("haltrimo"), std::string::npos);

    Boot(true, folder);
    RunUntilLoaded();
    EXPECT_EQ(gSelectedProfile, -1);
    Click(TopMenu<MyTitleScreen>()->GetPlayButton());
    ASSERT_NE(TopMenu<EnterNameMenu>(), nullptr) << "the next start asks for a name";
    mHarness->TypeText(L"Ana");
    mHarness->PressKey(KeyCode::Return);
    mHarness->RunSteps(5);
    EXPECT_FALSE(mApp->IsShutdownRequested());
    ASSERT_TRUE(ShowGameScreen(gGameScreens.mPlayerSelect()));
    mHarness->RunSteps(60);
    auto* menu = TopMenu<PlayerSelectMenu>();
    ASSERT_NE(menu, nullptr);
    // Choosing the free slot is saved at once (nobody selected).
    Click(menu->GetNameButton(1));
    const std::string before = mHarness->UserFile("profiles.xml");
    ASSERT_NE(before.find("<profiles selected=\"-1\"><profile name=\"Ana\">"), std::string::npos);
    mHarness->TypeText(L"haltrimo");
    mHarness->PressKey(KeyCode::Return);
    EXPECT_TRUE(mApp->IsShutdownRequested());
    EXPECT_TRUE(QuitAndReadProfiles() == before) << "profiles.xml changed";

    Boot(true, folder);
    RunUntilLoaded();
    Click(TopMenu<MyTitleScreen>()->GetPlayButton());
    ASSERT_NE(TopMenu<EnterNameMenu>(), nullptr);
    mHarness->TypeText(L"Bo");
    mHarness->PressKey(KeyCode::Return);
    mHarness->RunSteps(5);
    EXPECT_FALSE(mApp->IsShutdownRequested());
    EXPECT_NE(mApp->GetBoard(), nullptr);
    EXPECT_EQ(gProfiles[0].mName, L"Ana");
    EXPECT_EQ(gProfiles[1].mName, L"Bo");
    mHarness.reset();
    PlatformRemoveTree(folder);
}

}  // namespace
