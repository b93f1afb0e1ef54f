#include "widgets/WidgetManager.h"

#include <algorithm>
#include <cmath>

#include "widgets/AppServices.h"
#include "platform/InputEvent.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"

namespace {
constexpr size_t kNoModal = static_cast<size_t>(-1);

int ButtonBit(MouseButton button) {
    int n = static_cast<int>(button);
    return (n >= 1 && n <= 8) ? (1 << (n - 1)) : 0;
}

// Left clicks count 1, 2, ...; the right button gives the negative count and
// the middle button 3.
int ClickCountFor(MouseButton button, int clicks) {
    if (clicks < 1) clicks = 1;
    if (button == MouseButton::Right) return -clicks;
    if (button == MouseButton::Middle) return 3;
    return clicks;
}

void CollectSubtree(Widget* root, std::vector<Widget*>& out) {
    out.push_back(root);
    for (size_t i = out.size() - 1; i < out.size(); ++i)
        for (Widget* child : out[i]->GetWidgets()) out.push_back(child);
}

bool IsInSubtree(const Widget* widget, const Widget* root) {
    for (const WidgetContainer* c = widget; c; c = c->mParent)
        if (c == root) return true;
    return false;
}
}  // namespace

WidgetManager::WidgetManager() { mWidgetManager = this; }

WidgetManager::~WidgetManager() {
    // The screens still open at shutdown: the ones flagged for deletion go,
    // the rest (owned elsewhere, like the board) are only let go. No hooks
    // run: the application around them is being torn down.
    std::vector<Widget*> top;
    top.swap(mWidgets);
    for (Widget* widget : top) {
        widget->mParent = nullptr;
        std::vector<Widget*> subtree;
        CollectSubtree(widget, subtree);
        for (Widget* w : subtree) w->mWidgetManager = nullptr;
        if (widget->mDeleteWhenRemoved && !widget->mDeletePending) delete widget;
    }
    mWidgetManager = nullptr;
}

// --- Walks --------------------------------------------------------------------------

size_t WidgetManager::ModalIndex() const {
    for (auto it = mModalStack.rbegin(); it != mModalStack.rend(); ++it) {
        Widget* modal = it->Get();
        if (!modal || modal->mParent != this) continue;
        auto pos = std::find(mWidgets.begin(), mWidgets.end(), modal);
        if (pos != mWidgets.end()) return static_cast<size_t>(pos - mWidgets.begin());
    }
    return kNoModal;
}

int WidgetManager::TopLevelFlags(size_t index, size_t modalIndex) const {
    int flags = ChildFlags(mDefaultFlags);
    if (modalIndex != kNoModal && index < modalIndex) flags &= ~mBelowModalRemove;
    return flags;
}

void WidgetManager::Update() {
    ++mUpdateCount;
    UpdateAll(mDefaultFlags);
    // Widgets move under a pointer that stands still.
    RecheckMouseOver();
    if (!gAppServices) ProcessOrphanWidgetDeletes();
}

void WidgetManager::UpdateF(float elapsedSteps) { UpdateFAll(elapsedSteps, mDefaultFlags); }

void WidgetManager::DrawAll(Graphics* g, int parentFlags) {
    mDrawFlags = ChildFlags(parentFlags);
    size_t modal = ModalIndex();
    // The top-level list is copied so that drawing may change it.
    std::vector<Widget*> top = mWidgets;
    for (size_t i = 0; i < top.size(); ++i) {
        Widget* widget = top[i];
        if (widget->mParent != this) continue;
        widget->DrawAllNoting(g, modal == kNoModal ? mDrawFlags : TopLevelFlags(i, modal));
        // A widget's overlay belongs to its screen: drawn over that screen,
        // but under the screens and dialogs opened above it.
        DrawOverlays(*g);
    }
}

