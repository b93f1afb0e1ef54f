#include "widgets/Widget.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "widgets/AppServices.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "widgets/WidgetManager.h"

namespace {
int gNextWidgetId = 1;
// Deletes queued while no application object exists (tests of the bare tree).
std::vector<Widget*> gOrphanDeletes;
}  // namespace

MouseButton ButtonOfClick(int clickCount) {
    if (clickCount < 0) return MouseButton::Right;
    return clickCount > 0 ? MouseButton::Left : MouseButton::None;
}

Widget::Widget() : mId(gNextWidgetId++) {}

Widget::~Widget() {
    // Deleted while still attached: leave quietly; everything that remembers
    // the widget holds a weak handle.
    if (mParent) {
        mParent->UnlinkChild(this);
        mParent = nullptr;
    }
    if (mDeletePending && gAppServices) gAppServices->CancelSafeDelete(this);
    if (mDeletePending && !gAppServices) {
        auto it = std::find(gOrphanDeletes.begin(), gOrphanDeletes.end(), this);
        if (it != gOrphanDeletes.end()) gOrphanDeletes.erase(it);
    }
    // Children are owned; they go while this widget is still whole.
    ReleaseChildren();
    if (mAnimationListener) mAnimationListener->mWatched.erase(this);
}

void Widget::RunUpdate() {
    if (!IsPaused()) Update();
}

void Widget::RunUpdateF(float elapsedSteps) {
    if (!IsPaused()) UpdateF(elapsedSteps);
}

bool Widget::IsPaused() {
    Widget* owner = mPauseOwner.Get();
    if (owner && owner != this) return owner->IsPaused();
    return false;
}

void Widget::DeferOverlay(int priority) {
    if (mWidgetManager) mWidgetManager->DeferOverlay(this, priority);
}

bool Widget::HitTest(int x, int y) { return x >= 0 && y >= 0 && x < mWidth && y < mHeight; }

FRect Widget::GetBoundingRect() const {
    return FRect(mX, mY, static_cast<float>(mWidth), static_cast<float>(mHeight));
}

void Widget::Move(float x, float y) {
    mX = x;
    mY = y;
    MarkDirty();
}

void Widget::Resize(float x, float y, int width, int height) {
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkDirty();
}

void Widget::SetVisible(bool visible) {
    if (mVisible == visible) return;
    mVisible = visible;
    MarkDirty();
    // A parent may draw something of its own for a child that shows (the
    // label beside a check box, the icon beside a slider).
    if (auto* parent = dynamic_cast<Widget*>(mParent)) parent->MarkDirty();
    if (mWidgetManager) mWidgetManager->RecheckMouseOver();
}

void Widget::SetDisabled(bool disabled) {
    if (mDisabled == disabled) return;
    mDisabled = disabled;
    MarkDirty();
    if (mWidgetManager) mWidgetManager->RecheckMouseOver();
}

void Widget::RemoveSelf() {
    mRemoveRequested = true;
    if (mParent) mParent->RemoveWidget(this);
}

void Widget::DetachSelf() {
    WidgetContainer* parent = mParent;
    if (!parent) return;
    WidgetManager* manager = mWidgetManager;
    parent->UnlinkChild(this);
    mParent = nullptr;
    if (manager) manager->WidgetRemoved(this);
    RemovedFromParent(parent);
}

void Widget::MarkDirty() {
    if (mWidgetManager) mWidgetManager->MarkWidgetDirty(this);
}

void Widget::MarkDirtyPart(const FRect& local) {
    if (!mWidgetManager) return;
    const FRect r = LocalToScreenRect(local);
    // Whole pixels, a pixel wider each way for filtered edges.
    const int x0 = static_cast<int>(std::floor(r.mX)) - 1, y0 = static_cast<int>(std::floor(r.mY)) - 1;
    const int x1 = static_cast<int>(std::ceil(r.mX + r.mWidth)) + 1, y1 = static_cast<int>(std::ceil(r.mY + r.mHeight)) + 1;
    mWidgetManager->MarkDirtyArea(Rect(x0, y0, x1 - x0, y1 - y0));
}

