#include "widgets/DragWidget.h"

#include <algorithm>
#include <cmath>

#include "data/Constants.h"
#include "render/Image.h"
#include "widgets/AppServices.h"
#include "widgets/Curves.h"
#include "widgets/DragButton.h"
#include "widgets/ScriptCommands.h"
#include "widgets/WidgetManager.h"

namespace {

// From this many ticks of a drag on, the widget follows the pointer every
// tick, so it keeps up while its parent scrolls underneath.
constexpr int kFollowPointerTicks = 30;
// A release whose squared speed is at most this does not fling.
constexpr int kMinFlingSpeed = 25;

float ConstantOr(const wchar_t* name, float fallback) {
    // Read without defining: a missing constant must stay missing.
    return IsConstantDefined(name) ? GetConstantFloat(name) : fallback;
}

int ScreenWidth() { return gAppServices ? gAppServices->GetWidth() : 1024; }
int ScreenHeight() { return gAppServices ? gAppServices->GetHeight() : 768; }

// Clamps value into [low, high] (low wins when the range is empty) and adds
// the part that was cut off to `overshoot`.
float ClampToBounds(float value, int low, int high, int* overshoot) {
    float result = value < static_cast<float>(low)    ? static_cast<float>(low)
                   : value > static_cast<float>(high) ? static_cast<float>(high)
                                                      : value;
    if (overshoot && result != value) *overshoot += static_cast<int>(value - result);
    return result;
}

ScriptStep SetBumpCommand(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    auto* drag = dynamic_cast<DragWidget*>(target);
    if (!drag) return ScriptStep::Next;
    auto value = [&](const wchar_t* name, int current) {
        return c.HasAttribute(name) ? w.GetIntAttribute(name) : current;
    };
    drag->SetBounds(DragWidget::BoundsFromWord(w.GetStringAttribute(L"bump"), drag->mBoundaryMode),
                    value(L"x", drag->mBoundX), value(L"y", drag->mBoundY),
                    value(L"width", drag->mBoundWidth), value(L"height", drag->mBoundHeight));
    return ScriptStep::Next;
}

[[maybe_unused]] const bool kCommandsRegistered = [] {
    ScriptCommandRegistry::Instance().AddBuiltIn(L"set-bump", ScriptCommandGroup::Targeted,
                                                 &SetBumpCommand);
    return true;
}();

}  // namespace

DragWidget::DragWidget(float x, float y, Image* image, float opacity, int boundaryMode, int boundX,
                       int boundY, int boundWidth, int boundHeight)
    : AnimationWidget(x, y, image, opacity),
      mBoundaryMode(boundaryMode),
      mBoundX(boundX),
      mBoundY(boundY),
      mBoundWidth(boundWidth),
      mBoundHeight(boundHeight) {
    if (boundaryMode == kInnerBounds && boundX == -1 && boundY == -1 && boundWidth == -1 &&
        boundHeight == -1) {
        mBoundX = mBoundY = 0;
        mBoundWidth = ScreenWidth();
        mBoundHeight = ScreenHeight();
        mBoundsAreScreen = true;
    }
    DragButton::ClickThreshold();
    mEdgeZoneX = 0.25f * static_cast<float>(mBoundsAreScreen ? mBoundWidth : mWidth);
    mEdgeZoneY = 0.25f * static_cast<float>(mBoundsAreScreen ? mBoundHeight : mHeight);
    mMouseVisible = true;
    mHandCursor = true;
}

int DragWidget::BoundsFromWord(const std::wstring& word, int fallback) {
    if (word == L"none") return kNoBounds;
    if (word == L"inner") return kInnerBounds;
    if (word == L"outer") return kOuterBounds;
    return fallback;
}

void DragWidget::SetBounds(int mode, int x, int y, int width, int height) {
    mBoundaryMode = mode;
    mBoundX = x;
    mBoundY = y;
    mBoundWidth = width;
    mBoundHeight = height;
    MarkDirty();
}

// --- Settings ---------------------------------------------------------------------------

void DragWidget::SetDraggable(bool draggable, bool endRunningDrag) {
    if (draggable == mDraggable) return;
    if (!draggable && mDragging && endRunningDrag) EndDrag();
    mDraggable = draggable;
}

void DragWidget::SetPushesParent(bool pushes) {
    if (!pushes) StopParentPush();
    mPushesParent = pushes;
}

