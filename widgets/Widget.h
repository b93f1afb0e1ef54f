#pragma once
#include <cstdint>
#include <string>

#include "core/WeakHandle.h"
#include "platform/InputEvent.h"
#include "widgets/Listeners.h"
#include "widgets/WidgetContainer.h"

class Graphics;
class Menu;  // screens/Menu.h; widgets only carry the pointer

// The button of a press as the mouse hooks see it. The hooks keep the click
// count the data and the widgets rely on (negative for the right button, 3
// for the middle one); ButtonOfClick names it. A middle press cannot be told
// from a left triple click and reads as Left, which is how every widget
// treats it; a count of 0 comes from no button.
MouseButton ButtonOfClick(int clickCount);

// The base of everything on screen. Coordinates given to the input hooks are
// local to the widget (its top-left corner is (0, 0)); Draw is called with
// the graphics translated there.
class Widget : public WidgetContainer, public RemovalWidget {
public:
    Widget();
    ~Widget() override;

    // --- Hooks ---------------------------------------------------------------
    virtual void Update() {}
    // Once per drawn frame, with the elapsed time in update steps.
    virtual void UpdateF(float /*elapsedSteps*/) {}
    // How many coming update steps may run late, together, without this
    // widget changing anything it shows or does on time: 0 when the next
    // step must run on time (the default, for a widget that says nothing),
    // kNothingDue when nothing of its own is timed. The main loop of a still
    // screen sleeps through steps that nothing needs.
    static constexpr int kNothingDue = 1 << 30;
    virtual int StepsUntilDue() { return 0; }
    // Update / UpdateF unless the widget is paused.
    virtual void RunUpdate();
    virtual void RunUpdateF(float elapsedSteps);
    // Paused when its pause owner (another widget) says so.
    virtual bool IsPaused();

    virtual void Draw(Graphics* /*g*/) {}
    // Drawn by the manager after the widget's top-level ancestor's whole
    // subtree (and under the top-level widgets above it) when DeferOverlay was
    // asked for in this frame; the graphics are translated to the widget.
    virtual void DrawOverlay(Graphics* /*g*/) {}
    virtual void DrawOverlayAt(Graphics* g, int /*priority*/) { DrawOverlay(g); }
    void DeferOverlay(int priority = 0);

    // Mouse input. The click count is negative for the right button (-1,
    // -2 for a double click) and 3 for the middle button.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseMove(int /*x*/, int /*y*/) {}
    virtual void MouseDown(int /*x*/, int /*y*/, int /*clickCount*/) {}
    virtual void MouseDrag(int /*x*/, int /*y*/) {}
    virtual void MouseUpAt(int /*x*/, int /*y*/, int /*clickCount*/) {}
    virtual void MouseWheel(int /*delta*/) {}
    // Keyboard input reaches the focus widget.
    virtual void KeyDown(int /*key*/) {}
    virtual void KeyUp(int /*key*/) {}
    virtual void KeyChar(wchar_t /*character*/) {}
    virtual void GotFocus() { mHasFocus = true; }
    virtual void LostFocus() { mHasFocus = false; }

    // Tree events. AddedToManager runs after the widget (and its children)
    // entered a tree that the manager draws; RemovedFromManager when it
    // leaves it; RemovedFromParent when it leaves its parent.
    virtual void AddedToManager(WidgetManager* /*manager*/) {}
    virtual void RemovedFromManager(WidgetManager* /*manager*/) {}
    virtual void RemovedFromParent(WidgetContainer* /*parent*/) {}

    // Dialog hooks (menus override them): a modal dialog becomes the
    // manager's modal base when added as a dialog; OnAddedToApp runs at the
    // end of PomoAppBase::AddDialog.
    virtual bool IsModal() { return false; }
    virtual void OnAddedToApp() {}

    // True when the point (local coordinates) hits the widget.
    virtual bool HitTest(int x, int y);
    // The widget's rectangle in its parent's coordinates.
    virtual FRect GetBoundingRect() const;
    // Drawing order within a batch by depth.
    virtual float GetBatchDepth() const { return 0.0f; }

