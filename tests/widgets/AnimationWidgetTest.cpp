#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/Animation.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/AnimationWidget.h"
#include "widgets/Menu.h"

namespace {

AnimationCommand Command(const std::wstring& name,
                         std::map<std::wstring, std::wstring> attributes = {}) {
    AnimationCommand command;
    command.mName = name;
    for (const auto& [attribute, text] : attributes) command.SetAttribute(attribute, text);
    return command;
}

// The animations these tests play.
void PublishTestAnimations() {
    AnimationTable table;
    auto add = [&](const std::wstring& name, std::vector<AnimationCommand> commands) {
        Animation& a = table[name];
        a.mName = name;
        a.mCommands = std::move(commands);
    };
    add(L"two_steps", {Command(L"first", {{L"n", L"1"}}), Command(L"second")});
    add(L"readers", {Command(L"probe", {{L"count", L"2 + 3"},
                                        {L"ratio", L"0.25"},
                                        {L"flag", L"true"},
                                        {L"word", L"'hello'"},
                                        {L"who", L"self"},
                                        {L"target", L"ball"},
                                        {L"curve", L"out_quad"}})});
    add(L"empty", {});
    PublishAnimations(std::move(table));
}

// Counts the interpreter's entries, and holds the script on the commands
// these tests use (a class command's Stop leaves the index on the command),
// so the tests see the base's bookkeeping whatever the walk does.
class ProbeWidget : public AnimationWidget {
public:
    using AnimationWidget::AnimationWidget;
    bool RunScript(bool advance) override {
        mRuns.push_back(advance);
        return AnimationWidget::RunScript(advance);
    }
    void PlayedEmptyAnimation() override { ++mEmptyPlays; }
    void DoAction(const std::wstring& action, const std::wstring& parameter,
                  int object) override {
        if (!mRecordActions) return AnimationWidget::DoAction(action, parameter, object);
        mActions.push_back(action + L"/" + parameter + L"/" + std::to_wstring(object));
    }
    bool mRecordActions = true;
    std::vector<bool> mRuns;
    int mEmptyPlays = 0;
    std::vector<std::wstring> mActions;
};

[[maybe_unused]] const bool kHeldCommands = [] {
    for (const wchar_t* held : {L"first", L"second", L"probe"})
        ScriptCommandRegistry::Instance().AddClassCommand<ProbeWidget>(
            held, [](AnimationWidget&, const AnimationCommand&, DynamicWidget*) { return ScriptStep::Stop; });
    return true;
}();

class AnimationWidgetTest : public WidgetAppTest<> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WidgetAppTest::SetUp());
        // After the boot, which may load the game's own animations.
        PublishTestAnimations();
    }
    // A widget without a script, added to the parent (the tree's root by default).
    ProbeWidget* AddProbe(WidgetContainer* parent = nullptr) {
        auto* w = new ProbeWidget(0.0f, 0.0f, nullptr, 1.0f);
        (parent ? parent : mManager)->AddWidget(w);
        return w;
    }
};

// A named animation starts when the widget enters the tree. Leaving the tree
// by a detach keeps the script where it was and ends the widget for its
// listener there, once: added elsewhere the script goes on, and its final
// removal there tells that listener nothing more.
TEST_F(AnimationWidgetTest, ScriptStartsInTheTreeAndADetachKeepsItsPositionAndReportsOnce) {
    struct Counter : AnimationListener {
        int mComplete = 0;
        void AnimationComplete(int) override { ++mComplete; }
    } counter;
    ProbeWidget* parent = AddProbe();
    ProbeWidget* other = AddProbe();
    auto* w = new ProbeWidget(L"two_steps", 0.0f, 0.0f, false);
    counter.WatchWidget(w);
    EXPECT_TRUE(w->mRuns.empty());
    EXPECT_EQ(w->GetVariable(L"self").GetObject(), w);
    EXPECT_TRUE(w->IsBusy());
    parent->AddWidget(w);
    EXPECT_EQ(w->mRuns, std::vector<bool>{false});
    ASSERT_NE(w->GetCurrentCommand(), nullptr);
    EXPECT_EQ(w->GetCurrentCommand()->mName, L"first");
    w->NextCommand(true);
    ASSERT_EQ(w->mCommandIndex, 1);
    w->mRuns.clear();

    w->DetachSelf();
    EXPECT_EQ(counter.mComplete, 1);
    other->AddWidget(w);
    EXPECT_EQ(w->mCommandIndex, 1);
    EXPECT_TRUE(w->mRuns.empty());  // continued, not run again
    EXPECT_FALSE(w->mDetaching);

    // A plain removal stops the script; added again nothing is left to run.
    other->RemoveWidget(w);
    EXPECT_TRUE(w->IsScriptFinished());
    EXPECT_EQ(counter.mComplete, 1);
}

