#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Color.h"
#include "core/Geometry.h"
#include "core/Matrix4.h"
#include "widgets/Controller.h"
#include "widgets/Listeners.h"
#include "widgets/Widget.h"

class Image;
class ImageSurface;
class ShaderProgram;

// Dirty bits of OnPropertyChanged.
namespace DirtyFlags {
enum : int {
    Position = 1,
    Transform = 2,
    Colour = 4,
    Clip = 8,
    All = Position | Transform | Colour | Clip,
};
}

// Frame cycling of an image (or of a mask image): which frames, how fast,
// how often and in which order.
struct FrameCycle {
    bool mActive = false;
    float mRate = 1.0f;   // steps per frame
    float mTimer = 0.0f;  // time spent in the current frame
    int mMin = 0;
    int mMax = -1;        // below mMin: up to the last frame
    int mCycles = -1;     // passes left, -1 for ever
    float mCrossFade = 0.0f;  // steps at the end of a frame that blend into the next
    int mDirection = 1;   // 1 forward, -1 back, 0 back and forth, 2 random
    int mStep = 1;        // the present direction of a back-and-forth cycle
    std::vector<int> mSequence;  // explicit order when not empty
    int mSequenceIndex = 0;
};

// Whether the widget being drawn now sits under an ancestor that draws its
// subtree through a transform of its own.
bool DrawingUnderInheritedTransform();

// An image on screen whose float properties (position, angle, scale, colour,
// shear ...) are driven by controllers, oscillations and clamps. Property
// lookups by name give raw pointers into the widget, resolved once by each
// modifier. Coordinates given to the input hooks are local and untransformed.
class DynamicWidget : public Widget, public AnimationListener {
public:
    // The absolute value of the opacity is used; the size is the image's cel
    // size (0 by 0 without one).
    DynamicWidget(float x, float y, Image* image = nullptr, float opacity = 1.0f);
    ~DynamicWidget() override;

    // --- Properties ------------------------------------------------------------
    // The settable float properties are one table (DynamicWidget.cpp), the
    // same for every widget class: a name's slot is its place in it, fixed
    // for the run, so script records resolve their names when they load.
    static int FindPropertySlot(std::wstring_view name);  // -1 when unknown
    static int GetPropertyCount();
    static const wchar_t* GetPropertyName(int slot);  // null for no slot
    // The float field of a settable property, null when the slot or the name
    // is unknown.
    float* GetPropertyPointerAt(int slot);
    float* GetPropertyPointer(const std::wstring& name);
    // The dirty bits a property's change needs (all bits for unknown names).
    static int PropertyDirtyFlagsAt(int slot);
    static int PropertyDirtyFlags(const std::wstring& name);
    // Sets one by name and notifies; false when unknown.
    bool SetPropertyValue(const std::wstring& name, float value);
    // As a script sets a base value: modifiers undone, value set, modifiers
    // re-applied without advancing.
    bool SetBasePropertyValue(const std::wstring& name, float value);
    float GetPropertyValue(const std::wstring& name, float fallback = 0.0f);
    virtual void OnPropertyChanged(int dirtyMask);

    // --- ScriptObject ------------------------------------------------------------
    bool GetScriptProperty(const std::wstring& name, ScriptValue& out) override;
    bool ReadFloatProperty(const std::wstring& name, float& out) override;
    bool WriteFloatProperty(const std::wstring& name, float value) override;
    // Values of the class beyond the float properties ("width", "frame" ...).
    virtual bool GetNamedProperty(const std::wstring& name, ScriptValue& out);

    // --- Image and frames --------------------------------------------------------
    // Takes the cel size, resets an out-of-range frame to 0, marks dirty.
    // A previously owned image is deleted (unless it is the new one).
    void SetImage(Image* image);
    // The same, and the widget deletes the image when done with it.
    void SetOwnedImage(Image* image);
    Image* GetImage() const { return mImage; }
    // The image as a surface the widget owns and may draw into (a copy of the
    // current cel when the widget does not own an ImageSurface yet).
    virtual ImageSurface* GetOwnImageSurface();
    // The image becomes a child image of `source` (the current image when
    // null), owned by the widget.
    void SetChildImage(Image* source);
    int GetFrameCount() const;
    void SetFrame(int frame);
    int GetFrame() const { return mFrame; }
    void SetMaskImage(Image* image) { mMaskImage = image; MarkDirty(); }
    Image* GetMaskImage() const { return mMaskImage; }
    void SetMaskFrame(int frame);
    int GetMaskFrame() const { return mMaskFrame; }
    void FadeToFrame(int frame, float time, EasingCurve* curve);
    bool IsFadingFrames() const { return mFadeFrame >= 0; }
    void CycleFrames(float rate, int min, int max, int cycles, float timer, float crossFade,
                     int direction, const std::vector<int>& sequence);
    void CycleMaskFrames(float rate, int min, int max, int cycles, float timer, float crossFade,
                         int direction, const std::vector<int>& sequence);
    void StopCycling() { mCycle.mActive = false; }
    // Hides and shows the widget every `interval` steps for `cycles` blinks
    // (0 or less: for ever), starting after the timer (negative) reaches 0.
    void StartBlinking(int timerStart, int cycles, int interval);
    bool IsBlinking() const { return mBlinking; }

