#include <gtest/gtest.h>

#include <thread>

#include "data/Animation.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/AnimationWidget.h"
#include "widgets/Controller.h"
#include "widgets/EditWidget.h"

// How long a still screen may sleep through update steps: each widget says
// how many coming steps may run late, the tree and the application take the
// fewest.

namespace {

constexpr int kNone = Widget::kNothingDue;

class DueApp : public TestGameApp {
public:
    using GameApp::StepsUntilDue;
};

class StepsDueTest : public WidgetAppTest<DueApp> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WidgetAppTest::SetUp());
        AnimationTable table;
        auto add = [&](const std::wstring& name, std::map<std::wstring, std::wstring> wait) {
            AnimationCommand command;
            command.mName = L"wait-for";
            for (const auto& [key, text] : wait) command.SetAttribute(key, text);
            table[name].mName = name;
            table[name].mCommands = {command};
        };
        add(L"timed", {{L"time", L"300"}});
        add(L"polled", {{L"cond", L"go"}, {L"time", L"300"}});
        PublishAnimations(std::move(table));
    }
    void TearDown() override {
        PublishAnimations({});
        WidgetAppTest::TearDown();
    }
    template <class W>
    W* Add(W* widget) {
        mManager->AddWidget(widget);
        return widget;
    }
};

}  // namespace

TEST_F(StepsDueTest, EachWidgetSaysWhatItNeedsOnTime) {
    EXPECT_EQ(mManager->StepsUntilDue(), kNone);  // an empty screen
    auto* still = Add(new DynamicWidget(0.0f, 0.0f));
    EXPECT_EQ(still->StepsUntilDue(), kNone);
    still->StartBlinking(0, 3, 10);
    EXPECT_EQ(still->StepsUntilDue(), 0);

    auto* timed = Add(new AnimationWidget(L"timed", 0.0f, 0.0f, false));
    EXPECT_EQ(timed->StepsUntilDue(), 299);  // the 300th step ends the wait
    mHarness.RunSteps(100);
    EXPECT_EQ(timed->StepsUntilDue(), 199);
    EXPECT_EQ(Add(new AnimationWidget(L"polled", 0.0f, 0.0f, false))->StepsUntilDue(), 0);

    auto* edit = Add(new EditWidget(nullptr));
    EXPECT_EQ(edit->StepsUntilDue(), kNone);
    mManager->SetFocus(edit);
    mHarness.RunSteps(9);
    EXPECT_EQ(edit->StepsUntilDue(), 40);  // the caret blinks every 50 steps
}

TEST_F(StepsDueTest, TheTreeAndTheApplicationTakeTheFewest) {
    auto* parent = Add(new DynamicWidget(0.0f, 0.0f));
    auto* child = new DynamicWidget(0.0f, 0.0f);
    parent->AddWidget(child);
    parent->AddWidget(new AnimationWidget(L"timed", 0.0f, 0.0f, false));
    EXPECT_EQ(mManager->StepsUntilDue(), 299);
    child->AddController(
        new Propeller(nullptr, child, L"spin", 1.0f, 0.0f, {{&child->mX, 1.0f}}, 1));
    EXPECT_EQ(mManager->StepsUntilDue(), 0);
    child->StopAllControllers();
    EXPECT_EQ(mApp->StepsUntilDue(), 299);
    // Queued input and calls from other threads are handled at the next step.
    mHarness.Push(InputEvent{});
    EXPECT_EQ(mApp->StepsUntilDue(), 0);
    mHarness.DrainInput();
    std::thread([&] { mApp->RunOnMainThread([] {}); }).join();
    EXPECT_EQ(mApp->StepsUntilDue(), 0);
    mHarness.RunSteps(1);
    EXPECT_EQ(mApp->StepsUntilDue(), 298);
    Add(new Widget());  // a widget that says nothing is stepped on time
    EXPECT_EQ(mManager->StepsUntilDue(), 0);
}