// A removed widget forgets its sound loops (a detach keeps them: the script
// still runs); in a menu each of its loops is stopped there once.
TEST_F(AnimationWidgetTest, RemovalEndsTheSoundLoopsOnceEachThroughTheMenu) {
    ProbeWidget* alone = AddProbe();
    alone->AddSoundLoop(4);
    alone->AddSoundLoop(4);
    ASSERT_EQ(alone->mMenu, nullptr);
    alone->DetachSelf();
    EXPECT_EQ(alone->GetSoundLoops().size(), 1u);
    mManager->AddWidget(alone);
    mManager->RemoveWidget(alone);
    EXPECT_TRUE(alone->GetSoundLoops().empty());

    auto* menu = new Menu(nullptr, false, false);
    mApp->AddDialog(menu);
    for (int i = 0; i < 3; ++i) menu->PlaySound(4, 1.0);  // one held by someone else
    ProbeWidget* w = AddProbe(menu);
    EXPECT_EQ(w->mMenu, menu);
    w->AddSoundLoop(4);
    w->AddSoundLoop(4);
    menu->RemoveWidget(w);  // deleted later; leaves the manager now
    EXPECT_EQ(menu->GetSoundCount(4), 1);
}

TEST_F(AnimationWidgetTest, ObjectVariablesAreWeakAndRemovalForgetsNames) {
    ProbeWidget* w = AddProbe();
    auto* ball = new DynamicWidget(0.0f, 0.0f);
    w->AddNamedObject(L"ball", ball);
    EXPECT_EQ(ball->mName, L"ball");
    EXPECT_EQ(ball->mParent, w);
    EXPECT_EQ(ball->mButtonListener.Get(), static_cast<ButtonListener*>(w));
    EXPECT_EQ(w->GetVariable(L"ball").GetObject(), ball);
    w->SetVariable(L"copy", ScriptValue(static_cast<ScriptObject*>(ball)));

    ball->RemoveSelf();
    EXPECT_FALSE(w->HasVariable(L"ball"));
    mHarness.RunSteps(1);  // deleted now
    EXPECT_EQ(w->GetVariable(L"copy").GetObject(), nullptr);
}

TEST_F(AnimationWidgetTest, AttributeReadersWorkOnTheCurrentCommand) {
    auto* w = new ProbeWidget(L"readers", 0.0f, 0.0f, false);
    auto* ball = new DynamicWidget(0.0f, 0.0f);
    w->AddNamedObject(L"ball", ball);
    EXPECT_TRUE(w->HasAttribute(L"count"));
    EXPECT_EQ(w->GetAttribute(L"count"), L"2 + 3");
    EXPECT_EQ(w->GetIntAttribute(L"count"), 5);
    EXPECT_FLOAT_EQ(w->GetFloatAttribute(L"ratio"), 0.25f);
    EXPECT_TRUE(w->GetBoolAttribute(L"flag"));
    EXPECT_EQ(w->GetStringAttribute(L"word"), L"hello");
    EXPECT_EQ(w->CurrentAttributes().size(), 7u);
    // Absent: empty text, 0, 0.0, false; the Or forms give their defaults.
    EXPECT_EQ(w->GetStringAttribute(L"none"), L"");
    EXPECT_EQ(w->GetIntAttribute(L"none"), 0);
    EXPECT_EQ(w->GetFloatAttribute(L"none"), 0.0f);
    EXPECT_FALSE(w->GetBoolAttribute(L"none"));
    EXPECT_EQ(w->GetIntAttributeOr(L"none", 7), 7);
    EXPECT_EQ(w->GetFloatAttributeOr(L"none", 1.5f), 1.5f);
    EXPECT_TRUE(w->GetBoolAttributeOr(L"none", true));
    EXPECT_EQ(w->GetIntAttributeOr(L"count", 7), 5);
    EXPECT_EQ(w->GetSoundAttribute(L"word"), -1);
    EXPECT_EQ(w->GetTrackAttribute(L"word"), -1);
    EXPECT_EQ(w->GetFontAttribute(L"word"), nullptr);
    EXPECT_EQ(w->GetImageAttribute(L"word"), nullptr);
    EXPECT_EQ(w->GetImageAttribute(L"none"), nullptr);
    EXPECT_EQ(w->FindScriptObject(L"who"), w);
    EXPECT_EQ(w->FindScriptObject(L"target"), ball);
    EXPECT_EQ(w->FindScriptObject(L"word"), nullptr);
    std::unique_ptr<EasingCurve> curve(w->GetCurveAttribute());
    EXPECT_FLOAT_EQ(curve->Evaluate(0.5f), 0.75f);
    ScriptValue value;
    EXPECT_TRUE(w->GetProperty(L"ball", value));  // variables after properties
    EXPECT_TRUE(w->GetProperty(L"opacity", value));
    EXPECT_FALSE(w->GetProperty(L"nothing", value));
    delete w;
}