void WidgetManager::DrawOverlays(Graphics& g) {
    if (mOverlays.empty()) return;
    // Overlays asked for while drawing overlays wait for the next frame.
    std::vector<Overlay> overlays;
    overlays.swap(mOverlays);
    std::stable_sort(overlays.begin(), overlays.end(),
                     [](const Overlay& a, const Overlay& b) { return a.mPriority < b.mPriority; });
    for (const Overlay& overlay : overlays) {
        Widget* widget = overlay.mWidget.Get();
        if (!widget || widget->mWidgetManager != this) continue;
        GraphicsState saved;
        saved.CopyFrom(g);
        FPoint origin = widget->LocalToScreenPoint(0.0f, 0.0f);
        g.Translate(origin.mX, origin.mY);
        D3DInterface* device = g.GetTarget() ? nullptr : D3DInterface::Get();
        const Rect outer = device ? device->BeginArea() : Rect();
        widget->DrawOverlayAt(&g, overlay.mPriority);
        if (device) {
            // The overlay belongs to the widget's place, and to its ancestors'.
            const Rect area = device->EndArea(outer);
            for (WidgetContainer* c = widget; c && c != this; c = c->mParent)
                if (auto* w = dynamic_cast<Widget*>(c)) w->NoteDrawnArea(area);
        }
        g.RestoreState(saved);
    }
    mOverlays.clear();
}

void WidgetManager::DrawToGraphics(Graphics& g) {
    mOverlays.clear();
    DrawAll(&g, mDefaultFlags);
}

int WidgetManager::StepsUntilDue() {
    int due = Widget::kNothingDue;
    std::vector<Widget*>& pending = mDueWalk;
    pending.assign(mWidgets.begin(), mWidgets.end());
    while (!pending.empty() && due > 0) {
        Widget* widget = pending.back();
        pending.pop_back();
        due = std::min(due, widget->StepsUntilDue());
        pending.insert(pending.end(), widget->GetWidgets().begin(), widget->GetWidgets().end());
    }
    return due;
}

void WidgetManager::MarkWidgetDirty(Widget* widget) {
    if (!widget || widget->mDirtyMark == mMarkRound) return;
    widget->mDirtyMark = mMarkRound;
    mDirtyRegion.Add(widget->GetDrawnArea());
    mDirtyWidgets.emplace_back(widget);
}

void WidgetManager::MarkDirtyArea(const Rect& area) { mDirtyRegion.Add(area); }

bool WidgetManager::HasDirty() const {
    return mDirty.load(std::memory_order_relaxed) || !mDirtyRegion.IsEmpty() || !mDirtyWidgets.empty();
}

bool WidgetManager::TakeDirty(Changes* changes) {
    const bool whole = mDirty.exchange(false, std::memory_order_relaxed);
    const bool any = whole || !mDirtyRegion.IsEmpty() || !mDirtyWidgets.empty();
    if (changes) {
        changes->mWhole = whole;
        changes->mRegion = std::move(mDirtyRegion);
        changes->mWidgets = std::move(mDirtyWidgets);
    }
    mDirtyRegion.Clear();
    mDirtyWidgets.clear();
    ++mMarkRound;  // marks from now on are the next frame's
    return any;
}

void WidgetManager::Changes::AddDrawnAreas() {
    for (const WeakHandle<Widget>& handle : mWidgets)
        if (Widget* widget = handle.Get()) mRegion.Add(widget->GetDrawnArea());
}

void WidgetManager::DeferOverlay(Widget* widget, int priority) {
    if (!widget) return;
    for (const Overlay& o : mOverlays)
        if (o.mWidget.Get() == widget && o.mPriority == priority) return;
    Overlay overlay;
    overlay.mWidget = widget;
    overlay.mPriority = priority;
    mOverlays.push_back(overlay);
}

// --- Tree bookkeeping ------------------------------------------------------------------

void WidgetManager::WidgetAdded(Widget* widget) {
    std::vector<Widget*> subtree;
    CollectSubtree(widget, subtree);
    for (Widget* w : subtree) w->mWidgetManager = this;
    // Parents hear first; a hook may change the tree, so each widget is
    // checked again before its turn.
    for (Widget* w : subtree)
        if (w->mWidgetManager == this) w->AddedToManager(this);
    RecheckMouseOver();
    // Drawn where it lands.
    if (widget->mWidgetManager == this) MarkWidgetDirty(widget);
}

