#pragma once
#include <vector>

#include "core/Geometry.h"
#include "core/WeakHandle.h"
#include "data/ScriptObject.h"

class Graphics;
class Menu;
class Widget;
class WidgetManager;

// Flag bits of the widget tree. A widget's flags are (parent's flags | its
// add mask) & ~its remove mask; they govern the widget itself and are what
// it passes on to its children.
namespace WidgetFlags {
enum : int {
    Update = 0x01,
    Draw = 0x02,
    AllowMouse = 0x04,
    Batch = 0x10,         // children drawn as one batch, ordered by layer
    BatchByDepth = 0x20,  // ... and by depth within a layer
    CrossFade = 0x40,
    Default = Update | Draw | AllowMouse,
};
}

inline int CombineWidgetFlags(int parentFlags, int addMask, int removeMask) {
    return (parentFlags | addMask) & ~removeMask;
}

// Anything that holds child widgets: every widget, and the manager at the
// top. Children are ordered by their second priority (mZOrder; later ones
// are drawn on top, equal ones keep their insertion order). A container owns
// its children: destroying it destroys those still attached.
//
// The child list may change while the tree is updated or drawn: walks visit
// a snapshot and skip a child that has left meanwhile; a child added during
// a walk is first visited by the next walk. Widgets removed with deletion
// are deleted only after the current update step.
class WidgetContainer : public ScriptObject {
public:
    WidgetContainer() = default;
    ~WidgetContainer() override;
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    // --- Children ------------------------------------------------------------
    // Adds a child in priority order. A widget that has a parent leaves it
    // first (without deletion).
    virtual void AddWidget(Widget* widget);
    // The child leaves; when its mDeleteWhenRemoved flag is set it is deleted
    // after the current update step.
    virtual void RemoveWidget(Widget* widget);
    // Every child leaves and is marked for deletion (recursively: their
    // children go with them).
    virtual void RemoveAllWidgets();
    bool HasWidget(const Widget* widget) const;
    const std::vector<Widget*>& GetWidgets() const { return mWidgets; }
    size_t GetWidgetCount() const { return mWidgets.size(); }

    // Restores priority order (stable).
    void SortWidgets();
    void BringToFront(Widget* child);
    void BringToBack(Widget* child);
    // Places `widget` directly above (PutInFront) or below (PutBehind) its
    // sibling `sibling`.
    void PutInFront(Widget* widget, Widget* sibling);
    void PutBehind(Widget* widget, Widget* sibling);

    // --- Geometry ------------------------------------------------------------
    // A rectangle in this container's coordinates to its parent's, to the
    // screen (up through every ancestor), and back from the screen.
    virtual FRect LocalToParentRect(const FRect& rect) const;
    FRect LocalToScreenRect(const FRect& rect) const;
    FRect ScreenToLocalRect(const FRect& rect) const;
    Rect LocalToParentRect(const Rect& rect) const;
    Rect LocalToScreenRect(const Rect& rect) const;
    Rect ScreenToLocalRect(const Rect& rect) const;
    // Point conversions between this container and its parent. Widgets with
    // a transform override both.
    virtual FPoint LocalToParentPoint(float x, float y) const;
    virtual FPoint ParentToLocalPoint(float x, float y) const;
    FPoint LocalToScreenPoint(float x, float y) const;
    FPoint ScreenToLocalPoint(float x, float y) const;

    // --- Walks ---------------------------------------------------------------
    // Draws this container and its children (the manager: the whole tree).
    virtual void DrawAll(Graphics* g, int parentFlags);
    virtual void UpdateAll(int parentFlags);
    virtual void UpdateFAll(float elapsedSteps, int parentFlags);

    // The pause owner this container passes to its present and future
    // children (when they have none; `force` replaces theirs).
    virtual void SetPauseOwner(Widget* owner, bool force);

    // --- Fields ----------------------------------------------------------------
    float mX = 0.0f;
    float mY = 0.0f;
    int mWidth = 0;
    int mHeight = 0;
    WidgetContainer* mParent = nullptr;
    WidgetManager* mWidgetManager = nullptr;
    int mPriority = 0;  // first priority
    int mZOrder = 0;    // second priority: orders siblings
    int mAddMask = 0;
    int mRemoveMask = 0;
    bool mClip = false;  // children and own drawing clipped to (0, 0, w, h)

protected:
    friend class WidgetManager;
    friend class Widget;

    // The order of the children changed: the tree is drawn again.
    void MarkOrderChanged();
    // The flags this container passes to its children.
    int ChildFlags(int parentFlags) const {
        return CombineWidgetFlags(parentFlags, mAddMask, mRemoveMask);
    }
    // Deletes the children flagged for deletion, lets the others go.
    void ReleaseChildren();
    // Takes the child out of the list (no notifications, no deletion).
    bool UnlinkChild(Widget* widget);
    // Draws the children (batched by layer when the flags ask for it).
    void DrawChildren(Graphics* g, int flags);
    void UpdateChildren(int flags);
    void UpdateFChildren(float elapsedSteps, int flags);
    // A copy of the child list for a walk, from a reusable pool.
    class WalkSnapshot;

    std::vector<Widget*> mWidgets;
    // The menu and pause owner handed to children when they are added.
    virtual Menu* ChildMenu() const { return nullptr; }
    WeakHandle<Widget> mChildPauseOwner;
};
