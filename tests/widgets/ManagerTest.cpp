// The widget manager inside the running application: real input events
// through the main loop, focus, the modal base, click listeners, the dialog
// registry with its deferred deletes, the board and the cursor widget.
#include <gtest/gtest.h>

#include "data/BasicPlayerState.h"
#include "tests/support/WidgetQueries.h"
#include "tests/widgets/TreeTestWidgets.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/Board.h"

namespace {

using Log = std::vector<std::string>;

class WidgetTestApp : public TestGameApp {
public:
    void DialogAddedHook(Widget* dialog) override { mAdded.push_back(dialog); }
    void DialogRemovedHook(Widget* dialog) override { mRemoved.push_back(dialog); }
    std::vector<Widget*> mAdded;
    std::vector<Widget*> mRemoved;
};

class ManagerTest : public WidgetAppTest<WidgetTestApp> {
protected:
    LogWidget* Add(const std::string& tag, int x, int y, int w, int h) {
        auto* widget = new LogWidget(&mLog, tag, static_cast<float>(x), static_cast<float>(y), w, h);
        mManager->AddWidget(widget);
        return widget;
    }
    Log Input() const {
        Log out;
        for (const std::string& s : mLog)
            if (s.find(":update") == std::string::npos && s.find(":draw") == std::string::npos &&
                s.find(":added") == std::string::npos)
                out.push_back(s);
        return out;
    }

