#include "widgets/WidgetContainer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "render/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

// Walks visit a copy of the child list, so children may be added, removed or
// reordered by the hooks being called. The copies come from a pool indexed by
// walk depth, which stops allocating once the deepest walk has been seen.
class WidgetContainer::WalkSnapshot {
public:
    explicit WalkSnapshot(const std::vector<Widget*>& children) {
        if (sDepth == sPool.size()) sPool.push_back(std::make_unique<std::vector<Widget*>>());
        mList = sPool[sDepth].get();
        ++sDepth;
        mList->assign(children.begin(), children.end());
    }
    ~WalkSnapshot() {
        mList->clear();
        --sDepth;
    }
    WalkSnapshot(const WalkSnapshot&) = delete;
    WalkSnapshot& operator=(const WalkSnapshot&) = delete;

    std::vector<Widget*>& List() { return *mList; }

private:
    std::vector<Widget*>* mList;
    static inline thread_local std::vector<std::unique_ptr<std::vector<Widget*>>> sPool;
    static inline thread_local size_t sDepth = 0;
};

WidgetContainer::~WidgetContainer() {
    // Widgets and the manager settle their children earlier; a bare
    // container does it here.
    ReleaseChildren();
}

void WidgetContainer::ReleaseChildren() {
    // Children flagged for deletion go with their parent; the others are
    // only let go (out of the tree with it).
    std::vector<Widget*> children;
    children.swap(mWidgets);
    for (Widget* child : children) {
        child->mParent = nullptr;
        if (child->mDeleteWhenRemoved && !child->mDeletePending) {
            delete child;
            continue;
        }
        std::vector<Widget*> stack{child};
        while (!stack.empty()) {
            Widget* w = stack.back();
            stack.pop_back();
            w->mWidgetManager = nullptr;
            stack.insert(stack.end(), w->mWidgets.begin(), w->mWidgets.end());
        }
    }
}

bool WidgetContainer::HasWidget(const Widget* widget) const {
    return widget && widget->mParent == this;
}

void WidgetContainer::AddWidget(Widget* widget) {
    if (!widget || widget == this || widget->mParent == this) return;
    // A container cannot become its own descendant.
    for (const WidgetContainer* c = this; c; c = c->mParent)
        if (c == widget) return;
    if (widget->mParent) widget->DetachSelf();
    if (widget->mDeletePending) CancelWidgetDelete(widget);

    // After the last sibling of lower or equal priority: equal priorities
    // keep their insertion order.
    auto it = mWidgets.end();
    while (it != mWidgets.begin() && (*(it - 1))->mZOrder > widget->mZOrder) --it;
    mWidgets.insert(it, widget);
    // A remove-requested flag set before the add stays: the widget's own
    // AddedToManager may act on it.
    widget->mParent = this;

    if (Widget* owner = mChildPauseOwner.Get()) widget->SetPauseOwner(owner, false);
    widget->SetOwningMenu(ChildMenu());
    if (mWidgetManager) mWidgetManager->WidgetAdded(widget);
}

bool WidgetContainer::UnlinkChild(Widget* widget) {
    auto it = std::find(mWidgets.begin(), mWidgets.end(), widget);
    if (it == mWidgets.end()) return false;
    mWidgets.erase(it);
    return true;
}

void WidgetContainer::RemoveWidget(Widget* widget) {
    if (!widget || widget->mParent != this) return;
    WidgetManager* manager = widget->mWidgetManager;
    UnlinkChild(widget);
    widget->mParent = nullptr;
    if (manager) manager->WidgetRemoved(widget);
    widget->RemovedFromParent(this);
    if (RemovalListener* listener = widget->GetRemovalListener()) listener->WidgetRemoved(widget->mId);
    if (widget->mDeleteWhenRemoved && !widget->mParent) DeferWidgetDelete(widget);
}

void WidgetContainer::RemoveAllWidgets() {
    WalkSnapshot snapshot(mWidgets);
    for (Widget* child : snapshot.List()) {
        if (child->mParent != this) continue;
        child->mDeleteWhenRemoved = true;
        RemoveWidget(child);
    }
}

void WidgetContainer::SortWidgets() {
    std::stable_sort(mWidgets.begin(), mWidgets.end(),
                     [](const Widget* a, const Widget* b) { return a->mZOrder < b->mZOrder; });
    MarkOrderChanged();
}

void WidgetContainer::MarkOrderChanged() {
    // A new order shows only within this container.
    if (!mWidgetManager) return;
    if (auto* widget = dynamic_cast<Widget*>(this)) mWidgetManager->MarkWidgetDirty(widget);
    else mWidgetManager->MarkDirty();
}

void WidgetContainer::BringToFront(Widget* child) {
    if (!UnlinkChild(child)) return;
    mWidgets.push_back(child);
    MarkOrderChanged();
}

void WidgetContainer::BringToBack(Widget* child) {
    if (!UnlinkChild(child)) return;
    mWidgets.insert(mWidgets.begin(), child);
    MarkOrderChanged();
}

void WidgetContainer::PutInFront(Widget* widget, Widget* sibling) {
    if (!widget || widget == sibling || !HasWidget(sibling) || !UnlinkChild(widget)) return;
    auto it = std::find(mWidgets.begin(), mWidgets.end(), sibling);
    mWidgets.insert(it + 1, widget);
    MarkOrderChanged();
}