void DragWidget::SetPushable(bool pushable) {
    mPushable = pushable;
    mSlideVX = mSlideVY = 0.0f;
}

void DragWidget::SetEdgeZone(bool horizontal, float value) {
    const float half = 0.5f * static_cast<float>(horizontal ? std::min(mWidth, ScreenWidth())
                                                            : std::min(mHeight, ScreenHeight()));
    (horizontal ? mEdgeZoneX : mEdgeZoneY) = value < 0.0f ? half : std::min(value, half);
}

DragWidget* DragWidget::ParentDragWidget() const { return dynamic_cast<DragWidget*>(mParent); }

void DragWidget::StopParentPush() {
    if (!mPushesParent) return;
    if (DragWidget* parent = ParentDragWidget()) parent->mSlideVX = parent->mSlideVY = 0.0f;
}

// --- Bounds -------------------------------------------------------------------------------

bool DragWidget::Range(bool horizontal, int& low, int& high) const {
    if (mBoundaryMode != kInnerBounds && mBoundaryMode != kOuterBounds) return false;
    const int start = horizontal ? mBoundX : mBoundY;
    const int far = start + (horizontal ? mBoundWidth - mWidth : mBoundHeight - mHeight);
    low = mBoundaryMode == kInnerBounds ? far : start;
    high = mBoundaryMode == kInnerBounds ? start : far;
    return true;
}

bool DragWidget::ClampIntoRange(int* overshootX, int* overshootY) {
    int low = 0, high = 0;
    float x = mX, y = mY;
    if (!mCanDragPastBoundaryX && Range(true, low, high)) x = ClampToBounds(x, low, high, overshootX);
    if (!mCanDragPastBoundaryY && Range(false, low, high)) y = ClampToBounds(y, low, high, overshootY);
    if (x == mX && y == mY) return false;
    Move(x, y);
    return true;
}

// --- Dragging -------------------------------------------------------------------------------

FPoint DragWidget::PointInParent(int x, int y) const {
    FRect p = LocalToParentRect(FRect(static_cast<float>(x), static_cast<float>(y), 1.0f, 1.0f));
    return FPoint(std::trunc(p.mX), std::trunc(p.mY));
}

void DragWidget::BeginDrag(int x, int y) {
    FPoint p = PointInParent(x, y);
    mGrabX = static_cast<int>(p.mX - mX);
    mGrabY = static_cast<int>(p.mY - mY);
    mDragTicks = 0;
    mDragging = true;
    mLastMoveX = mLastMoveY = 0;
}

void DragWidget::EndDrag() {
    StopParentPush();
    mDragTicks = 0;
    mDragging = false;
    mLastMoveX = mLastMoveY = 0;
}

void DragWidget::DragTo(int x, int y) {
    const FPoint p = PointInParent(x, y);
    const float oldX = mX, oldY = mY;
    const float wantedX = p.mX - static_cast<float>(mGrabX) - oldX;
    const float wantedY = p.mY - static_cast<float>(mGrabY) - oldY;
    Move(oldX + wantedX, oldY + wantedY);
    // The blocked part of the move shifts the grab point, so the widget
    // follows at once when the pointer turns back.
    ClampIntoRange(&mGrabX, &mGrabY);
    MarkDirty();
    if (mPushesParent) {
        // The pointer where it was taken, before this widget moved under it.
        if (DragWidget* parent = ParentDragWidget())
            parent->PushFromEdge(static_cast<int>(p.mX), static_cast<int>(p.mY));
    }
    mLastMoveX = static_cast<int>(mX - oldX);
    mLastMoveY = static_cast<int>(mY - oldY);
    mDragDistance += std::sqrt(static_cast<float>(mLastMoveX * mLastMoveX + mLastMoveY * mLastMoveY));
    if (mPressX >= 0 && static_cast<int>(wantedX) != mLastMoveX)
        mPressX += static_cast<int>(wantedX) - mLastMoveX;
    if (mPressY >= 0 && static_cast<int>(wantedY) != mLastMoveY)
        mPressY += static_cast<int>(wantedY) - mLastMoveY;
}

