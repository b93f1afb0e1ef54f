// The widget tree without an application: flags, ordering, changes during
// walks, deferred deletes, removal watchers, owning menus and pausing.
#include <gtest/gtest.h>

#include <algorithm>

#include "render/Graphics.h"
#include "tests/widgets/TreeTestWidgets.h"
#include "widgets/WidgetManager.h"

namespace {

class TreeTest : public ::testing::Test {
protected:
    void TearDown() override { ProcessOrphanWidgetDeletes(); }

    LogWidget* Make(const std::string& tag, int zOrder = 0) {
        auto* w = new LogWidget(&mLog, tag);
        w->mZOrder = zOrder;
        return w;
    }
    LogWidget* Add(WidgetContainer* parent, const std::string& tag, int zOrder = 0) {
        LogWidget* w = Make(tag, zOrder);
        parent->AddWidget(w);
        return w;
    }
    std::vector<std::string> Only(const std::string& suffix) const {
        std::vector<std::string> out;
        for (const std::string& s : mLog)
            if (s.size() > suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0)
                out.push_back(s);
        return out;
    }
    void Draw() {
        Graphics g;
        mManager.DrawToGraphics(g);
    }

    std::vector<std::string> mLog;
    WidgetManager mManager;
};

using Log = std::vector<std::string>;

TEST_F(TreeTest, RemoveMaskWinsOverParentAdd) {
    EXPECT_EQ(CombineWidgetFlags(0, WidgetFlags::Batch, WidgetFlags::Batch), 0);
    EXPECT_EQ(CombineWidgetFlags(WidgetFlags::Batch, 0, WidgetFlags::Batch), 0);

    LogWidget* parent = Add(&mManager, "p");
    parent->mAddMask = WidgetFlags::Batch;
    parent->mRemoveMask = WidgetFlags::Update;
    LogWidget* child = Add(parent, "c");
    child->mAddMask = WidgetFlags::Update;
    child->mRemoveMask = WidgetFlags::Batch;
    LogWidget* grand = Add(child, "g");
    grand->mAddMask = WidgetFlags::Update;
    grand->mRemoveMask = WidgetFlags::Update;

    int parentFlags = parent->EffectiveFlags(WidgetFlags::Default);
    EXPECT_EQ(parentFlags, (WidgetFlags::Default | WidgetFlags::Batch) & ~WidgetFlags::Update);
    int childFlags = child->EffectiveFlags(parentFlags);
    EXPECT_EQ(childFlags & WidgetFlags::Batch, 0);
    EXPECT_NE(childFlags & WidgetFlags::Update, 0);

    mManager.Update();
    EXPECT_EQ(parent->mUpdates, 0);  // its own remove mask
    EXPECT_EQ(child->mUpdates, 1);   // re-added by the child's add mask
    EXPECT_EQ(grand->mUpdates, 0);   // add and remove: remove wins

    // Without the draw flag neither the widget nor its subtree draws.
    parent->mRemoveMask = WidgetFlags::Draw;
    Draw();
    EXPECT_EQ(parent->mDraws, 0);
    EXPECT_EQ(child->mDraws, 0);
    child->mAddMask |= WidgetFlags::Draw;
    Draw();
    EXPECT_EQ(child->mDraws, 1);
    EXPECT_EQ(grand->mDraws, 1);

    // An invisible widget's subtree updates but does not draw.
    parent->SetVisible(false);
    mManager.Update();
    Draw();
    EXPECT_EQ(child->mUpdates, 2);
    EXPECT_EQ(child->mDraws, 1);
}

TEST_F(TreeTest, SiblingsOrderedBySecondPriorityKeepingInsertionOrder) {
    LogWidget* root = Add(&mManager, "root");
    LogWidget* a = Add(root, "a", 0);
    Add(root, "b", 1);
    LogWidget* c = Add(root, "c", 0);
    Add(root, "d", 1);
    LogWidget* e = Add(root, "e", -1);
    auto order = [&] {
        std::string s;
        for (Widget* w : root->GetWidgets()) s += static_cast<LogWidget*>(w)->mTag;
        return s;
    };
    EXPECT_EQ(order(), "eacbd");
    // The first priority does not order siblings.
    LogWidget* f = Make("f", 0);
    f->mPriority = 100;
    root->AddWidget(f);
    EXPECT_EQ(order(), "eacfbd");

    mLog.clear();
    Draw();
    EXPECT_EQ(Only(":draw"), (Log{"root:draw", "e:draw", "a:draw", "c:draw", "f:draw", "b:draw", "d:draw"}));

    a->mZOrder = 2;
    root->SortWidgets();
    EXPECT_EQ(order(), "ecfbda");
    root->BringToBack(a);
    EXPECT_EQ(order(), "aecfbd");
    root->BringToFront(e);
    EXPECT_EQ(order(), "acfbde");
    root->PutInFront(a, c);
    EXPECT_EQ(order(), "cafbde");
    root->PutBehind(e, c);
    EXPECT_EQ(order(), "ecafbd");
    // A widget that is not a child, or itself as the sibling, changes nothing.
    LogWidget* stranger = Make("x");
    root->PutBehind(stranger, c);
    root->PutInFront(c, c);
    root->BringToFront(stranger);
    EXPECT_EQ(order(), "ecafbd");
    delete stranger;
}

TEST_F(TreeTest, ChildrenAddedAndRemovedDuringUpdateOrWithTheirParent) {
    LogWidget* root = Add(&mManager, "root");
    LogWidget* a = Add(root, "a");
    LogWidget* b = Add(root, "b");
    LogWidget* c = Add(root, "c");
    WeakHandle<Widget> bHandle(b);
    LogWidget* added = nullptr;
    a->mOnUpdate = [&](LogWidget*) {
        if (added) return;
        root->RemoveWidget(b);
        added = Add(root, "d");
    };
    bool bAliveDuringStep = false;
    c->mOnUpdate = [&](LogWidget*) { bAliveDuringStep = bHandle.Get() != nullptr; };

    mManager.Update();
    EXPECT_EQ(Only(":update"), (Log{"root:update", "a:update", "c:update"}));
    EXPECT_TRUE(bAliveDuringStep);  // deleted only after the step
    EXPECT_EQ(bHandle.Get(), nullptr);

    mLog.clear();
    mManager.Update();
    EXPECT_EQ(Only(":update"), (Log{"root:update", "a:update", "c:update", "d:update"}));

    // A widget removing itself during the update takes its children along.
    Add(a, "child");
    Add(&mManager, "next");
    root->mOnUpdate = [](LogWidget* self) { self->RemoveSelf(); };
    mLog.clear();
    mManager.Update();
    EXPECT_EQ(Only(":update"), (Log{"root:update", "next:update"}));
    EXPECT_EQ(mManager.GetWidgetCount(), 1u);
}

TEST_F(TreeTest, ChildrenAddedAndRemovedDuringDraw) {
    LogWidget* root = Add(&mManager, "root");
    LogWidget* a = Add(root, "a");
    LogWidget* b = Add(root, "b");
    LogWidget* added = nullptr;
    a->mOnDraw = [&](LogWidget*) {
        if (added) return;
        root->RemoveWidget(b);
        added = Add(root, "c");
        root->BringToBack(added);
    };
    Draw();
    EXPECT_EQ(Only(":draw"), (Log{"root:draw", "a:draw"}));
    mLog.clear();
    Draw();
    EXPECT_EQ(Only(":draw"), (Log{"root:draw", "c:draw", "a:draw"}));
}

TEST_F(TreeTest, DetachKeepsTheWidgetAndReaddingCancelsADelete) {
    LogWidget* a = Add(&mManager, "a");
    LogWidget* b = Add(&mManager, "b");
    WeakHandle<Widget> aHandle(a), bHandle(b);

    a->DetachSelf();
    EXPECT_EQ(a->mParent, nullptr);
    EXPECT_FALSE(a->IsInManager());
    mManager.Update();
    ASSERT_NE(aHandle.Get(), nullptr);

    // Removed (flagged for deletion) and added back within one step: kept.
    mManager.RemoveWidget(b);
    EXPECT_TRUE(b->IsDeletePending());
    mManager.AddWidget(b);
    EXPECT_FALSE(b->IsDeletePending());
    mManager.Update();
    EXPECT_NE(bHandle.Get(), nullptr);

    // A widget not flagged is only let go.
    b->mDeleteWhenRemoved = false;
    mManager.RemoveWidget(b);
    mManager.Update();
    EXPECT_NE(bHandle.Get(), nullptr);
    delete a;
    delete b;
}

// Removing every child marks the whole subtree for deletion; deleting a
// container deletes its children, and only lets go of those not so flagged.
TEST_F(TreeTest, RemovingAllChildrenOrDeletingAContainerDeletesTheSubtree) {
    LogWidget* root = Add(&mManager, "root");
    LogWidget* a = Add(root, "a");
    a->mDeleteWhenRemoved = false;
    LogWidget* grand = Add(a, "g");
    WeakHandle<Widget> aHandle(a), gHandle(grand);
    root->RemoveAllWidgets();
    EXPECT_EQ(root->GetWidgetCount(), 0u);
    EXPECT_NE(aHandle.Get(), nullptr);
    mManager.Update();
    EXPECT_EQ(aHandle.Get(), nullptr);
    EXPECT_EQ(gHandle.Get(), nullptr);

    LogWidget* b = Add(root, "b");
    LogWidget* kept = Add(root, "kept");
    kept->mDeleteWhenRemoved = false;
    WeakHandle<Widget> bHandle(b);
    delete root;  // deleted while in the tree: leaves it quietly
    EXPECT_EQ(mManager.GetWidgetCount(), 0u);
    EXPECT_EQ(bHandle.Get(), nullptr);
    EXPECT_EQ(kept->mParent, nullptr);
    EXPECT_FALSE(kept->IsInManager());
    delete kept;
}

TEST_F(TreeTest, RemoveRequestedBeforeTheAddIsKeptForTheWidgetsHooks) {
    LogWidget* a = Make("a");
    a->RemoveSelf();  // not in a tree yet: only the flag
    EXPECT_TRUE(a->mRemoveRequested);
    bool seen = false;
    a->mOnUpdate = [&](LogWidget* self) { seen = self->mRemoveRequested; };
    mManager.AddWidget(a);
    mManager.Update();
    EXPECT_TRUE(seen);
}

TEST_F(TreeTest, AWidgetCannotBecomeItsOwnDescendant) {
    LogWidget* a = Add(&mManager, "a");
    LogWidget* b = Add(a, "b");
    b->AddWidget(a);
    a->AddWidget(a);
    EXPECT_EQ(a->mParent, &mManager);
    EXPECT_EQ(b->mParent, a);
}

class Watcher : public RemovalListener {
public:
    void WidgetRemoved(int id) override { mRemoved.push_back(id); }
    std::vector<int> mRemoved;
};

TEST_F(TreeTest, RemovalWatcherHearsRemovalsAndLinksAreUndoneFromBothSides) {
    LogWidget* a = Add(&mManager, "a");
    LogWidget* b = Add(&mManager, "b");
    Watcher first;
    {
        Watcher second;
        first.WatchWidget(a);
        second.WatchWidget(a);  // moves: one watcher per widget
        EXPECT_FALSE(first.IsWatching(a));
        EXPECT_TRUE(second.IsWatching(a));
        second.WatchWidget(a);
        EXPECT_EQ(a->GetRemovalListener(), &second);
    }
    EXPECT_EQ(a->GetRemovalListener(), nullptr);  // the watcher went

    first.WatchWidget(a);
    first.WatchWidget(b);
    a->DetachSelf();  // detaching is not a removal
    EXPECT_TRUE(first.mRemoved.empty());
    mManager.AddWidget(a);
    int aId = a->mId;
    a->RemoveSelf();
    EXPECT_EQ(first.mRemoved, std::vector<int>{aId});
    mManager.Update();  // a is deleted: it unlinks itself from the watcher
    EXPECT_TRUE(first.IsWatching(b));
    delete b;  // deleted directly, while watched and in the tree
    EXPECT_EQ(first.mRemoved.size(), 1u);
}

class Listener : public AnimationListener {};

TEST_F(TreeTest, AnimationListenerLinksUndoneFromBothSides) {
    LogWidget* a = Make("a");
    auto* listener = new Listener();
    listener->WatchWidget(a);
    EXPECT_EQ(a->mAnimationListener, listener);
    Listener other;
    other.WatchWidget(a);
    EXPECT_FALSE(listener->IsWatching(a));
    EXPECT_EQ(a->mAnimationListener, &other);
    listener->WatchWidget(a);
    delete listener;
    EXPECT_EQ(a->mAnimationListener, nullptr);
    other.WatchWidget(a);
    delete a;  // must leave the listener's set: `other` walks it when it goes
}

TEST_F(TreeTest, OwningMenuComesFromTheParent) {
    // Menus live in the screens layer; the tree only passes the pointer on.
    int tokens[2];
    Menu* outer = reinterpret_cast<Menu*>(&tokens[0]);
    Menu* inner = reinterpret_cast<Menu*>(&tokens[1]);
    LogWidget* menu = Make("menu");
    menu->mMenu = outer;
    menu->mIsMenuRoot = true;
    LogWidget* child = Make("child");
    LogWidget* grand = Make("grand");
    child->AddWidget(grand);
    menu->AddWidget(child);
    EXPECT_EQ(child->mMenu, outer);
    EXPECT_EQ(grand->mMenu, outer);

    LogWidget* nested = Make("nested");
    nested->mMenu = inner;
    nested->mIsMenuRoot = true;
    LogWidget* nestedChild = Make("nc");
    nested->AddWidget(nestedChild);
    child->AddWidget(nested);
    EXPECT_EQ(nested->mMenu, inner);
    EXPECT_EQ(nestedChild->mMenu, inner);

    // Moved under a widget without a menu: none.
    grand->DetachSelf();
    mManager.AddWidget(grand);
    EXPECT_EQ(grand->mMenu, nullptr);
    delete menu;
}

class PausingWidget : public LogWidget {
public:
    using LogWidget::LogWidget;
    bool IsPaused() override { return mPaused; }
    bool mPaused = false;
};

TEST_F(TreeTest, PauseOwnerStopsUpdatesOfPresentAndFutureDescendants) {
    auto* owner = new PausingWidget(&mLog, "owner");
    owner->SetPauseOwner(owner, false);
    LogWidget* before = Add(owner, "before");
    mManager.AddWidget(owner);
    LogWidget* after = Add(owner, "after");
    LogWidget* grand = Add(after, "grand");

    owner->mPaused = true;
    mManager.Update();
    mManager.UpdateF(0.5f);
    EXPECT_EQ(owner->mUpdates + before->mUpdates + after->mUpdates + grand->mUpdates, 0);
    EXPECT_EQ(grand->mUpdateFs, 0);
    owner->mPaused = false;
    mManager.Update();
    mManager.UpdateF(0.5f);
    EXPECT_EQ(grand->mUpdates, 1);
    EXPECT_EQ(grand->mUpdateFs, 1);
    EXPECT_FLOAT_EQ(grand->mLastF, 0.5f);

    // A widget with its own owner keeps it unless forced.
    auto* other = new PausingWidget(&mLog, "other");
    other->mPaused = true;
    LogWidget* own = Make("own");
    own->SetPauseOwner(other, false);
    owner->AddWidget(own);
    EXPECT_EQ(own->GetPauseOwner(), other);
    owner->SetPauseOwner(owner, true);
    EXPECT_EQ(own->GetPauseOwner(), owner);
    delete other;

    // A nested owner keeps its subtree, also for children added later.
    auto* nested = new PausingWidget(&mLog, "nested");
    nested->SetPauseOwner(nested, false);
    owner->AddWidget(nested);
    EXPECT_EQ(nested->GetPauseOwner(), nested);
    LogWidget* late = Add(nested, "late");
    EXPECT_EQ(late->GetPauseOwner(), nested);
}

TEST_F(TreeTest, RectanglesConvertThroughEveryAncestor) {
    LogWidget* a = Add(&mManager, "a");
    a->Move(100, 50);
    LogWidget* b = Add(a, "b");
    b->Move(10.5f, 20);
    LogWidget* c = Add(b, "c");
    c->Move(1, 2);
    FRect local(3, 4, 5, 6);
    EXPECT_EQ(c->LocalToParentRect(local), FRect(4, 6, 5, 6));
    FRect screen = c->LocalToScreenRect(local);
    EXPECT_EQ(screen, FRect(114.5f, 76, 5, 6));
    EXPECT_EQ(c->ScreenToLocalRect(screen), local);
    EXPECT_EQ(c->LocalToScreenRect(Rect(0, 0, 1, 1)), Rect(111, 72, 1, 1));
}

// Overlays follow their own screen (top-level widget) in priority order, so
// a screen opened above covers them too.
TEST_F(TreeTest, OverlaysAreDrawnAfterTheirScreenInPriorityOrder) {
    LogWidget* screen = Add(&mManager, "screen");
    LogWidget* a = Add(screen, "a");
    LogWidget* b = Add(screen, "b");
    Add(&mManager, "c");
    a->mOnDraw = [](LogWidget* w) { w->DeferOverlay(5); };
    b->mOnDraw = [](LogWidget* w) { w->DeferOverlay(-1); };
    mLog.clear();
    Draw();
    EXPECT_EQ(mLog, (Log{"screen:draw", "a:draw", "b:draw", "b:overlay", "a:overlay", "c:draw"}));
    // Overlays are asked for each frame.
    a->mOnDraw = nullptr;
    b->mOnDraw = nullptr;
    mLog.clear();
    Draw();
    EXPECT_EQ(mLog, (Log{"screen:draw", "a:draw", "b:draw", "c:draw"}));
}

TEST_F(TreeTest, ManagerHooksRunForTheWholeSubtree) {
    LogWidget* a = Make("a");
    LogWidget* b = Make("b");
    a->AddWidget(b);
    mManager.AddWidget(a);
    EXPECT_EQ(mLog, (Log{"a:added", "b:added"}));
    EXPECT_EQ(b->mWidgetManager, &mManager);
    mLog.clear();
    a->DetachSelf();
    EXPECT_EQ(mLog, (Log{"a:removed", "b:removed"}));
    EXPECT_EQ(b->mWidgetManager, nullptr);
    // A child added to a widget already in the tree hears it once.
    mManager.AddWidget(a);
    mLog.clear();
    Add(a, "c");
    EXPECT_EQ(mLog, (Log{"c:added"}));
}

}  // namespace