    Log mLog;
};

TEST_F(ManagerTest, PressDragOutAndReleaseReachThePressedWidget) {
    LogWidget* a = Add("a", 100, 100, 200, 100);
    mHarness.MouseMove(150, 120);
    mHarness.MouseDown(150, 120);
    EXPECT_TRUE(a->mIsDown);
    EXPECT_EQ(mManager->GetPressedWidget(), a);
    mHarness.MouseMove(400, 400);
    EXPECT_TRUE(a->mIsDown);  // still held, outside
    EXPECT_FALSE(a->mIsOver);
    mHarness.MouseUp(400, 400);
    EXPECT_FALSE(a->mIsDown);
    EXPECT_EQ(Input(), (Log{"a:enter", "a:move 50,20", "a:down 50,20 1", "a:leave", "a:drag 300,300",
                            "a:up 300,300 1"}));
}

TEST_F(ManagerTest, RightButtonGivesNegativeClickCounts) {
    Add("a", 0, 0, 100, 100);
    for (auto [button, clicks] : {std::pair{MouseButton::Right, 1}, std::pair{MouseButton::Right, 2},
                                  std::pair{MouseButton::Middle, 1}, std::pair{MouseButton::Left, 2}}) {
        mHarness.MouseDown(10, 10, button, clicks);
        mHarness.MouseUp(10, 10, button);
    }
    Log downs, ups;
    for (const std::string& s : mLog) {
        if (s.rfind("a:down", 0) == 0) downs.push_back(s);
        if (s.rfind("a:up ", 0) == 0) ups.push_back(s);
    }
    EXPECT_EQ(downs, (Log{"a:down 10,10 -1", "a:down 10,10 -2", "a:down 10,10 3", "a:down 10,10 2"}));
    EXPECT_EQ(ups, (Log{"a:up 10,10 -1", "a:up 10,10 -1", "a:up 10,10 3", "a:up 10,10 1"}));
}

TEST_F(ManagerTest, InputGoesToTheTopmostWidgetThatTakesTheMouse) {
    LogWidget* back = Add("back", 0, 0, 500, 500);
    LogWidget* child = new LogWidget(&mLog, "child", 10, 10, 50, 50);
    back->AddWidget(child);
    LogWidget* front = Add("front", 0, 0, 30, 30);

    EXPECT_EQ(MouseWidgetAt(mHarness, 20, 20), front);
    EXPECT_EQ(MouseWidgetAt(mHarness, 40, 40), child);
    EXPECT_EQ(MouseWidgetAt(mHarness, 100, 100), back);
    EXPECT_EQ(MouseWidgetAt(mHarness, 600, 600), nullptr);

    front->mMouseVisible = false;  // passes the mouse through, still drawn
    EXPECT_EQ(MouseWidgetAt(mHarness, 20, 20), child);
    EXPECT_EQ(VisibleWidgetAt(mHarness, 20, 20), front);
    child->SetDisabled(true);
    EXPECT_EQ(MouseWidgetAt(mHarness, 20, 20), back);
    back->mRemoveMask = WidgetFlags::AllowMouse;
    EXPECT_EQ(MouseWidgetAt(mHarness, 20, 20), nullptr);
    back->mRemoveMask = 0;
    back->mClip = true;
    child->SetDisabled(false);
    child->Move(480, 10);  // half outside its clipping parent
    EXPECT_EQ(MouseWidgetAt(mHarness, 490, 20), child);
    EXPECT_EQ(MouseWidgetAt(mHarness, 510, 20), nullptr);
}

TEST_F(ManagerTest, AWidgetMovingUnderAStillPointerIsEnteredAfterTheStep) {
    LogWidget* a = Add("a", 300, 300, 50, 50);
    EXPECT_EQ(mManager->GetPointerPosition(0), Point(0, 0));  // the origin until seen
    mHarness.MouseMove(10, 10);
    EXPECT_EQ(mManager->GetPointerPosition(0), Point(10, 10));
    EXPECT_EQ(mManager->GetPointerPosition(7), Point(0, 0));
    EXPECT_EQ(mManager->GetOverWidget(), nullptr);
    a->Move(0, 0);
    mHarness.RunSteps(1);
    EXPECT_EQ(mManager->GetOverWidget(), a);
    EXPECT_TRUE(a->mIsOver);
    a->Move(300, 300);
    mHarness.RunSteps(1);
    EXPECT_FALSE(a->mIsOver);
    EXPECT_EQ(Input(), (Log{"a:enter", "a:leave"}));
}

TEST_F(ManagerTest, APointerThatLeftTheWindowIsOverNothingUntilItComesBack) {
    LogWidget* a = Add("a", 0, 0, 50, 50);
    mHarness.MouseMove(10, 10);
    EXPECT_TRUE(a->mIsOver);
    InputEvent leave;
    leave.type = InputEvent::MouseLeaveWindow;
    mHarness.Push(leave);
    mHarness.RunSteps(1);
    EXPECT_FALSE(a->mIsOver);
    // Something moving in the window does not bring the hover back.
    a->Move(1, 1);
    mHarness.RunSteps(3);
    EXPECT_FALSE(a->mIsOver);
    EXPECT_EQ(mManager->GetOverWidget(), nullptr);
    mHarness.MouseMove(12, 12);
    EXPECT_TRUE(a->mIsOver);
    EXPECT_EQ(Input(), (Log{"a:enter", "a:move 10,10", "a:leave", "a:enter", "a:move 11,11"}));
}

TEST_F(ManagerTest, KeysAndCharactersGoToTheFocus) {
    LogWidget* a = Add("a", 0, 0, 10, 10);
    LogWidget* b = Add("b", 20, 0, 10, 10);
    mHarness.PressKey('x');  // no focus: nowhere
    mManager->SetFocus(a);
    mHarness.KeyDown('q');
    mHarness.TypeText(L"z");
    mManager->SetFocus(b);
    mHarness.KeyDown(KeyCode::Return);  // Enter is a character too
    EXPECT_EQ(Input(), (Log{"a:focus", "a:key 113", "a:char 122", "a:blur", "b:focus", "b:key 13", "b:char 13"}));
    EXPECT_TRUE(b->mHasFocus);
    EXPECT_FALSE(a->mHasFocus);
}

TEST_F(ManagerTest, WidgetsBelowTheModalBaseGetNoInput) {
    LogWidget* below = Add("below", 0, 0, 500, 500);
    LogWidget* dialog = new LogWidget(&mLog, "dialog", 100, 100, 100, 100);
    dialog->mModal = true;
    mApp->AddDialog(dialog);
    EXPECT_EQ(mManager->GetModalBase(), dialog);
    ASSERT_EQ(mApp->mAdded.size(), 1u);
    EXPECT_EQ(mManager->GetFocus(), dialog);

    EXPECT_EQ(MouseWidgetAt(mHarness, 10, 10), nullptr);
    EXPECT_EQ(MouseWidgetAt(mHarness, 150, 150), dialog);
    EXPECT_EQ(VisibleWidgetAt(mHarness, 10, 10), below);  // still drawn
    mManager->SetFocus(below);
    mLog.clear();
    mHarness.KeyDown('k');
    mHarness.Click(10, 10);
    EXPECT_EQ(Input(), Log{});

    EXPECT_TRUE(mApp->KillDialogWidget(dialog));
    ASSERT_EQ(mApp->mRemoved.size(), 1u);
    EXPECT_EQ(mManager->GetModalBase(), nullptr);
    mHarness.KeyDown('k');
    EXPECT_EQ(Input(), (Log{"dialog:removed", "below:enter", "below:key 107"}));
}

class Clicks : public ClickListener {
public:
    explicit Clicks(Log* log) : mLog(log) {}
    void GlobalMouseDown(int x, int y, int count) override {
        mLog->push_back("global " + LogWidget::Pos(x, y) + " " + std::to_string(count));
    }
    void GlobalMouseDownAfter(int, int, int) override { mLog->push_back("after"); }
    Log* mLog;
};

TEST_F(ManagerTest, ClickListenersHearEveryPressAroundItsDispatch) {
    Add("a", 0, 0, 100, 100);
    auto* clicks = new Clicks(&mLog);
    mManager->AddClickListener(clicks);
    mManager->AddClickListener(clicks);  // once only
    mHarness.MouseDown(5, 6, MouseButton::Right);
    mHarness.MouseUp(5, 6, MouseButton::Right);
    mHarness.MouseDown(500, 500);  // on nothing: still heard
    mHarness.MouseUp(500, 500);
    Log expected{"global 5,6 -1", "a:enter", "a:down 5,6 -1", "after", "a:up 5,6 -1",
                 "global 500,500 1", "a:leave", "after"};
    EXPECT_EQ(Input(), expected);

    mManager->RemoveClickListener(clicks);
    mLog.clear();
    mHarness.MouseDown(500, 500);
    mHarness.MouseUp(500, 500);
    EXPECT_EQ(Input(), Log{});
    // A listener destroyed while registered is forgotten, not called.
    mManager->AddClickListener(clicks);
    delete clicks;
    mHarness.MouseDown(500, 500);
    mHarness.MouseUp(500, 500);
    EXPECT_EQ(Input(), Log{});
}

// The focus, the widgets under and pressed by the pointer and the cursor
// widget are forgotten when they are deleted.
TEST_F(ManagerTest, RememberedWidgetsThatAreDeletedAreForgotten) {
    LogWidget* a = Add("a", 0, 0, 100, 100);
    mManager->SetFocus(a);
    mHarness.MouseMove(10, 10);
    mHarness.MouseDown(10, 10);
    delete a;  // focus, over and pressed widget at once
    EXPECT_EQ(mManager->GetFocus(), nullptr);
    EXPECT_EQ(mManager->GetPressedWidget(), nullptr);
    mHarness.MouseMove(20, 20);
    mHarness.MouseUp(20, 20);
    mHarness.PressKey('a');
    mHarness.RunSteps(2);
    EXPECT_EQ(mManager->GetOverWidget(), nullptr);

    auto* cursor = new LogWidget(&mLog, "cursor", -2, -2, 8, 8);
    mApp->SetCursorImage(cursor);
    EXPECT_EQ(mApp->GetCursorImage(), cursor);
    mHarness.MouseMove(50, 50);
    mHarness.RunSteps(2);
    delete cursor;
    EXPECT_EQ(mApp->GetCursorImage(), nullptr);
    mHarness.RunSteps(2);
    mApp->SetCursorImage(nullptr);
}

TEST_F(ManagerTest, KilledDialogIsDeletedOnlyAfterTheUpdate) {
    LogWidget* dialog = new LogWidget(&mLog, "d", 0, 0, 10, 10);
    mApp->AddDialog(dialog);
    int id = dialog->mId;
    WeakHandle<Widget> handle(dialog);
    LogWidget* killer = Add("killer", 0, 0, 1, 1);
    LogWidget* later = Add("later", 0, 0, 1, 1);
    bool killed = false, aliveAfterKill = false, aliveLaterInStep = false;
    killer->mOnUpdate = [&](LogWidget*) {
        if (killed) return;
        killed = mApp->KillDialogWidget(dialog);
        aliveAfterKill = handle.Get() != nullptr;
    };
    later->mOnUpdate = [&](LogWidget*) {
        if (killed && !aliveLaterInStep) aliveLaterInStep = handle.Get() != nullptr;
    };
    mHarness.RunSteps(1);
    EXPECT_TRUE(killed);
    EXPECT_TRUE(aliveAfterKill);
    EXPECT_TRUE(aliveLaterInStep);
    EXPECT_EQ(handle.Get(), nullptr);
    EXPECT_EQ(mApp->GetDialogCount(), 0u);
    EXPECT_EQ(mApp->GetDialog(id), nullptr);
}

TEST_F(ManagerTest, DialogReaddedUnderItsOwnIdStays) {
    LogWidget* dialog = new LogWidget(&mLog, "d", 0, 0, 10, 10);
    dialog->mModal = true;
    WeakHandle<Widget> handle(dialog);
    mApp->AddDialog(dialog);
    mApp->AddDialog(dialog);
    mApp->AddDialogWithId(dialog->mId, dialog);
    EXPECT_EQ(mApp->GetDialogCount(), 1u);
    EXPECT_FALSE(dialog->IsDeletePending());
    EXPECT_TRUE(mApp->mRemoved.empty());
    mHarness.RunSteps(3);
    ASSERT_NE(handle.Get(), nullptr);
    EXPECT_EQ(dialog->mParent, mManager);
    EXPECT_EQ(mManager->GetModalBase(), dialog);

    // Another widget under the same id replaces it; the old one goes.
    LogWidget* other = new LogWidget(&mLog, "o", 0, 0, 10, 10);
    mApp->AddDialogWithId(dialog->mId, other);
    EXPECT_EQ(mApp->GetDialog(other->mId), other);
    EXPECT_EQ(mApp->mRemoved.size(), 1u);
    mHarness.RunSteps(1);
    EXPECT_EQ(handle.Get(), nullptr);
}

TEST_F(ManagerTest, UnknownDialogsChangeNothingAndAKillWithoutRemoveOnlyUnregisters) {
    LogWidget* dialog = new LogWidget(&mLog, "d", 0, 0, 10, 10);
    mApp->AddDialog(dialog);
    size_t top = mManager->GetWidgetCount();
    EXPECT_FALSE(mApp->KillDialog(dialog->mId + 1000));
    EXPECT_FALSE(mApp->KillDialogEx(-5, true, true));
    EXPECT_FALSE(mApp->KillDialogWidget(nullptr));
    LogWidget stranger(&mLog, "s");
    EXPECT_FALSE(mApp->KillDialogWidget(&stranger));
    EXPECT_EQ(mApp->GetDialogCount(), 1u);
    EXPECT_EQ(mManager->GetWidgetCount(), top);
    EXPECT_EQ(mApp->GetDialog(dialog->mId), dialog);
    EXPECT_FALSE(dialog->IsDeletePending());

    EXPECT_TRUE(mApp->KillDialogEx(dialog->mId, false, false));
    mHarness.RunSteps(2);
    EXPECT_EQ(dialog->mParent, mManager);
    EXPECT_EQ(mApp->GetDialogCount(), 0u);
    // Removed but not deleted: the caller keeps it.
    mApp->AddDialog(dialog);
    EXPECT_TRUE(mApp->KillDialogEx(dialog->mId, true, false));
    mHarness.RunSteps(2);
    EXPECT_EQ(dialog->mParent, nullptr);
    EXPECT_FALSE(dialog->IsDeletePending());
    delete dialog;
}

class CountingBoard : public Board {
public:
    void Start() override { ++mStarts; }
    int mStarts = 0;
};

TEST_F(ManagerTest, BoardStartsWhenAddedAndCountsPlayTime) {
    BasicPlayerState player;
    player.mMinutes = 59;
    player.MakeCurrent();
    auto* board = new CountingBoard();
    EXPECT_EQ(board->mWidth, 1024);
    EXPECT_EQ(board->mHeight, 768);
    mManager->AddWidget(board);
    EXPECT_EQ(board->mStarts, 1);
    mHarness.RunSteps(Board::kUpdatesPerMinute - 1);
    EXPECT_EQ(player.mCentiseconds, Board::kUpdatesPerMinute - 1);
    EXPECT_EQ(player.mMinutes, 59);
    mHarness.RunSteps(1);
    EXPECT_EQ(player.mCentiseconds, 0);
    EXPECT_EQ(player.mMinutes, 0);
    EXPECT_EQ(player.mHours, 1);
    // Paused: the clock stands.
    mApp->mPauseCount = 1;
    mHarness.RunSteps(10);
    EXPECT_EQ(player.mCentiseconds, 0);
    mApp->mPauseCount = 0;
    mHarness.RunSteps(10);
    EXPECT_EQ(player.mCentiseconds, 10);
}

}  // namespace