void WidgetContainer::PutBehind(Widget* widget, Widget* sibling) {
    if (!widget || widget == sibling || !HasWidget(sibling) || !UnlinkChild(widget)) return;
    auto it = std::find(mWidgets.begin(), mWidgets.end(), sibling);
    mWidgets.insert(it, widget);
    MarkOrderChanged();
}


// --- Geometry ------------------------------------------------------------------

FPoint WidgetContainer::LocalToParentPoint(float x, float y) const { return FPoint(x + mX, y + mY); }

FPoint WidgetContainer::ParentToLocalPoint(float x, float y) const { return FPoint(x - mX, y - mY); }

FPoint WidgetContainer::LocalToScreenPoint(float x, float y) const {
    FPoint p(x, y);
    for (const WidgetContainer* c = this; c; c = c->mParent) p = c->LocalToParentPoint(p.mX, p.mY);
    return p;
}

FPoint WidgetContainer::ScreenToLocalPoint(float x, float y) const {
    // Down from the top: collect the chain first.
    std::vector<const WidgetContainer*> chain;
    for (const WidgetContainer* c = this; c; c = c->mParent) chain.push_back(c);
    FPoint p(x, y);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) p = (*it)->ParentToLocalPoint(p.mX, p.mY);
    return p;
}

FRect WidgetContainer::LocalToParentRect(const FRect& rect) const {
    FPoint p = LocalToParentPoint(rect.mX, rect.mY);
    return FRect(p.mX, p.mY, rect.mWidth, rect.mHeight);
}

FRect WidgetContainer::LocalToScreenRect(const FRect& rect) const {
    FRect r = rect;
    for (const WidgetContainer* c = this; c; c = c->mParent) r = c->LocalToParentRect(r);
    return r;
}

FRect WidgetContainer::ScreenToLocalRect(const FRect& rect) const {
    FPoint p = ScreenToLocalPoint(rect.mX, rect.mY);
    return FRect(p.mX, p.mY, rect.mWidth, rect.mHeight);
}

static Rect TruncRect(const FRect& r) {
    return Rect(static_cast<int>(r.mX), static_cast<int>(r.mY), static_cast<int>(r.mWidth),
                static_cast<int>(r.mHeight));
}

static FRect ToFRect(const Rect& r) {
    return FRect(static_cast<float>(r.mX), static_cast<float>(r.mY), static_cast<float>(r.mWidth),
                 static_cast<float>(r.mHeight));
}

Rect WidgetContainer::LocalToParentRect(const Rect& rect) const {
    return TruncRect(LocalToParentRect(ToFRect(rect)));
}

Rect WidgetContainer::LocalToScreenRect(const Rect& rect) const {
    return TruncRect(LocalToScreenRect(ToFRect(rect)));
}

Rect WidgetContainer::ScreenToLocalRect(const Rect& rect) const {
    return TruncRect(ScreenToLocalRect(ToFRect(rect)));
}

// --- Walks -------------------------------------------------------------------------

void WidgetContainer::DrawAll(Graphics* g, int parentFlags) { DrawChildren(g, ChildFlags(parentFlags)); }

void WidgetContainer::UpdateAll(int parentFlags) { UpdateChildren(ChildFlags(parentFlags)); }

void WidgetContainer::UpdateFAll(float elapsedSteps, int parentFlags) {
    UpdateFChildren(elapsedSteps, ChildFlags(parentFlags));
}

void WidgetContainer::DrawChildren(Graphics* g, int flags) {
    if (mWidgets.empty()) return;
    WalkSnapshot snapshot(mWidgets);
    std::vector<Widget*>& list = snapshot.List();
    bool batch = (flags & (WidgetFlags::Batch | WidgetFlags::BatchByDepth)) != 0;
    bool wasBatching = g->IsBatching();
    if (batch) {
        // One batch for the subtree, its children in layer order (and by
        // depth within a layer when asked).
        bool byDepth = (flags & WidgetFlags::BatchByDepth) != 0;
        std::stable_sort(list.begin(), list.end(), [byDepth](const Widget* a, const Widget* b) {
            if (a->mLayer != b->mLayer) return a->mLayer < b->mLayer;
            return byDepth && a->GetBatchDepth() < b->GetBatchDepth();
        });
        if (!wasBatching) g->SetBatching(true);
    }
    for (Widget* child : list)
        if (child->mParent == this) child->DrawAllNoting(g, flags);
    if (batch && !wasBatching) {
        g->FlushBatch();
        g->SetBatching(false);
    }
}

void WidgetContainer::UpdateChildren(int flags) {
    if (mWidgets.empty()) return;
    WalkSnapshot snapshot(mWidgets);
    for (Widget* child : snapshot.List())
        if (child->mParent == this) child->UpdateAll(flags);
}

void WidgetContainer::UpdateFChildren(float elapsedSteps, int flags) {
    if (mWidgets.empty()) return;
    WalkSnapshot snapshot(mWidgets);
    for (Widget* child : snapshot.List())
        if (child->mParent == this) child->UpdateFAll(elapsedSteps, flags);
}

void WidgetContainer::SetPauseOwner(Widget* owner, bool force) {
    mChildPauseOwner = owner;
    WalkSnapshot snapshot(mWidgets);
    for (Widget* child : snapshot.List())
        if (child->mParent == this) child->SetPauseOwner(owner, force);
}
