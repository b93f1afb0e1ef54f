#pragma once
#include <string>

#include "widgets/AnimationWidget.h"

// A picture the player drags with the mouse: a scrollable picture that must
// keep covering a box (inner bounds), or a piece that must stay inside one
// (outer bounds). A short press is a click, a released drag may glide on
// ("fling"), and a dragged child held near its parent's edge scrolls the
// parent (edge push).
class DragWidget : public AnimationWidget {
public:
    enum Bounds { kNoBounds = 0, kInnerBounds = 1, kOuterBounds = 2 };

    // Inner bounds with all four box values -1 take the whole screen.
    DragWidget(float x, float y, Image* image, float opacity, int boundaryMode, int boundX,
               int boundY, int boundWidth, int boundHeight);

    // "none" 0, "inner" 1, "outer" 2; anything else `fallback`.
    static int BoundsFromWord(const std::wstring& word, int fallback);

    void Update() override;
    void DrawAll(Graphics* g, int parentFlags) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUpAt(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    bool HitTest(int x, int y) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    bool GetProperty(const std::wstring& name, ScriptValue& out) override;
    int StepsUntilDue() override;

    // Switching off during a drag ends it when `endRunningDrag` is set.
    void SetDraggable(bool draggable, bool endRunningDrag);
    void SetDelayedDragStart(bool delayed) { mDelayedDragStart = delayed; }
    // While dragged, also drives the parent drag widget's edge push.
    void SetPushesParent(bool pushes);
    void BeginDrag(int x, int y);
    void EndDrag();
    void EnableImmediateDrag() { mImmediateDrag = true; }
    void DisableImmediateDrag() { mImmediateDrag = false; }
    // A press that ended as a click.
    virtual void DragEnded(int /*x*/, int /*y*/) {}
    // The widget's own mouse moves drive its edge push.
    void SetPushable(bool pushable);
    // Below 0: half the widget (or screen) size; never more than that.
    void SetEdgeZone(bool horizontal, float value);
    void SetBounds(int mode, int x, int y, int width, int height);

    bool IsMousePressed() const { return mMousePressed; }
    bool IsDragging() const { return mDragging; }
    bool IsDraggable() const { return mDraggable; }
    bool IsImmediateDrag() const { return mImmediateDrag; }
    bool PushesParent() const { return mPushesParent; }
    bool IsPushable() const { return mPushable; }

    // Moves so the local pointer (x, y) stays on the grab point, within bounds.
    void DragTo(int x, int y);
    // Edge push from a pointer in this widget's coordinates.
    void PushFromEdge(int x, int y);
    float GetSlideVelocityX() const { return mSlideVX; }
    float GetSlideVelocityY() const { return mSlideVY; }

    int mBoundaryMode = kNoBounds;
    int mBoundX = -1, mBoundY = -1, mBoundWidth = -1, mBoundHeight = -1;
    bool mMomentum = false;
    bool mFlingable = false;
    bool mCanDragPastBoundaryX = false;
    bool mCanDragPastBoundaryY = false;
    float mEdgePushSpeed = 5.0f;

private:
    // The allowed range of x (or y) in the parent; false in mode 0.
    bool Range(bool horizontal, int& low, int& high) const;
    // Clamps each axis that the bounds hold; true when anything moved.
    bool ClampIntoRange(int* overshootX, int* overshootY);
    DragWidget* ParentDragWidget() const;
    void StopParentPush();
    void Fling(int x, int y, int lastMoveX, int lastMoveY);
    FPoint PointInParent(int x, int y) const;

    bool mDraggable = true;
    bool mDragging = false;
    bool mPushesParent = false;
    int mGrabX = 0, mGrabY = 0;
    bool mDelayedDragStart = false;
    int mDragTicks = 0;
    int mLastMoveX = 0, mLastMoveY = 0;
    bool mPushable = false;
    float mEdgeZoneX = 0.0f, mEdgeZoneY = 0.0f;
    bool mBoundsAreScreen = false;
    float mSlideVX = 0.0f, mSlideVY = 0.0f;
    bool mMousePressed = false;
    bool mImmediateDrag = false;
    int mPressX = -1, mPressY = -1;
    float mDragDistance = 0.0f;
    bool mDrawnOnce = false;
};