void WidgetManager::WidgetRemoved(Widget* widget) {
    // Where it stood is drawn again without it.
    mDirtyRegion.Add(widget->GetDrawnArea());
    std::vector<Widget*> subtree;
    CollectSubtree(widget, subtree);
    for (Widget* w : subtree) w->mWidgetManager = nullptr;

    if (Widget* focus = mFocusWidget.Get(); focus && IsInSubtree(focus, widget)) {
        mFocusWidget.Reset();
        focus->LostFocus();
    }
    if (Widget* over = mOverWidget.Get(); over && IsInSubtree(over, widget)) {
        mOverWidget.Reset();
        over->mIsOver = false;
        over->MouseLeave();
    }
    if (Widget* down = mDownWidget.Get(); down && IsInSubtree(down, widget)) {
        mDownWidget.Reset();
        down->mIsDown = false;
    }
    for (Widget* w : subtree)
        if (!w->mWidgetManager) w->RemovedFromManager(this);
    RecheckMouseOver();
}

// --- Focus and modal base ----------------------------------------------------------------

void WidgetManager::SetFocus(Widget* widget) {
    if (widget && widget->mWidgetManager != this) return;
    Widget* old = mFocusWidget.Get();
    if (old == widget) return;
    mFocusWidget = widget;
    if (old) old->LostFocus();
    // The old widget's hook may have moved the focus on already.
    if (widget && mFocusWidget.Get() == widget) widget->GotFocus();
}

void WidgetManager::AddBaseModal(Widget* widget) {
    if (!widget) return;
    mModalStack.emplace_back(widget);
    RecheckMouseOver();
}

void WidgetManager::RemoveBaseModal(Widget* widget) {
    for (auto it = mModalStack.end(); it != mModalStack.begin();) {
        --it;
        if (it->Get() == widget) {
            mModalStack.erase(it);
            break;
        }
    }
    // Forget entries whose widgets are gone.
    mModalStack.erase(std::remove_if(mModalStack.begin(), mModalStack.end(),
                                     [](const WeakHandle<Widget>& h) { return !h.Get(); }),
                      mModalStack.end());
    RecheckMouseOver();
}

Widget* WidgetManager::GetModalBase() const {
    size_t index = ModalIndex();
    return index == kNoModal ? nullptr : mWidgets[index];
}

bool WidgetManager::AcceptsKeys(Widget* widget) const {
    if (!widget || widget->mWidgetManager != this) return false;
    const WidgetContainer* top = widget;
    for (const WidgetContainer* c = widget; c && c != this; c = c->mParent) {
        top = c;
        if (const Widget* w = dynamic_cast<const Widget*>(c); w && w->mDisabled) return false;
    }
    size_t modal = ModalIndex();
    if (modal == kNoModal) return true;
    auto pos = std::find(mWidgets.begin(), mWidgets.end(), top);
    return pos != mWidgets.end() && static_cast<size_t>(pos - mWidgets.begin()) >= modal;
}

// --- Hit testing ------------------------------------------------------------------------------

Widget* WidgetManager::FindAt(Widget* widget, float x, float y, int parentFlags, bool mouseOnly,
                              int* localX, int* localY) {
    if (!widget->mVisible) return nullptr;
    if (mouseOnly && widget->mDisabled) return nullptr;
    int flags = widget->EffectiveFlags(parentFlags);
    FPoint local = widget->ParentToLocalPoint(x, y);
    if (widget->mClip && !(local.mX >= 0.0f && local.mY >= 0.0f && local.mX < widget->mWidth &&
                           local.mY < widget->mHeight))
        return nullptr;
    const std::vector<Widget*>& children = widget->GetWidgets();
    for (size_t i = children.size(); i-- > 0;)
        if (Widget* hit = FindAt(children[i], local.mX, local.mY, flags, mouseOnly, localX, localY))
            return hit;
    if (mouseOnly && (!(flags & WidgetFlags::AllowMouse) || !widget->mMouseVisible)) return nullptr;
    if (!mouseOnly && !(flags & WidgetFlags::Draw)) return nullptr;
    int lx = static_cast<int>(std::floor(local.mX));
    int ly = static_cast<int>(std::floor(local.mY));
    if (!widget->HitTest(lx, ly)) return nullptr;
    if (localX) *localX = lx;
    if (localY) *localY = ly;
    return widget;
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* localX, int* localY) {
    size_t modal = ModalIndex();
    for (size_t i = mWidgets.size(); i-- > 0;) {
        if (Widget* hit = FindAt(mWidgets[i], static_cast<float>(x), static_cast<float>(y),
                                 TopLevelFlags(i, modal), true, localX, localY))
            return hit;
    }
    return nullptr;
}