TEST_F(AnimationWidgetTest, EmptyAnimationsCallsAndWhenDone) {
    ProbeWidget* w = AddProbe();
    w->PlayAnimationByName(L"empty");
    EXPECT_EQ(w->mEmptyPlays, 1);
    w->PlayAnimationByName(L"no_such_animation");
    EXPECT_EQ(w->mEmptyPlays, 2);
    w->CallAnimationByName(L"empty");
    EXPECT_EQ(w->mEmptyPlays, 3);
    EXPECT_TRUE(w->mCallStack.empty());

    w->mRuns.clear();
    w->CallAnimationByName(L"two_steps");  // finished script: starts at once
    EXPECT_EQ(w->mRuns, std::vector<bool>{false});
    ASSERT_NE(w->GetCurrentCommand(), nullptr);
    EXPECT_EQ(w->GetCurrentCommand()->mName, L"first");
    w->CallAnimationByName(L"readers");  // queued behind what is pending
    ASSERT_NE(w->GetCurrentCommand(), nullptr);
    EXPECT_EQ(w->GetCurrentCommand()->mName, L"first");
    ASSERT_EQ(w->mCallStack.size(), 1u);
    w->InsertAnimationByName(L"readers");  // runs before what is pending
    ASSERT_NE(w->GetCurrentCommand(), nullptr);
    EXPECT_EQ(w->GetCurrentCommand()->mName, L"probe");
    EXPECT_EQ(w->mCallStack.size(), 2u);
    w->StopAndEnd();
    EXPECT_TRUE(w->IsScriptFinished());
    EXPECT_TRUE(w->mParent);  // not made to be removed when done

    auto* leaving = new ProbeWidget(L"two_steps", 0.0f, 0.0f, true);
    mManager->AddWidget(leaving);
    leaving->StopAndEnd();
    EXPECT_EQ(leaving->mParent, nullptr);

    // A request made while the script runs waits for the script.
    auto* hiding = new ProbeWidget(L"two_steps", 0.0f, 0.0f, false);
    mManager->AddWidget(hiding);
    hiding->SetHideWhenDone(true);
    hiding->UpdateF(1.0f);
    EXPECT_TRUE(hiding->mVisible);
    hiding->StopScript();
    hiding->UpdateF(1.0f);
    EXPECT_FALSE(hiding->mVisible);
}

TEST_F(AnimationWidgetTest, ButtonActionsAndDoActionGoUpTheTree) {
    ProbeWidget* outer = AddProbe();
    auto* middle = new DynamicWidget(0.0f, 0.0f);
    outer->AddWidget(middle);
    ProbeWidget* inner = AddProbe(middle);
    inner->mRecordActions = false;  // passes actions up like the base
    ButtonAction action;
    action.mKind = ButtonAction::Action;
    action.mName = L"open";
    action.mParameter = L"map";
    action.mObject = 3;
    inner->SetButtonAction(42, action);
    inner->ButtonPress(42);  // acts on release by default
    EXPECT_TRUE(outer->mActions.empty());
    inner->ButtonDepress(42);
    EXPECT_EQ(outer->mActions, std::vector<std::wstring>{L"open/map/3"});
    EXPECT_EQ(inner->GetVariable(L"button_id").ToInt(), 42);
    EXPECT_EQ(inner->GetVariable(L"parameter").ToString(), L"map");
    EXPECT_EQ(inner->GetVariable(L"object").ToInt(), 3);

    action.mKind = ButtonAction::Launch;
    action.mName = L"two_steps";
    inner->SetButtonAction(43, action);
    inner->ButtonDepress(43);
    ASSERT_NE(inner->GetCurrentCommand(), nullptr);
    EXPECT_EQ(inner->GetCurrentCommand()->mName, L"first");
}

// --- Menus and the open-menu list ----------------------------------------------------

TEST_F(AnimationWidgetTest, OpenMenusTrackTheActiveOneAndFocusTheLastWhenItCloses) {
    auto* first = new Menu(nullptr, false, false);
    auto* second = new Menu(nullptr, true, false);
    mApp->AddDialog(first);
    mApp->AddDialog(second);
    EXPECT_EQ(mApp->GetOpenMenus().size(), 2u);
    EXPECT_EQ(mApp->GetActiveMenu(), second);
    EXPECT_TRUE(second->IsActive());
    EXPECT_FALSE(first->IsActive());
    EXPECT_TRUE(first->IsPaused());  // covered
    EXPECT_FALSE(second->IsPaused());

    second->RemoveSelf();
    EXPECT_EQ(mApp->GetOpenMenus(), std::vector<Menu*>{first});
    EXPECT_EQ(mApp->GetActiveMenu(), first);
    EXPECT_TRUE(first->IsActive());
    mHarness.RunSteps(1);

    mApp->CollectOpenMenus();
    auto* third = new Menu(nullptr, false, false);
    mApp->AddDialog(third);
    mApp->KillCollectedMenus();
    EXPECT_EQ(mApp->GetOpenMenus(), std::vector<Menu*>{third});
    EXPECT_EQ(mApp->GetActiveMenu(), third);
    third->RemoveSelf();
    mHarness.RunSteps(1);
    EXPECT_TRUE(mApp->GetOpenMenus().empty());
    EXPECT_EQ(mApp->GetActiveMenu(), nullptr);
}

}  // namespace
