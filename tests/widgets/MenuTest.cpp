#include <gtest/gtest.h>

#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Localization.h"
#include "render/Image.h"
#include "tests/support/MenuData.h"
#include "tests/support/WidgetQueries.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/ConfirmMenu.h"
#include "widgets/DialogMenu.h"
#include "widgets/NoticeMenu.h"
#include "widgets/PopupMenu.h"
#include "widgets/Transition.h"

namespace {

class CodeApp : public TestGameApp {
public:
    void HandleTypedCode(const std::wstring& code) override { mCodes.push_back(code); }
    std::vector<std::wstring> mCodes;
};

// The application with the game's constants, assets and animations.
class MenuTest : public WidgetAppTest<CodeApp> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WidgetAppTest::SetUp());
        NoticeMenu::RegisterScriptCommand(ScriptCommandRegistry::Instance());
        ASSERT_TRUE(LoadMenuData());
    }
    template <class M>
    M* Open(M* menu) {
        ShowMenu(menu);
        mHarness.RunSteps(1);
        return menu;
    }
};

TEST_F(MenuTest, ACoveredMenuIsPausedAndAClickMakesItActiveAgain) {
    Menu* below = Open(new Menu(nullptr, false, false));
    Menu* above = Open(new Menu(nullptr, false, false));
    EXPECT_EQ(mApp->GetActiveMenu(), above);
    EXPECT_TRUE(below->IsPaused());
    EXPECT_FALSE(above->IsPaused());
    EXPECT_TRUE(below->mRemoveMask & WidgetFlags::AllowMouse) << "a covered menu takes no mouse";
    below->MouseDown(10, 10, 1);
    EXPECT_EQ(mApp->GetActiveMenu(), below);
    EXPECT_FALSE(below->IsPaused());
    EXPECT_FALSE(below->mRemoveMask & WidgetFlags::AllowMouse);
    EXPECT_TRUE(above->IsPaused());
}

TEST_F(MenuTest, APopupClosesWhenItsOutroEndsOrAtOnceWhenClosedAgain) {
    for (bool twice : {false, true}) {
        SCOPED_TRACE(twice);
        PopupMenu* popup = Open(new PopupMenu(FindImage(L"Dialog"), true, true));
        ASSERT_NE(popup->GetBackgroundOverlay(), nullptr);
        EXPECT_EQ(popup->mX, (1024 - 560) / 2);
        mHarness.RunSteps(30);
        popup->RemoveSelf();
        EXPECT_TRUE(popup->IsClosing());
        EXPECT_TRUE(IsMenuOpen(popup)) << "the outro runs first";
        if (twice) popup->RemoveSelf();
        else mHarness.RunSteps(20);
        EXPECT_FALSE(IsMenuOpen(popup));
        mHarness.RunSteps(1);
    }
}

// Dialogs that close every open menu, themselves included, and then close
// themselves once more must find nothing left to do.
TEST_F(MenuTest, ClosingADialogThatHasLeftTheTreeDoesNothing) {
    auto* confirm = Open(new ConfirmMenu(L"Quit?", L"Really?", L"Yes", L"No", nullptr));
    const size_t children = confirm->GetWidgetCount();
    ASSERT_TRUE(mApp->KillDialogWidget(confirm));
    EXPECT_TRUE(confirm->HasClosed());
    confirm->Dismiss();
    confirm->RemoveSelf();
    confirm->DoAction(L"ok", L"", 0);
    EXPECT_EQ(confirm->GetWidgetCount(), children) << "no outro on a closed dialog";
    EXPECT_FALSE(confirm->IsClosing());
    mHarness.RunSteps(2);  // deleted after the step; nothing refers to it
    EXPECT_EQ(mApp->GetDialogCount(), 0u);
}

// The confirm card's buttons, clicked: "ok" answers, the other closes.
TEST_F(MenuTest, TheConfirmDialogsButtonsAnswerOrClose) {
    struct Answered : ConfirmMenu {
        explicit Answered(int* oks) : ConfirmMenu(L"Start over?", L"Sure?", L"Yes", L"No", nullptr), mOks(oks) {}
        void OnOk() override { ++*mOks; }
        int* mOks;
    };
    int oks = 0;
    auto* confirm = Open(new Answered(&oks));
    mHarness.RunSteps(40);
    const int y = static_cast<int>(confirm->mY) + 222 + 32;  // the buttons' row, from the script
    const int left = static_cast<int>(confirm->mX);
    mHarness.MouseMove(left + 30 + 120, y);
    mHarness.Click(left + 30 + 120, y);
    EXPECT_EQ(oks, 1);
    EXPECT_TRUE(IsMenuOpen(confirm));
    mHarness.MouseMove(left + 290 + 120, y);
    mHarness.Click(left + 290 + 120, y);
    mHarness.RunSteps(30);
    EXPECT_FALSE(IsMenuOpen(confirm));
}