Rect Widget::GetDrawnArea() const {
    // Drawn in the last frame shown, or already in the one being drawn.
    const uint64_t frame = D3DInterface::Get()->GetFrameNumber();
    return mDrawnFrame != 0 && mDrawnFrame + 1 >= frame ? mDrawnArea : Rect();
}

void Widget::NoteDrawnArea(const Rect& area) {
    const uint64_t frame = D3DInterface::Get()->GetFrameNumber();
    if (mDrawnFrame != frame) {
        mDrawnFrame = frame;
        mDrawnArea = area;
    } else {
        mDrawnArea = mDrawnArea.Union(area);
    }
}

void Widget::DrawAllNoting(Graphics* g, int parentFlags) {
    if (g->GetTarget()) {
        DrawAll(g, parentFlags);  // a picture of the tree, not the frame
        return;
    }
    D3DInterface* device = D3DInterface::Get();
    const Rect outer = device->BeginArea();
    DrawAll(g, parentFlags);
    NoteDrawnArea(device->EndArea(outer));
}

void Widget::SetPauseOwner(Widget* owner, bool force) {
    // A widget with an owner of its own (a nested menu) keeps it, and so do
    // its present and future descendants.
    if (!force && mPauseOwner.Get()) return;
    mPauseOwner = owner;
    WidgetContainer::SetPauseOwner(owner, force);
}

void Widget::SetOwningMenu(Menu* menu) {
    if (!mIsMenuRoot) mMenu = menu;
    for (Widget* child : mWidgets) child->SetOwningMenu(mMenu);
}

void Widget::DrawAll(Graphics* g, int parentFlags) {
    if (!mVisible) return;
    int flags = ChildFlags(parentFlags);
    GraphicsState outer;
    outer.CopyFrom(*g);
    g->Translate(mX, mY);
    if (mClip) g->ClipRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
    if (flags & WidgetFlags::Draw) {
        // The widget may change colour, font or mode; its children start from
        // the state it was given.
        GraphicsState base;
        base.CopyFrom(*g);
        Draw(g);
        g->RestoreState(base);
    }
    DrawChildren(g, flags);
    g->RestoreState(outer);
}

void Widget::UpdateAll(int parentFlags) {
    int flags = ChildFlags(parentFlags);
    WidgetManager* manager = mWidgetManager;
    if (flags & WidgetFlags::Update) RunUpdate();
    // A widget that took itself out of the tree takes its children along.
    if (manager && mWidgetManager != manager) return;
    UpdateChildren(flags);
}

void Widget::UpdateFAll(float elapsedSteps, int parentFlags) {
    int flags = ChildFlags(parentFlags);
    WidgetManager* manager = mWidgetManager;
    if (flags & WidgetFlags::Update) RunUpdateF(elapsedSteps);
    if (manager && mWidgetManager != manager) return;
    UpdateFChildren(elapsedSteps, flags);
}

void DeferWidgetDelete(Widget* widget) {
    if (!widget || widget->mDeletePending) return;
    widget->mDeletePending = true;
    if (gAppServices)
        gAppServices->SafeDelete(widget);
    else
        gOrphanDeletes.push_back(widget);
}

bool CancelWidgetDelete(Widget* widget) {
    if (!widget || !widget->mDeletePending) return false;
    widget->mDeletePending = false;
    if (gAppServices) return gAppServices->CancelSafeDelete(widget);
    auto it = std::find(gOrphanDeletes.begin(), gOrphanDeletes.end(), widget);
    if (it == gOrphanDeletes.end()) return false;
    gOrphanDeletes.erase(it);
    return true;
}

void ProcessOrphanWidgetDeletes() {
    while (!gOrphanDeletes.empty()) {
        std::vector<Widget*> batch;
        batch.swap(gOrphanDeletes);
        for (Widget* widget : batch) {
            widget->mDeletePending = false;
            delete widget;
        }
    }
}