void DragWidget::PushFromEdge(int px, int py) {
    if (!mDraggable) return;
    mSlideVX = mSlideVY = 0.0f;
    auto velocity = [&](float pointer, float zone, float position, int size, int screen) {
        if (zone <= 0.0f) return 0.0f;  // no zone, no push
        // The zones lie at the screen's edges when the box is the screen,
        // else at the widget's own edges.
        const float low = mBoundsAreScreen ? zone - position : zone;
        const float high = mBoundsAreScreen ? static_cast<float>(screen) - zone - position
                                            : static_cast<float>(size) - zone;
        float v = pointer < low ? (low - pointer) / zone : pointer > high ? (high - pointer) / zone : 0.0f;
        return std::clamp(v, -1.0f, 1.0f) * mEdgePushSpeed;
    };
    mSlideVX = velocity(static_cast<float>(px), mEdgeZoneX, mX, mWidth, ScreenWidth());
    mSlideVY = velocity(static_cast<float>(py), mEdgeZoneY, mY, mHeight, ScreenHeight());
}

// --- Widget ---------------------------------------------------------------------------------

void DragWidget::Update() {
    AnimationWidget::Update();
    if (mDraggable && mDragging) {
        if (mDragTicks++ >= kFollowPointerTicks && mWidgetManager) {
            Point screen = mWidgetManager->GetPointerPosition(0);
            FPoint local = ScreenToLocalPoint(static_cast<float>(screen.mX), static_cast<float>(screen.mY));
            DragTo(static_cast<int>(local.mX), static_cast<int>(local.mY));
        }
    }
    if (mDragging || (mSlideVX == 0.0f && mSlideVY == 0.0f)) return;
    int low = 0, high = 0;
    float x = mX + mSlideVX, y = mY + mSlideVY;
    if (Range(true, low, high)) x = ClampToBounds(x, low, high, nullptr);
    if (Range(false, low, high)) y = ClampToBounds(y, low, high, nullptr);
    Move(x, y);
    MarkDirty();
}

int DragWidget::StepsUntilDue() {
    if (mDragging || mSlideVX != 0.0f || mSlideVY != 0.0f) return 0;
    return AnimationWidget::StepsUntilDue();
}

void DragWidget::DrawAll(Graphics* g, int parentFlags) {
    // Bounds are re-applied before the widget is placed, so this frame shows
    // it (and its children) where it belongs.
    if (mDrawnOnce) {
        const float oldX = mX, oldY = mY;
        if (ClampIntoRange(nullptr, nullptr)) {
            if (mX != oldX && HasController(L"drag_slide_x")) StopController(L"drag_slide_x");
            if (mY != oldY && HasController(L"drag_slide_y")) StopController(L"drag_slide_y");
        }
    }
    AnimationWidget::DrawAll(g, parentFlags);
    mDrawnOnce = true;
}

void DragWidget::MouseMove(int x, int y) {
    AnimationWidget::MouseMove(x, y);
    if (mDragging) DragTo(x, y);
    if (mPushable) PushFromEdge(x, y);
}

void DragWidget::MouseDrag(int x, int y) {
    if (mDragging) DragTo(x, y);
}

void DragWidget::MouseDown(int x, int y, int clickCount) {
    mMousePressed = true;
    AnimationWidget::MouseDown(x, y, clickCount);
    StopController(L"drag_slide_x");
    StopController(L"drag_slide_y");
    if (mDraggable && !mDragging && clickCount == 1 && (!mDelayedDragStart || mImmediateDrag))
        BeginDrag(x, y);
    mDragDistance = 0.0f;
    mPressX = x;
    mPressY = y;
}

void DragWidget::MouseUpAt(int x, int y, int clickCount) {
    const bool wasPressed = mMousePressed;
    mMousePressed = false;
    AnimationWidget::MouseUpAt(x, y, clickCount);
    if (wasPressed) {
        int low = 0, high = 0;
        bool blocked = false;
        if (Range(true, low, high)) blocked |= ClampToBounds(mX, low, high, nullptr) != mX;
        if (Range(false, low, high)) blocked |= ClampToBounds(mY, low, high, nullptr) != mY;
        const bool click = mDragDistance <= DragButton::ClickThreshold() && !blocked;
        if (click) {
            DragEnded(x, y);
            mImmediateDrag = true;
        }
        const bool wasDragging = mDragging;
        const int lastMoveX = mLastMoveX, lastMoveY = mLastMoveY;
        if (mDragging) EndDrag();
        if (mMomentum && !click && wasDragging) Fling(x, y, lastMoveX, lastMoveY);
    }
    mDragDistance = 0.0f;
    mPressX = mPressY = -1;
}