TEST_F(MenuTest, AFadingDialogShowsItsFadeFromWidgetAgainWhenItCloses) {
    Menu* screen = Open(new Menu(nullptr, false, false));
    auto* dialog = Open(new DialogMenu(screen));
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::FadingIn);
    EXPECT_TRUE(screen->mRemoveMask & WidgetFlags::Draw) << "its snapshot is drawn instead";
    mHarness.RunSteps(40);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::Shown);
    EXPECT_FALSE(dialog->mRemoveMask & (WidgetFlags::Draw | WidgetFlags::AllowMouse));
    dialog->DoAction(L"close", L"", 0);
    EXPECT_EQ(dialog->GetFadeState(), DialogMenu::FadingOut);
    mHarness.RunSteps(40);
    EXPECT_FALSE(IsMenuOpen(dialog));
    EXPECT_FALSE(screen->mRemoveMask & WidgetFlags::Draw);
}

TEST_F(MenuTest, TransitionsLiveAsLongAsTheirScriptWithOrWithoutANewMenu) {
    auto* bare = Open(new Transition(L"transition", nullptr, false));
    EXPECT_EQ(bare->GetVariable(L"menu").GetObject(), nullptr);
    EXPECT_NE(bare->GetVariable(L"screenshot").GetObject(), nullptr);
    mHarness.RunSteps(50);
    EXPECT_FALSE(IsMenuOpen(bare));

    auto* next = new Menu(nullptr, false, false);
    auto* transition = new Transition(L"transition", next, false);
    EXPECT_TRUE(next->IsInManager()) << "the new menu opens at once";
    ShowMenu(transition);
    mHarness.RunSteps(10);
    const auto& top = mManager->GetWidgets();
    EXPECT_EQ(top.back(), transition);
    EXPECT_EQ(transition->GetVariable(L"menu").GetObject(), next);
    mHarness.RunSteps(40);
    EXPECT_FALSE(IsMenuOpen(transition));
    EXPECT_EQ(mApp->GetActiveMenu(), next);

    // A notice opened under a running transition does not stop it: paused,
    // the old picture would hide the notice for good.
    auto* covering = Open(new Transition(L"transition", nullptr, false));
    auto* notice = Open(new NoticeMenu(L"no_such_notice", nullptr, L"menu", 2));
    EXPECT_EQ(mApp->GetActiveMenu(), notice);
    EXPECT_FALSE(covering->IsPaused());
    mHarness.RunSteps(50);
    EXPECT_FALSE(IsMenuOpen(covering));
    EXPECT_TRUE(IsMenuOpen(notice));
}

TEST_F(MenuTest, AMenuClosedBeforeItOpensClosesAsItIsAdded) {
    auto* menu = new Menu(nullptr, false, false);
    menu->RemoveSelf();
    ShowMenu(menu);
    EXPECT_FALSE(IsMenuOpen(menu));
    EXPECT_FALSE(menu->IsInManager());
    mHarness.RunSteps(1);
}

TEST_F(MenuTest, EveryKeyTestsTheLastEightCharacters) {
    Open(new Menu(nullptr, false, false));
    mHarness.TypeText(L"xkestova");
    mHarness.TypeText(L"i");
    EXPECT_EQ(mApp->mCodes, (std::vector<std::wstring>{L"xkestova", L"kestovai"}));
}

// "notice-menu" waits for the notice to close (its menu kept unpaused
// meanwhile); with "continue" it shows the notice and goes on; a second
// notice replaces the first.
TEST_F(MenuTest, NoticeMenuCommandWaitsOrGoesOnAndReplacesItsNotice) {
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimationsFromString(
        "<animations><include file=\"menu_animations.xml\"/>"
        "<animation name=\"wait\"><notice-menu text=\"'mistake_intro'\"/><define done=\"true\"/></animation>"
        "<animation name=\"go\"><notice-menu text=\"'a'\" continue=\"true\"/>"
        "<notice-menu text=\"'mistake_intro'\" continue=\"true\"/><define done=\"true\"/></animation>"
        "</animations>", "properties/notice-test.xml")) << loader.GetErrorText();
    loader.Publish();
    gLocalizedStrings.Publish({{L"mistake_intro_title", L"Title"}, {L"mistake_intro_text", L"Text"}});
    auto notices = [&] {
        int count = 0;
        for (Menu* menu : mApp->GetOpenMenus()) count += dynamic_cast<NoticeMenu*>(menu) != nullptr;
        return count;
    };
    Menu* waiting = Open(new Menu(L"wait"));
    auto* notice = dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu());
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->GetVariable(L"title").ToString(), L"Title");
    EXPECT_FALSE(waiting->HasVariable(L"done"));
    EXPECT_FALSE(waiting->GetPauseWhenCovered());
    notice->DoAction(L"close", L"", 0);
    mHarness.RunSteps(30);
    EXPECT_TRUE(waiting->HasVariable(L"done"));
    EXPECT_TRUE(waiting->GetPauseWhenCovered());
    EXPECT_EQ(notices(), 0);

    Menu* going = Open(new Menu(L"go"));
    EXPECT_TRUE(going->HasVariable(L"done")) << "continue: shown, and the script goes on";
    mHarness.RunSteps(30);
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(mApp->GetActiveMenu()->GetVariable(L"text").ToString(), L"Text");
}

}  // namespace