Widget* WidgetManager::GetVisibleWidgetAt(int x, int y) {
    for (size_t i = mWidgets.size(); i-- > 0;) {
        if (Widget* hit = FindAt(mWidgets[i], static_cast<float>(x), static_cast<float>(y),
                                 ChildFlags(mDefaultFlags), false, nullptr, nullptr))
            return hit;
    }
    return nullptr;
}

Point WidgetManager::GetPointerPosition(int pointerId) const {
    if (pointerId != 0 || !mPointerSeen) return Point(0, 0);
    return mPointer;
}

// --- Input --------------------------------------------------------------------------------------

void WidgetManager::HandleInputEvent(const InputEvent& event) {
    if (event.type == InputEvent::KeyDown || event.type == InputEvent::KeyUp) {
        bool down = event.type == InputEvent::KeyDown;
        mCtrlDown = event.key == KeyCode::Control ? down : event.ctrl;
        mShiftDown = event.key == KeyCode::Shift ? down : event.shift;
    }
    switch (event.type) {
        case InputEvent::MouseMove: MouseMove(event.x, event.y); break;
        case InputEvent::MouseDown: MouseDown(event.x, event.y, event.button, event.clicks); break;
        case InputEvent::MouseUp: MouseUp(event.x, event.y, event.button); break;
        case InputEvent::MouseWheel: MouseWheel(event.wheel); break;
        case InputEvent::MouseLeaveWindow: MouseExit(); break;
        case InputEvent::KeyDown: KeyDown(event.key); break;
        case InputEvent::KeyUp: KeyUp(event.key); break;
        case InputEvent::Char: KeyChar(event.character); break;
        default: break;
    }
}

void WidgetManager::SetOverWidget(Widget* widget) {
    Widget* old = mOverWidget.Get();
    if (old == widget) return;
    mOverWidget = widget;
    // What the pointer shows now, not what the widget left asks: a script may
    // have turned its hand off while the pointer was over it.
    bool handChanged = mHandShown || (widget && widget->mHandCursor);
    if (old) {
        old->mIsOver = false;
        old->MouseLeave();
    }
    if (widget && mOverWidget.Get() == widget) {
        widget->mIsOver = true;
        widget->MouseEnter();
    }
    if (handChanged && gAppServices) {
        Widget* now = mOverWidget.Get();
        mHandShown = now && now->mHandCursor;
        gAppServices->SetCursor(mHandShown ? 1 : 0);
    }
}

void WidgetManager::RecheckMouseOver() {
    if (!mPointerSeen || mPointerOutside) return;
    Widget* down = mDownWidget.Get();
    int lx = 0, ly = 0;
    Widget* hit = GetWidgetAt(mPointer.mX, mPointer.mY, &lx, &ly);
    // While a button is held only the pressed widget can be "over".
    if (mDownButtons != 0 && down) hit = (hit == down) ? down : nullptr;
    SetOverWidget(hit);
}

void WidgetManager::MouseMove(int x, int y) {
    mPointer = Point(x, y);
    mPointerSeen = true;
    mPointerOutside = false;
    Widget* down = mDownWidget.Get();
    if (mDownButtons != 0 && down) {
        RecheckMouseOver();
        if ((down = mDownWidget.Get()) != nullptr) {
            FPoint local = down->ScreenToLocalPoint(static_cast<float>(x), static_cast<float>(y));
            down->MouseDrag(static_cast<int>(std::floor(local.mX)), static_cast<int>(std::floor(local.mY)));
        }
        return;
    }
    int lx = 0, ly = 0;
    Widget* hit = GetWidgetAt(x, y, &lx, &ly);
    SetOverWidget(hit);
    if (hit && mOverWidget.Get() == hit) hit->MouseMove(lx, ly);
}

