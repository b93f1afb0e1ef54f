#include <gtest/gtest.h>

#include "app/GameApp.h"
#include "core/FileUtil.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "platform/FileSystem.h"
#include "platform/Window.h"
#include "platform/X11Display.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "screens/GameScreens.h"
#include "screens/OptionsMenu.h"
#include "tests/support/AppHarness.h"
#include "tests/support/MenuData.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/Checkbox.h"
#include "widgets/NoticeMenu.h"
#include "widgets/Slider.h"

namespace {

// Hears the samples the dialog plays.
class OptionsApp : public GameApp {
public:
    OptionsApp() : GameApp("Options", "v1", 1024, 768) {}
    void PlaySample(int soundId) override { mSamples.push_back(soundId); }
    std::vector<int> mSamples;
};

class Options : public ::testing::Test {
protected:
    void SetUp() override { Boot(true); }
    void Boot(bool headless) {
        AppHarness::Options options;
        options.headless = headless;
        mHarness = std::make_unique<AppHarness>(options);
        mApp = &mHarness->Boot<OptionsApp>();
        ASSERT_TRUE(mHarness->InitSucceeded());
        OptionsMenu::RegisterScriptCommands(ScriptCommandRegistry::Instance());
        ASSERT_TRUE(LoadMenuData());
        MyLocalization localization;
        ProfileManager profiles;
        ProfileManager::SelectProfile(0);
        mSaved = gGameScreens;
    }
    void TearDown() override {
        gGameScreens = mSaved;
        mHarness.reset();
        ProfileManager::ClearProfiles();
    }
    OptionsMenu* Open(const std::wstring& caller) {
        auto* menu = new OptionsMenu(L"quiltro7", caller, 1, 2);
        ShowMenu(menu);
        mHarness->RunSteps(30);
        return menu;
    }