void DragWidget::Fling(int x, int y, int lastMoveX, int lastMoveY) {
    const float dX = static_cast<float>(x - mPressX), dY = static_cast<float>(y - mPressY);
    const int q = static_cast<int>(dX * dX + dY * dY);
    float fx = 0.5f * (dX + static_cast<float>(lastMoveX));
    float fy = 0.5f * (dY + static_cast<float>(lastMoveY));
    const int s = static_cast<int>(0.5f * static_cast<float>(lastMoveX * lastMoveX + lastMoveY * lastMoveY + q));
    if (s <= kMinFlingSpeed) fx = fy = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    if (mFlingable) {
        const float threshold = ConstantOr(L"post_drag_fling_threshold", 0.05f);
        const float multiplier = ConstantOr(L"post_drag_fling_multiplier", 4.0f);
        const float rx = 1.0f + std::fabs(fx) / static_cast<float>(ScreenWidth()) - threshold;
        const float ry = 1.0f + std::fabs(fy) / static_cast<float>(ScreenHeight()) - threshold;
        if (rx > 1.0f) scaleX = rx * multiplier;
        if (ry > 1.0f) scaleY = ry * multiplier;
    }
    const float distance = ConstantOr(L"post_drag_slide_distance", 15.0f);
    const float time = ConstantOr(L"post_drag_slide_time", 70.0f);
    float targetX = mX + distance * fx * scaleX, targetY = mY + distance * fy * scaleY;
    int low = 0, high = 0;
    if (Range(true, low, high)) targetX = ClampToBounds(targetX, low, high, nullptr);
    if (Range(false, low, high)) targetY = ClampToBounds(targetY, low, high, nullptr);
    if (targetX != mX) TweenProperty(L"x", L"drag_slide_x", targetX, time, MakeCurve(L"out_quad"));
    if (targetY != mY) TweenProperty(L"y", L"drag_slide_y", targetY, time, MakeCurve(L"out_quad"));
}

bool DragWidget::HitTest(int x, int y) {
    if (mDragging) return true;
    const bool hit = AnimationWidget::HitTest(x, y);
    if (mCheckPixels && mImage && mImage->IsSimple()) return hit;
    ScriptValue ox, oy, w, h;
    GetProperty(L"bounding_box_offset_x", ox);
    GetProperty(L"bounding_box_offset_y", oy);
    GetProperty(L"bounding_box_width", w);
    GetProperty(L"bounding_box_height", h);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    return hit && fx >= ox.ToFloat() && fy >= oy.ToFloat() && fx <= ox.ToFloat() + w.ToFloat() &&
           fy <= oy.ToFloat() + h.ToFloat();
}

void DragWidget::RemovedFromParent(WidgetContainer* parent) {
    if (mPushesParent)
        if (auto* dragParent = dynamic_cast<DragWidget*>(parent))
            dragParent->mSlideVX = dragParent->mSlideVY = 0.0f;
    AnimationWidget::RemovedFromParent(parent);
}

bool DragWidget::GetProperty(const std::wstring& name, ScriptValue& out) {
    if (name == L"draggable") return out = ScriptValue(mDraggable), true;
    if (name == L"dragging") return out = ScriptValue(mDragging), true;
    if (name == L"pushable") return out = ScriptValue(mPushable), true;
    if (name.rfind(L"bounding_box_", 0) == 0) {
        // The current frame's rectangle from the frame table, else the widget.
        ImageFrame box{0, 0, mWidth, mHeight};
        if (mImage && mImage->HasFrameTable()) {
            const auto& frames = mImage->GetFrames();
            box = frames[static_cast<size_t>(std::clamp(mFrame, 0, static_cast<int>(frames.size()) - 1))];
        }
        const std::wstring_view key = std::wstring_view(name).substr(13);
        const float values[] = {static_cast<float>(box.mOffsetX), static_cast<float>(box.mOffsetY),
                                static_cast<float>(box.mWidth), static_cast<float>(box.mHeight),
                                box.mOffsetX + 0.5f * box.mWidth, box.mOffsetY + 0.5f * box.mHeight};
        const wchar_t* keys[] = {L"offset_x", L"offset_y", L"width", L"height", L"center_x", L"center_y"};
        for (size_t i = 0; i < 6; ++i)
            if (key == keys[i]) return out = ScriptValue(values[i]), true;
    }
    return AnimationWidget::GetProperty(name, out);
}