void WidgetManager::MouseDown(int x, int y, MouseButton button, int clicks) {
    mPointer = Point(x, y);
    mPointerSeen = true;
    mPointerOutside = false;
    mLastPressUpdate = mUpdateCount;
    int clickCount = ClickCountFor(button, clicks);

    std::vector<ListenerRef<ClickListener>> listeners = mClickListeners;
    for (const auto& ref : listeners)
        if (ClickListener* l = ref.Get()) l->GlobalMouseDown(x, y, clickCount);

    bool first = mDownButtons == 0;
    mDownButtons |= ButtonBit(button);
    Widget* target = nullptr;
    if (first || !mDownWidget.Get()) {
        int lx = 0, ly = 0;
        target = GetWidgetAt(x, y, &lx, &ly);
        SetOverWidget(target);
        mDownWidget = target;
        mDownClickCount = clickCount;
        if (target) {
            target->mIsDown = true;
            target->MouseDown(lx, ly, clickCount);
        }
    } else if ((target = mDownWidget.Get()) != nullptr) {
        FPoint local = target->ScreenToLocalPoint(static_cast<float>(x), static_cast<float>(y));
        target->MouseDown(static_cast<int>(std::floor(local.mX)), static_cast<int>(std::floor(local.mY)),
                          clickCount);
    }

    listeners = mClickListeners;
    for (const auto& ref : listeners)
        if (ClickListener* l = ref.Get()) l->GlobalMouseDownAfter(x, y, clickCount);
}

void WidgetManager::MouseUp(int x, int y, MouseButton button) {
    mPointer = Point(x, y);
    mPointerSeen = true;
    mPointerOutside = false;
    int bit = ButtonBit(button);
    if (bit && !(mDownButtons & bit)) return;  // a release we never saw pressed
    mDownButtons &= ~bit;
    int clickCount = ClickCountFor(button, 1);
    if (Widget* down = mDownWidget.Get()) {
        if (mDownButtons == 0) {
            down->mIsDown = false;
            mDownWidget.Reset();
        }
        FPoint local = down->ScreenToLocalPoint(static_cast<float>(x), static_cast<float>(y));
        down->MouseUpAt(static_cast<int>(std::floor(local.mX)), static_cast<int>(std::floor(local.mY)),
                        clickCount);
    }
    if (mDownButtons == 0) mDownWidget.Reset();
    RecheckMouseOver();
}

void WidgetManager::MouseWheel(int delta) {
    Widget* target = mFocusWidget.Get();
    if (target && AcceptsKeys(target)) target->MouseWheel(delta);
}

void WidgetManager::MouseExit() {
    if (mDownButtons != 0) return;  // a held button keeps its widget
    SetOverWidget(nullptr);
    // Nothing is under a pointer outside the window, whatever moves where
    // it last stood; the next pointer message brings it back.
    mPointerOutside = true;
}

void WidgetManager::KeyDown(int key) {
    Widget* focus = mFocusWidget.Get();
    if (AcceptsKeys(focus)) focus->KeyDown(key);
}

void WidgetManager::KeyUp(int key) {
    Widget* focus = mFocusWidget.Get();
    if (AcceptsKeys(focus)) focus->KeyUp(key);
}

void WidgetManager::KeyChar(wchar_t character) {
    Widget* focus = mFocusWidget.Get();
    if (AcceptsKeys(focus)) focus->KeyChar(character);
}

void WidgetManager::AddClickListener(ClickListener* listener) {
    if (!listener) return;
    for (const auto& ref : mClickListeners)
        if (ref.Get() == listener) return;
    mClickListeners.emplace_back(listener);
}

void WidgetManager::RemoveClickListener(ClickListener* listener) {
    mClickListeners.erase(std::remove_if(mClickListeners.begin(), mClickListeners.end(),
                                         [listener](const ListenerRef<ClickListener>& ref) {
                                             return !ref.Get() || ref.Get() == listener;
                                         }),
                          mClickListeners.end());
}