    std::unique_ptr<AppHarness> mHarness;
    OptionsApp* mApp = nullptr;
    GameScreens mSaved;
};

TEST_F(Options, TheMouseSliderStoresWholeSpeedsAndSnapsToThemOnRelease) {
    OptionsMenu* menu = Open(L"main-menu");
    const std::pair<double, int> cases[] = {{0.5, 11}, {0.0, 1}, {1.0, 20}, {0.26, 6}};
    for (const auto& [value, speed] : cases) {
        menu->SliderValueChanged(menu->mMouseSlider, value);
        EXPECT_EQ(mApp->GetMouseSpeed(), speed) << value;
        menu->SliderReleased(menu->mMouseSlider);
        EXPECT_DOUBLE_EQ(menu->mMouseSlider->GetValue(), (speed - 1) / 19.0) << value;
    }
}

TEST_F(Options, TheSoundSliderRingsOnceWhenADragEndsAndOnceForAPressOnTheTrack) {
    OptionsMenu* menu = Open(L"main-menu");
    Slider* sfx = menu->mSfxSlider;
    const int bell = gAssetManager->GetSoundId(L"Bell");
    ASSERT_GE(bell, 0);
    const int thumb = sfx->GetThumbX() + 5;
    sfx->MouseDown(thumb, 10, 1);
    for (int x : {thumb - 20, thumb - 60, thumb - 100}) sfx->MouseDrag(x, 10);
    EXPECT_LT(mApp->GetSfxVolume(), 0.8);
    EXPECT_TRUE(mApp->mSamples.empty());
    sfx->MouseUpAt(thumb - 100, 10, 1);
    EXPECT_EQ(mApp->mSamples, std::vector<int>{bell});
    sfx->MouseDown(sfx->mWidth - 2, 10, 1);
    sfx->MouseUpAt(sfx->mWidth - 2, 10, 1);
    EXPECT_EQ(mApp->mSamples, (std::vector<int>{bell, bell}));
    EXPECT_DOUBLE_EQ(mApp->GetSfxVolume(), 1.0);
}

TEST_F(Options, UncheckingFullScreenHidesItsControlsAtOnceAndSwitchesOnAButton) {
    mApp->mIsWindowed = false;
    OptionsMenu* menu = Open(L"main-menu");
    Checkbox* full = menu->GetBox(OptionsMenu::Full);
    ASSERT_TRUE(full && full->IsChecked());
    EXPECT_TRUE(menu->mMouseSlider->mVisible);
    full->SetChecked(false);
    EXPECT_FALSE(menu->mMouseSlider->mVisible);
    EXPECT_FALSE(menu->GetBox(OptionsMenu::Stretch)->mVisible);
    EXPECT_FALSE(mApp->mIsWindowed);
    menu->ButtonDepress(0);
    EXPECT_TRUE(mApp->mIsWindowed);

    // Where windowed mode is not offered the box will not be unchecked.
    mApp->mIsWindowed = false;
    mApp->mNoWindowedMode = true;
    full->SetChecked(true);
    full->SetChecked(false);
    EXPECT_TRUE(full->IsChecked());
    EXPECT_NE(TopMenu<NoticeMenu>(), nullptr);
}

// Leaving saves the changes first (the confirmations of the pause dialog
// are the play screen's tests).
TEST_F(Options, LeavingSavesTheChangesFirst) {
    int credits = 0;
    gGameScreens.mCredits = [&]() -> Menu* {
        ++credits;
        return nullptr;
    };
    for (const wchar_t* action : {L"close", L"credits"}) {
        OptionsMenu* menu = Open(L"main-menu");
        PlatformRemoveFile(JoinPath(mHarness->UserDataFolder(), "profiles.xml"));
        menu->SliderValueChanged(menu->mSfxSlider, 0.5);
        menu->SliderValueChanged(menu->mMusicSlider, 0.25);
        menu->SliderValueChanged(menu->mMouseSlider, 1.0);
        menu->GetBox(OptionsMenu::Cursors)->SetChecked(false);
        menu->GetBox(OptionsMenu::Tips)->SetChecked(true);
        menu->ButtonDepress(0);
        menu->DoAction(action, L"", 0);
        const std::string settings = mHarness->UserFile("settings.xml");
        for (const char* expected : {"volume=\"0.500\"", "mouse-speed=\"20\"", "custom-cursors=\"0\"",
                                     "name=\"music\" volume=\"0.250\""})
            EXPECT_NE(settings.find(expected), std::string::npos) << expected << " in " << settings;
        EXPECT_NE(mHarness->UserFile("profiles.xml").find("disable-tips=\"1\""), std::string::npos);
        mHarness->RunSteps(20);  // a popup's outro
        EXPECT_FALSE(IsMenuOpen(menu));
    }
    EXPECT_EQ(credits, 1);
}

// A script that placed no boxes: the buttons and the box calls skip them.
TEST_F(Options, ADialogWithoutBoxesLeavesTheModesAlone) {
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimationsFromString(
        "<animations><animation name=\"options_menu\"><add-slider type=\"sfx\" x=\"0\" y=\"0\"/>"
        "<add-checkbox type=\"shiny\" x=\"0\" y=\"0\"/></animation></animations>", "bare.xml"));
    loader.Publish();
    OptionsMenu* menu = Open(L"main-menu");
    for (int box = 0; box < OptionsMenu::kBoxTypes; ++box)
        EXPECT_EQ(menu->GetBox(static_cast<OptionsMenu::BoxType>(box)), nullptr);
    mApp->mStretchScreen = true;
    menu->CheckboxChecked(12345, true);
    menu->ButtonDepress(0);
    EXPECT_TRUE(mApp->mIsWindowed);
    EXPECT_TRUE(mApp->mStretchScreen);
}

// The real window under Xvfb: the box switches full screen on and off where
// the desktop can show it. Where it cannot (no window manager, as on a bare
// Xvfb) the window stays one of the game's size and says why, and the
// player's setting still follows the box.
TEST_F(Options, FullScreenGoesOnAndOffInARealWindow) {
    mHarness.reset();
    Boot(false);
    PlatformWindow* window = mApp->GetWindow();
    ASSERT_NE(window, nullptr);
    const bool showable = X11FullScreenShowable(window->NativeWindow(), nullptr);
    OptionsMenu* menu = Open(L"main-menu");
    Checkbox* full = menu->GetBox(OptionsMenu::Full);
    for (bool fullScreen : {true, false, true}) {
        full->SetChecked(fullScreen);
        menu->ButtonDepress(0);
        mHarness->RunSteps(2);
        EXPECT_EQ(mApp->mIsWindowed, !fullScreen);
        EXPECT_EQ(menu->mMouseSlider->mVisible, fullScreen);
        EXPECT_EQ(window->IsWindowed(), !(fullScreen && showable));
        if (window->IsWindowed()) {
            int width = 0, height = 0;
            window->GetDrawableSize(width, height);
            EXPECT_EQ(width, 1024);
            EXPECT_EQ(height, 768);
        }
        if (fullScreen && !showable) {
            EXPECT_FALSE(window->FullScreenRefusal().empty());
        }
    }
}

}  // namespace
