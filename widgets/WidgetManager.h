#pragma once
#include <atomic>
#include <vector>

#include "core/DirtyRegion.h"
#include "core/Geometry.h"
#include "core/WeakHandle.h"
#include "widgets/Listeners.h"
#include "widgets/Widget.h"
#include "widgets/WidgetContainer.h"

class Graphics;
struct InputEvent;

// The top of the widget tree: holds the screens (closed screens are deleted
// through the application's deferred-delete list; at shutdown ~WidgetManager
// deletes those still open that are flagged for deletion and lets the others
// go, without running their hooks), keeps the focus, the widget
// under the pointer and the pressed widget, dispatches input, and walks the
// tree for updates and drawing. Everything it remembers about a widget is a
// weak handle, so a widget deleted behind its back is simply forgotten.
class WidgetManager : public WidgetContainer {
public:
    WidgetManager();
    ~WidgetManager() override;

    // --- Walks -----------------------------------------------------------------
    // One fixed update step over the whole tree.
    void Update();
    // Once per drawn frame, with the elapsed time in update steps.
    void UpdateF(float elapsedSteps);
    // Draws every visible top-level widget, each followed by the overlays
    // its widgets deferred while it was drawn.
    void DrawToGraphics(Graphics& g);
    // Everything may look different (the tree of another thread's making,
    // a new order of the screens): the next frame is drawn whole.
    // Thread-safe, for loaders that mark their loading screen.
    void MarkDirty() { mDirty.store(true, std::memory_order_relaxed); }
    // The widget (with its children) looks different or stands elsewhere:
    // the next frame draws where the last one had it and where it stands
    // then. Main thread.
    void MarkWidgetDirty(Widget* widget);
    // Only this part of the frame (frame pixels) looks different. Main thread.
    void MarkDirtyArea(const Rect& area);
    // Whether anything was marked since the last TakeDirty.
    bool HasDirty() const;
    // What changed since the last frame, taken as a frame begins: after the
    // tree is drawn, AddDrawnAreas adds where the marked widgets stand now.
    struct Changes {
        bool mWhole = false;
        DirtyRegion mRegion;
        std::vector<WeakHandle<Widget>> mWidgets;
        void AddDrawnAreas();
    };
    // Whether the tree changed since the last call (clears the marks).
    bool TakeDirty(Changes* changes = nullptr);
    // The fewest steps any widget in the tree lets run late (Widget::StepsUntilDue).
    int StepsUntilDue();
    void DrawAll(Graphics* g, int parentFlags) override;

    // --- Focus and the modal base ---------------------------------------------------
    void SetFocus(Widget* widget);
    Widget* GetFocus() const { return mFocusWidget.Get(); }
    // Widgets below the modal base (in the top-level order) get no input.
    void AddBaseModal(Widget* widget);
    void RemoveBaseModal(Widget* widget);
    Widget* GetModalBase() const;

    // --- Input -------------------------------------------------------------------
    // Mouse, wheel, key and character events in screen coordinates.
    void HandleInputEvent(const InputEvent& event);
    void MouseMove(int x, int y);
    void MouseDown(int x, int y, MouseButton button, int clicks);
    void MouseUp(int x, int y, MouseButton button);
    void MouseWheel(int delta);
    void MouseExit();
    void KeyDown(int key);
    void KeyUp(int key);
    void KeyChar(wchar_t character);

    // Re-evaluates which widget is under the pointer (after the tree changed).
    void RecheckMouseOver();
    // The topmost widget that takes the mouse at a screen point (null when
    // none); the local point is returned through the optional outputs.
    Widget* GetWidgetAt(int x, int y, int* localX = nullptr, int* localY = nullptr);
    // The topmost visible widget at a screen point, whatever its mouse flags.
    Widget* GetVisibleWidgetAt(int x, int y);
    Widget* GetOverWidget() const { return mOverWidget.Get(); }
    Widget* GetPressedWidget() const { return mDownWidget.Get(); }
    // The last position of a pointer (0 is the mouse); (0, 0) when never seen.
    Point GetPointerPosition(int pointerId = 0) const;
    bool IsMouseButtonDown() const { return mDownButtons != 0; }
    // Update steps since the last mouse press (any button); large when none.
    int64_t StepsSincePress() const { return mUpdateCount - mLastPressUpdate; }
    // Modifier keys as the last key event left them.
    bool IsCtrlDown() const { return mCtrlDown; }
    bool IsShiftDown() const { return mShiftDown; }

    void AddClickListener(ClickListener* listener);
    void RemoveClickListener(ClickListener* listener);

    // --- Overlays --------------------------------------------------------------
    void DeferOverlay(Widget* widget, int priority);

    // --- Tree bookkeeping (called by containers) --------------------------------------
    // A widget (with its subtree) entered or left the manager's tree.
    void WidgetAdded(Widget* widget);
    void WidgetRemoved(Widget* widget);

    // Flags given to the top-level widgets; widgets below the modal base also
    // lose mBelowModalRemove.
    int mDefaultFlags = WidgetFlags::Default;
    int mBelowModalRemove = WidgetFlags::AllowMouse;
    // The flag record of the last drawing pass (for snapshots drawn outside it).
    int mDrawFlags = WidgetFlags::Default;
    int64_t mUpdateCount = 0;
    int64_t mLastPressUpdate = -(int64_t{1} << 40);

private:
    void DrawOverlays(Graphics& g);
    int TopLevelFlags(size_t index, size_t modalIndex) const;
    size_t ModalIndex() const;
    Widget* FindAt(Widget* widget, float x, float y, int parentFlags, bool mouseOnly,
                   int* localX, int* localY);
    void SetOverWidget(Widget* widget);
    bool AcceptsKeys(Widget* widget) const;

    WeakHandle<Widget> mFocusWidget;
    WeakHandle<Widget> mOverWidget;
    WeakHandle<Widget> mDownWidget;
    std::vector<WeakHandle<Widget>> mModalStack;
    std::vector<ListenerRef<ClickListener>> mClickListeners;
    struct Overlay {
        WeakHandle<Widget> mWidget;
        int mPriority = 0;
    };
    std::vector<Overlay> mOverlays;
    Point mPointer;
    bool mPointerSeen = false;
    bool mPointerOutside = false;  // left the window, no button held
    bool mHandShown = false;  // the hand cursor was last set by the widget under the pointer
    int mDownButtons = 0;  // bit per held button
    int mDownClickCount = 0;
    bool mCtrlDown = false;
    bool mShiftDown = false;
    std::atomic<bool> mDirty{true};
    // Marked since the last TakeDirty (main thread): where things were, and
    // the widgets whose new places the next frame learns.
    DirtyRegion mDirtyRegion;
    std::vector<WeakHandle<Widget>> mDirtyWidgets;
    uint64_t mMarkRound = 1;
    std::vector<Widget*> mDueWalk;  // kept to walk without allocating
};