    // --- Drawing settings --------------------------------------------------------
    void SetRecursiveTransform(bool on) { mRecursiveTransform = on; MarkDirty(); }
    // 0 none, 1 "postrender", 2 "inherit".
    void SetRecursiveColor(int mode) { mRecursiveColor = mode; MarkDirty(); }
    void SetTessellation(int rows, int cols);
    void SetShader(ShaderProgram* shader) { mShader = shader; MarkDirty(); }
    void SetMaskRect(const FRect& rect, bool enabled);
    // Cached rendering: the widget and its children are drawn once into a
    // surface that is shown until the widget is marked dirty. Off frees it.
    void SetCached(bool on, bool immediate);
    bool IsCached() const { return mCached; }
    void SetRotationAxis(float x, float y, float z);
    // 268435456 (kKeepCoordinate) keeps a coordinate as it is.
    static constexpr float kKeepCoordinate = 268435456.0f;
    void SetCenter(float x, float y, float z = kKeepCoordinate);
    FPoint GetCenter() const;
    // Flips the image horizontally, or vertically; flipping twice restores it.
    void Flip(bool vertical);

    // --- Busy state and when-done requests -------------------------------------------
    // Whether the widget still moves on its own (counted controllers, a frame
    // fade, a finite cycle or blink; a running script for scripted widgets).
    virtual bool IsBusy();
    // Each acts at once on an idle widget; otherwise it waits for the widget
    // to go idle. False cancels a stored request.
    void SetRemoveWhenDone(bool on);
    void SetHideWhenDone(bool on);
    void SetStopCrossfadeWhenDone(bool on);
    void SetStopRecursionWhenDone(bool on);
    // Acts on stored requests when the widget is idle.
    void CheckWhenDone();
    void ChangeCountedControllers(int delta) { mCountedControllers += delta; }
    int GetCountedControllers() const { return mCountedControllers; }

    // --- Modifiers -------------------------------------------------------------------
    // Takes ownership; a controller under the same name is deleted first.
    Controller* AddController(Controller* controller);
    void StopController(const std::wstring& name);
    void StopAllControllers();
    bool HasController(const std::wstring& name) const;
    Controller* GetController(const std::wstring& name) const;
    size_t GetControllerCount() const { return mControllers.size(); }
    PropertyOscillation* AddOscillation(PropertyOscillation* oscillation);
    void StopOscillation(const std::wstring& name, bool undo);
    void StopAllOscillations(bool undo);
    bool HasOscillation(const std::wstring& name) const;
    PropertyClamp* AddClamp(PropertyClamp* clamp);
    void StopClamp(const std::wstring& name, bool undo);
    void StopAllClamps(bool undo);
    bool HasClamp(const std::wstring& name) const;
    // Undo: clamps give back, then oscillations subtract. Apply(dt):
    // oscillations advance and add, then clamps save and clamp.
    void UndoModifiers();
    void ApplyModifiers(float dt);
    // One frame of the modifiers: undo, step the controllers, apply.
    void StepModifiers(float dt);

    // --- Motions -------------------------------------------------------------------
    // A tween of one property from its current value; null for an unknown
    // property. A null curve is linear. The curve is owned from here on.
    Controller* TweenProperty(const std::wstring& property, const std::wstring& name, float end,
                              float time, EasingCurve* curve = nullptr);
    // Along a parabola whose rise above the start lies between minDy and maxDy.
    Controller* ArcTo(int endX, int endY, float time, int maxDy, int minDy,
                      const std::wstring& name = L"");
    Controller* MoveInCircle(int centreX, int centreY, float angle, float time, EasingCurve* curve,
                             const std::wstring& name);
    Controller* StartShear(float xOffset, float yOffset, float decay, float accel, float speed,
                           float x, float y, const std::wstring& name);

    // --- Geometry ------------------------------------------------------------------
    FPoint LocalToParentPoint(float x, float y) const override;
    FPoint ParentToLocalPoint(float x, float y) const override;
    FRect LocalToParentRect(const FRect& rect) const override;
    using WidgetContainer::LocalToParentRect;
    FRect GetBoundingRect() const override;
    float GetBatchDepth() const override { return mZ; }
    // True when the widget draws through more than a translation.
    bool HasTransform() const;
    // Local (untransformed) coordinates to parent coordinates.
    const Transform& GetLocalTransform() const;