    // --- Operations ----------------------------------------------------------
    void Move(float x, float y);
    void Resize(float x, float y, int width, int height);
    void SetVisible(bool visible);
    // A disabled widget and its children take no input.
    void SetDisabled(bool disabled);
    // Leaves the parent; deleted after the current update step when
    // mDeleteWhenRemoved is set.
    virtual void RemoveSelf();
    // Leaves the parent without being deleted (it may be added again).
    virtual void DetachSelf();
    // The widget looks different: where it stood in the last frame and where
    // it stands now are drawn again in the next pass (a still tree is not
    // drawn at all). Subclasses drop their caches too.
    virtual void MarkDirty();
    // Only this part of the widget (local coordinates) looks different;
    // its children and the rest of it are as they were.
    void MarkDirtyPart(const FRect& local);
    // Where the last frame drew the widget with its children and overlays
    // (frame pixels); empty when it did not.
    Rect GetDrawnArea() const;
    // DrawAll, learning where it lands on the frame.
    void DrawAllNoting(Graphics* g, int parentFlags);
    // Adds frame pixels drawn for this widget in the frame being drawn.
    void NoteDrawnArea(const Rect& area);
    void SetPauseOwner(Widget* owner, bool force) override;
    Widget* GetPauseOwner() const { return mPauseOwner.Get(); }
    // The owning menu, passed down to every descendant.
    void SetOwningMenu(Menu* menu);
    // The flags this widget runs with when its parent passes `parentFlags`.
    int EffectiveFlags(int parentFlags) const { return ChildFlags(parentFlags); }
    // Whether the widget is in the manager's tree.
    bool IsInManager() const { return mWidgetManager != nullptr; }
    // Queued for a deferred delete.
    bool IsDeletePending() const { return mDeletePending; }

    // --- WidgetContainer walks -------------------------------------------------
    void DrawAll(Graphics* g, int parentFlags) override;
    void UpdateAll(int parentFlags) override;
    void UpdateFAll(float elapsedSteps, int parentFlags) override;

    // --- ScriptObject --------------------------------------------------------
    std::wstring GetScriptName() const override { return mName; }

    // --- Fields ----------------------------------------------------------------
    int mId = 0;          // unique from construction; callers may replace it
    std::wstring mName;
    bool mVisible = true;
    bool mDisabled = false;
    bool mMouseVisible = true;  // takes the mouse (children may still)
    bool mHandCursor = false;
    bool mHasFocus = false;
    bool mIsDown = false;       // a mouse button is held on the widget
    bool mIsOver = false;       // the pointer is over it
    bool mRemoveRequested = false;
    bool mDeleteWhenRemoved = true;
    int mLayer = 0;             // order within a batched draw
    Menu* mMenu = nullptr;      // owning menu, taken from the parent
    bool mIsMenuRoot = false;   // a menu keeps itself as its owning menu
    AnimationListener* mAnimationListener = nullptr;

protected:
    Menu* ChildMenu() const override { return mMenu; }

private:
    friend class WidgetContainer;
    friend class WidgetManager;
    friend class AnimationListener;
    friend void DeferWidgetDelete(Widget*);
    friend bool CancelWidgetDelete(Widget*);
    friend void ProcessOrphanWidgetDeletes();

    WeakHandle<Widget> mPauseOwner;
    bool mDeletePending = false;
    Rect mDrawnArea;
    uint64_t mDrawnFrame = 0;  // the device's frame number that drew mDrawnArea
    uint64_t mDirtyMark = 0;   // the manager's mark round that listed the widget
};

// Deletes the widget after the current update step (through the
// application's deferred-delete list, or a list of the widget layer's own
// without an application). Adding the widget to a container again before
// then cancels the delete.
void DeferWidgetDelete(Widget* widget);
bool CancelWidgetDelete(Widget* widget);
// Deletes what DeferWidgetDelete queued while no application existed.
void ProcessOrphanWidgetDeletes();