    // --- Widget ---------------------------------------------------------------------
    void Update() override;
    void UpdateF(float elapsedSteps) override;
    int StepsUntilDue() override;
    void Draw(Graphics* g) override;
    void DrawAll(Graphics* g, int parentFlags) override;
    bool HitTest(int x, int y) override;
    void MarkDirty() override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseUpAt(int x, int y, int clickCount) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;

    // --- Fields ---------------------------------------------------------------------
    // Float properties (colours 1.0 = full).
    float mZ = 0.0f;
    float mAngle = 0.0f;  // degrees, counter-clockwise on screen
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    float mOpacity = 1.0f;
    float mRed = 1.0f;
    float mGreen = 1.0f;
    float mBlue = 1.0f;
    float mAlpha = 1.0f;
    // Shear in pixels of displacement across the whole height (x) or width
    // (y), about a pivot offset from the centre.
    float mShearX = 0.0f;
    float mShearY = 0.0f;
    float mShearXOffset = 0.0f;
    float mShearYOffset = 0.0f;

    int mDrawMode = 0;       // 0 normal, 1 additive, 2 multiply, 3 overlay, 4 softlight, 5 subtractive, 10 none
    bool mCull = false;      // skip drawing when outside the screen
    bool mCheckPixels = true;  // hit test by the image's pixels
    bool mOwnsImage = false;
    FRect mMaskRect;
    bool mUseMaskRect = false;
    bool mRecursiveTransform = false;
    int mRecursiveColor = 0;
    bool mRecursiveClipping = false;
    bool mTileTexture = false;
    int mTessRows = 1;
    int mTessCols = 1;
    bool mTessellated = false;
    ShaderProgram* mShader = nullptr;
    Vector3 mRotationAxis{0.0f, 0.0f, 1.0f};
    Vector3 mCenter{kKeepCoordinate, kKeepCoordinate, 0.0f};  // kept: the image's centre
    bool mFlipX = false;
    bool mFlipY = false;
    ListenerRef<ButtonListener> mButtonListener;

protected:
    // The colour the image is drawn in (inherited colour applied).
    Color ComputeDrawColor() const;
    void StepCycle(FrameCycle& cycle, int& frame, int frameCount, float dt);
    void DrawImageCel(Graphics* g, int frame, const Color& color);
    void RenderCache();
    // The cel cut by the mask image's current frame (stretched over it), as a
    // surface the widget keeps; the cel itself without a mask.
    Image* MaskedCel(Graphics* g, Image* image, int& frame);
    bool OwnsController(const Controller* controller) const;
    void Retire(std::unique_ptr<Controller> controller);

    Image* mImage = nullptr;
    std::vector<std::unique_ptr<Image>> mRetiredImages;  // images a child image still shows
    int mFrame = 0;
    Image* mMaskImage = nullptr;
    int mMaskFrame = 0;
    FrameCycle mCycle;
    FrameCycle mMaskCycle;
    int mNextFrame = -1;       // frame blended in by a cycle's cross-fade
    float mNextFrameAmount = 0.0f;
    int mFadeFrame = -1;       // target of FadeToFrame
    float mFadeTime = 0.0f;
    float mFadeTimer = 0.0f;
    std::unique_ptr<EasingCurve> mFadeCurve;
    bool mBlinking = false;
    bool mBlinkHidden = false;
    int mBlinkTimer = 0;
    int mBlinkCycles = 0;
    int mBlinkInterval = 1;

    bool mCached = false;
    bool mCacheDirty = true;
    std::unique_ptr<ImageSurface> mCacheSurface;
    bool mRenderingCache = false;
    std::unique_ptr<ImageSurface> mMaskSurface;

    int mCountedControllers = 0;
    bool mWhenDoneRemove = false;
    bool mWhenDoneHide = false;
    bool mWhenDoneStopCrossfade = false;
    bool mWhenDoneStopRecursion = false;

    std::map<std::wstring, std::unique_ptr<Controller>> mControllers;
    std::map<std::wstring, std::unique_ptr<PropertyOscillation>> mOscillations;
    std::map<std::wstring, std::unique_ptr<PropertyClamp>> mClamps;
    std::vector<Controller*> mStepList;  // reused each frame
    uint64_t mControllerChanges = 0;     // adds and stops from outside the step
    bool mSteppingControllers = false;
    std::vector<std::unique_ptr<Controller>> mRetiredControllers;

    float mMouseVisibleValue = 1.0f;  // the "mouse_visible" property
    float mMouseVisibleSynced = 1.0f;

    // What the parent handed down for this draw (recursive transform/colour).
    Transform mParentTransform;
    bool mHasParentTransform = false;
    float mParentColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    bool mHasParentColor = false;

    mutable Transform mTransform;
    mutable bool mTransformDirty = true;
    mutable bool mHasTransform = false;
};
