#include "widgets/DynamicWidget.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Random.h"
#include "data/Constants.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {

// The settable float properties: the one list of the names that scripts
// set, tween, push, bind, oscillate and clamp, and that the animation loader
// checks script records against. A name's slot is its place here. "x" and
// "y" are the Widget's position; "mouse_visible" mirrors the mouse flag and
// has no field in the table (GetPropertyPointerAt syncs it first).
struct PropertyEntry {
    const wchar_t* mName;
    float DynamicWidget::*mField;
    int mDirty;
};

constexpr int kMouseVisibleSlot = 2;

const PropertyEntry kProperties[] = {
    {L"x", &DynamicWidget::mX, DirtyFlags::Position},
    {L"y", &DynamicWidget::mY, DirtyFlags::Position},
    {L"mouse_visible", nullptr, DirtyFlags::All},
    {L"z", &DynamicWidget::mZ, DirtyFlags::Transform},
    {L"angle", &DynamicWidget::mAngle, DirtyFlags::Transform},
    {L"scale_x", &DynamicWidget::mScaleX, DirtyFlags::Transform},
    {L"scale_y", &DynamicWidget::mScaleY, DirtyFlags::Transform},
    {L"opacity", &DynamicWidget::mOpacity, DirtyFlags::Colour},
    {L"red", &DynamicWidget::mRed, DirtyFlags::Colour},
    {L"green", &DynamicWidget::mGreen, DirtyFlags::Colour},
    {L"blue", &DynamicWidget::mBlue, DirtyFlags::Colour},
    {L"alpha", &DynamicWidget::mAlpha, DirtyFlags::Colour},
    {L"shear_x", &DynamicWidget::mShearX, DirtyFlags::Transform},
    {L"shear_y", &DynamicWidget::mShearY, DirtyFlags::Transform},
    {L"shear_x_offset", &DynamicWidget::mShearXOffset, DirtyFlags::Transform},
    {L"shear_y_offset", &DynamicWidget::mShearYOffset, DirtyFlags::Transform},
};

constexpr int kPropertyCount = static_cast<int>(sizeof(kProperties) / sizeof(kProperties[0]));

bool IsSlot(int slot) { return slot >= 0 && slot < kPropertyCount; }

// Transforms handed down by widgets that draw their subtree through their
// own transform: each maps the local coordinates of the widget that pushed
// it to target coordinates. Drawing is main-thread only.
std::vector<Transform> gInheritedTransforms;
// Colour multipliers handed down by widgets with a recursive colour.
struct ColorScale {
    float r, g, b, a;
};
std::vector<ColorScale> gInheritedColors;

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

int ToChannel(float v) { return static_cast<int>(Clamp01(v) * 255.0f + 0.5f); }

}  // namespace

bool DrawingUnderInheritedTransform() { return !gInheritedTransforms.empty(); }

// --- Construction ----------------------------------------------------------

DynamicWidget::DynamicWidget(float x, float y, Image* image, float opacity) {
    mX = x;
    mY = y;
    mOpacity = std::fabs(opacity);
    mMouseVisibleValue = mMouseVisibleSynced = mMouseVisible ? 1.0f : 0.0f;
    SetImage(image);
}

DynamicWidget::~DynamicWidget() {
    // Modifiers first: a counted controller reports back to this widget.
    mControllers.clear();
    mRetiredControllers.clear();
    mOscillations.clear();
    mClamps.clear();
    if (mOwnsImage) delete mImage;
    mImage = nullptr;
}

// --- Properties --------------------------------------------------------------

int DynamicWidget::FindPropertySlot(std::wstring_view name) {
    for (int slot = 0; slot < kPropertyCount; ++slot)
        if (name == kProperties[slot].mName) return slot;
    return -1;
}

int DynamicWidget::GetPropertyCount() { return kPropertyCount; }

const wchar_t* DynamicWidget::GetPropertyName(int slot) {
    return IsSlot(slot) ? kProperties[slot].mName : nullptr;
}

float* DynamicWidget::GetPropertyPointerAt(int slot) {
    if (slot == kMouseVisibleSlot) {
        // The flag may have been set directly since the last lookup.
        mMouseVisibleValue = mMouseVisibleSynced = mMouseVisible ? 1.0f : 0.0f;
        return &mMouseVisibleValue;
    }
    return IsSlot(slot) ? &(this->*kProperties[slot].mField) : nullptr;
}

float* DynamicWidget::GetPropertyPointer(const std::wstring& name) {
    return GetPropertyPointerAt(FindPropertySlot(name));
}

int DynamicWidget::PropertyDirtyFlagsAt(int slot) {
    return IsSlot(slot) ? kProperties[slot].mDirty : DirtyFlags::All;
}

int DynamicWidget::PropertyDirtyFlags(const std::wstring& name) {
    return PropertyDirtyFlagsAt(FindPropertySlot(name));
}

bool DynamicWidget::SetPropertyValue(const std::wstring& name, float value) {
    float* field = GetPropertyPointer(name);
    if (!field) return false;
    *field = value;
    OnPropertyChanged(PropertyDirtyFlags(name));
    return true;
}

bool DynamicWidget::SetBasePropertyValue(const std::wstring& name, float value) {
    float* field = GetPropertyPointer(name);
    if (!field) return false;
    UndoModifiers();
    *field = value;
    ApplyModifiers(0.0f);
    OnPropertyChanged(PropertyDirtyFlags(name));
    return true;
}

float DynamicWidget::GetPropertyValue(const std::wstring& name, float fallback) {
    float* field = GetPropertyPointer(name);
    return field ? *field : fallback;
}

void DynamicWidget::OnPropertyChanged(int dirtyMask) {
    if (mMouseVisibleValue != mMouseVisibleSynced) {
        mMouseVisible = mMouseVisibleValue != 0.0f;
        mMouseVisibleSynced = mMouseVisibleValue;
    }
    if (dirtyMask & (DirtyFlags::Transform | DirtyFlags::Position)) mTransformDirty = true;
    Widget::MarkDirty();
}

// --- ScriptObject ------------------------------------------------------------

bool DynamicWidget::GetNamedProperty(const std::wstring& name, ScriptValue& out) {
    if (name == L"width") {
        out = ScriptValue(mWidth);
    } else if (name == L"height") {
        out = ScriptValue(mHeight);
    } else if (name == L"id") {
        out = ScriptValue(mId);
    } else if (name == L"frame") {
        out = ScriptValue(mFrame);
    } else if (name == L"mask_frame") {
        out = ScriptValue(mMaskFrame);
    } else if (name == L"visible") {
        out = ScriptValue(mVisible);
    } else if (name == L"busy") {
        out = ScriptValue(IsBusy());
    } else if (name == L"depth") {
        out = ScriptValue(mZOrder);
    } else if (name == L"name") {
        out = ScriptValue(mName);
    } else {
        return false;
    }
    return true;
}

bool DynamicWidget::GetScriptProperty(const std::wstring& name, ScriptValue& out) {
    if (GetNamedProperty(name, out)) return true;
    float value;
    if (ReadFloatProperty(name, value)) {
        out = ScriptValue(value);
        return true;
    }
    return false;
}

bool DynamicWidget::ReadFloatProperty(const std::wstring& name, float& out) {
    float* field = GetPropertyPointer(name);
    if (!field) return false;
    out = *field;
    return true;
}

bool DynamicWidget::WriteFloatProperty(const std::wstring& name, float value) {
    return SetPropertyValue(name, value);
}

// --- Image and frames --------------------------------------------------------

void DynamicWidget::SetImage(Image* image) {
    if (image != mImage) {
        if (mOwnsImage) delete mImage;
        mOwnsImage = false;
    }
    mImage = image;
    if (mImage) {
        mWidth = mImage->GetCelWidth();
        mHeight = mImage->GetCelHeight();
    } else {
        mWidth = 0;
        mHeight = 0;
    }
    if (mFrame < 0 || mFrame >= GetFrameCount()) mFrame = 0;
    mTransformDirty = true;
    MarkDirty();
}

void DynamicWidget::SetOwnedImage(Image* image) {
    SetImage(image);
    mOwnsImage = image != nullptr;
}

int DynamicWidget::GetFrameCount() const {
    if (!mImage) return 0;
    int frames = static_cast<int>(mImage->GetFrames().size());
    return std::max(frames, mImage->GetCelCount());
}

ImageSurface* DynamicWidget::GetOwnImageSurface() {
    if (mOwnsImage) {
        if (auto* surface = dynamic_cast<ImageSurface*>(mImage); surface && mImage->IsSimple())
            return surface;
    }
    ImageData data;
    data.mWidth = std::max(mWidth, 1);
    data.mHeight = std::max(mHeight, 1);
    data.mBits.assign(static_cast<size_t>(data.mWidth) * data.mHeight, 0);
    if (mImage) {
        // A CPU copy of the current cel: works without a GPU and keeps
        // exactly the pixels the widget showed.
        ImageSurface* source = mImage->GetSurface();
        if (source) {
            const ImageData& pixels = source->GetImageData();
            Rect surfaceRect = mImage->GetSurfaceRect();
            Rect cel = mImage->GetCelRect(mFrame);
            for (int y = 0; y < data.mHeight && y < cel.mHeight; ++y) {
                int sy = surfaceRect.mY + cel.mY + y;
                if (sy < 0 || sy >= pixels.mHeight) continue;
                for (int x = 0; x < data.mWidth && x < cel.mWidth; ++x) {
                    int sx = surfaceRect.mX + cel.mX + x;
                    if (sx < 0 || sx >= pixels.mWidth) continue;
                    data.mBits[static_cast<size_t>(y) * data.mWidth + x] =
                        pixels.mBits[static_cast<size_t>(sy) * pixels.mWidth + sx];
                }
            }
        }
    }
    auto* surface = new ImageSurface(std::move(data));
    mFrame = 0;
    SetOwnedImage(surface);
    return surface;
}

void DynamicWidget::SetChildImage(Image* source) {
    if (!source) source = mImage;
    if (!source) return;
    auto* child = new ImageChild(source, Rect(0, 0, source->GetWidth(), source->GetHeight()));
    child->mNumCols = source->mNumCols;
    child->mNumRows = source->mNumRows;
    child->SetFrames(source->GetFrames());
    // The child shows the pixels of its source: an owned source must outlive it.
    if (source == mImage && mOwnsImage) {
        mRetiredImages.emplace_back(mImage);
        mOwnsImage = false;
    }
    SetOwnedImage(child);
}

void DynamicWidget::SetFrame(int frame) {
    int count = GetFrameCount();
    mFrame = (frame >= 0 && frame < count) ? frame : 0;
    MarkDirty();
}

void DynamicWidget::SetMaskFrame(int frame) {
    mMaskFrame = frame < 0 ? 0 : frame;
    MarkDirty();
}

void DynamicWidget::FadeToFrame(int frame, float time, EasingCurve* curve) {
    mFadeCurve.reset(curve ? curve : new Linear());
    if (frame < 0 || frame >= GetFrameCount()) frame = 0;
    if (time <= 0.0f || frame == mFrame) {
        mFadeFrame = -1;
        SetFrame(frame);
        return;
    }
    mFadeFrame = frame;
    mFadeTime = time;
    mFadeTimer = 0.0f;
    MarkDirty();
}

namespace {
void StartCycle(FrameCycle& cycle, float rate, int min, int max, int cycles, float timer,
                float crossFade, int direction, const std::vector<int>& sequence) {
    cycle.mActive = cycles != 0;
    cycle.mRate = rate > 0.0f ? rate : 1.0f;
    cycle.mTimer = timer > 0.0f ? timer : 0.0f;
    cycle.mMin = min < 0 ? 0 : min;
    cycle.mMax = max;
    cycle.mCycles = cycles;
    cycle.mCrossFade = crossFade > 0.0f ? std::min(crossFade, cycle.mRate) : 0.0f;
    cycle.mDirection = direction;
    cycle.mStep = direction < 0 ? -1 : 1;
    cycle.mSequence = sequence;
    cycle.mSequenceIndex = 0;
}
}  // namespace

void DynamicWidget::CycleFrames(float rate, int min, int max, int cycles, float timer,
                                float crossFade, int direction, const std::vector<int>& sequence) {
    StartCycle(mCycle, rate, min, max, cycles, timer, crossFade, direction, sequence);
    if (!mCycle.mSequence.empty()) SetFrame(mCycle.mSequence[0]);
}

void DynamicWidget::CycleMaskFrames(float rate, int min, int max, int cycles, float timer,
                                    float crossFade, int direction,
                                    const std::vector<int>& sequence) {
    StartCycle(mMaskCycle, rate, min, max, cycles, timer, crossFade, direction, sequence);
    if (!mMaskCycle.mSequence.empty()) SetMaskFrame(mMaskCycle.mSequence[0]);
}

void DynamicWidget::StepCycle(FrameCycle& cycle, int& frame, int frameCount, float dt) {
    if (!cycle.mActive || frameCount <= 0) return;
    int low = std::min(cycle.mMin, frameCount - 1);
    int high = (cycle.mMax < low || cycle.mMax >= frameCount) ? frameCount - 1 : cycle.mMax;
    cycle.mTimer += dt;
    // Bounded so a huge elapsed time cannot spin here.
    for (int guard = 0; cycle.mTimer >= cycle.mRate && cycle.mActive && guard < 1000; ++guard) {
        cycle.mTimer -= cycle.mRate;
        bool passEnded = false;
        if (!cycle.mSequence.empty()) {
            if (++cycle.mSequenceIndex >= static_cast<int>(cycle.mSequence.size())) {
                cycle.mSequenceIndex = 0;
                passEnded = true;
            }
            frame = cycle.mSequence[cycle.mSequenceIndex];
            if (frame < 0 || frame >= frameCount) frame = 0;
        } else if (cycle.mDirection == 2) {
            frame = low + Rand(high - low + 1);
            passEnded = true;
        } else if (cycle.mDirection == 0) {
            int next = frame + cycle.mStep;
            if (next > high || next < low) {
                cycle.mStep = -cycle.mStep;
                next = frame + cycle.mStep;
                if (cycle.mStep > 0) passEnded = true;  // back at the low end
            }
            frame = std::clamp(next, low, high);
        } else if (cycle.mDirection < 0) {
            frame = frame - 1 < low ? high : frame - 1;
            passEnded = frame == high;
        } else {
            frame = frame + 1 > high ? low : frame + 1;
            passEnded = frame == low;
        }
        if (passEnded && cycle.mCycles > 0 && --cycle.mCycles == 0) {
            cycle.mActive = false;
            cycle.mTimer = 0.0f;
        }
    }
    MarkDirty();
}

void DynamicWidget::StartBlinking(int timerStart, int cycles, int interval) {
    mBlinking = true;
    mBlinkTimer = timerStart;
    mBlinkCycles = cycles;
    mBlinkInterval = interval > 0 ? interval : 1;
    mBlinkHidden = false;
}

// --- Drawing settings --------------------------------------------------------

void DynamicWidget::SetTessellation(int rows, int cols) {
    mTessRows = rows < 1 ? 1 : rows;
    mTessCols = cols < 1 ? 1 : cols;
    mTessellated = mTessRows > 1 || mTessCols > 1;
    MarkDirty();
}

void DynamicWidget::SetMaskRect(const FRect& rect, bool enabled) {
    mMaskRect = rect;
    mUseMaskRect = enabled;
    OnPropertyChanged(DirtyFlags::Clip);
    MarkDirty();
}

void DynamicWidget::SetCached(bool on, bool immediate) {
    mCached = on;
    mCacheDirty = true;
    if (!on) {
        mCacheSurface.reset();
        return;
    }
    if (immediate) RenderCache();
}

void DynamicWidget::SetRotationAxis(float x, float y, float z) {
    mRotationAxis = Vector3{x, y, z};
    mTransformDirty = true;
    MarkDirty();
}

void DynamicWidget::SetCenter(float x, float y, float z) {
    if (x != kKeepCoordinate) mCenter.x = x;
    if (y != kKeepCoordinate) mCenter.y = y;
    if (z != kKeepCoordinate) mCenter.z = z;
    mTransformDirty = true;
    MarkDirty();
}

FPoint DynamicWidget::GetCenter() const {
    float cx = mCenter.x == kKeepCoordinate ? mWidth / 2.0f : mCenter.x;
    float cy = mCenter.y == kKeepCoordinate ? mHeight / 2.0f : mCenter.y;
    return FPoint(cx, cy);
}

void DynamicWidget::Flip(bool vertical) {
    if (vertical)
        mFlipY = !mFlipY;
    else
        mFlipX = !mFlipX;
    mTransformDirty = true;
    MarkDirty();
}

// --- Busy state --------------------------------------------------------------

bool DynamicWidget::IsBusy() {
    if (mCountedControllers > 0 || mFadeFrame >= 0) return true;
    if (mCycle.mActive && mCycle.mCycles > 0) return true;
    if (mMaskCycle.mActive && mMaskCycle.mCycles > 0) return true;
    return mBlinking && mBlinkCycles > 0;
}

void DynamicWidget::SetRemoveWhenDone(bool on) {
    mWhenDoneRemove = on;
    CheckWhenDone();
}

void DynamicWidget::SetHideWhenDone(bool on) {
    mWhenDoneHide = on;
    CheckWhenDone();
}

void DynamicWidget::SetStopCrossfadeWhenDone(bool on) {
    mWhenDoneStopCrossfade = on;
    CheckWhenDone();
}

void DynamicWidget::SetStopRecursionWhenDone(bool on) {
    mWhenDoneStopRecursion = on;
    CheckWhenDone();
}

void DynamicWidget::CheckWhenDone() {
    if (!(mWhenDoneRemove || mWhenDoneHide || mWhenDoneStopCrossfade || mWhenDoneStopRecursion))
        return;
    if (IsBusy()) return;
    if (mWhenDoneHide) {
        mWhenDoneHide = false;
        SetVisible(false);
    }
    if (mWhenDoneStopCrossfade) {
        mWhenDoneStopCrossfade = false;
        mAddMask &= ~WidgetFlags::CrossFade;
    }
    if (mWhenDoneStopRecursion) {
        mWhenDoneStopRecursion = false;
        SetRecursiveTransform(false);
        SetRecursiveColor(0);
    }
    if (mWhenDoneRemove) {
        mWhenDoneRemove = false;
        RemoveSelf();
    }
}

// --- Modifiers -----------------------------------------------------------------

void DynamicWidget::Retire(std::unique_ptr<Controller> controller) {
    // While the controllers are stepped, one may stop itself or others
    // (through a notification): they are deleted once the step is over, so
    // no update runs on a deleted controller and no new one can take the
    // address of an old one still in the step's list.
    if (controller && mSteppingControllers) mRetiredControllers.push_back(std::move(controller));
}

bool DynamicWidget::OwnsController(const Controller* controller) const {
    for (const auto& [name, owned] : mControllers)
        if (owned.get() == controller) return true;
    return false;
}

Controller* DynamicWidget::AddController(Controller* controller) {
    if (!controller) return nullptr;
    ++mControllerChanges;
    // Replacing under the same name deletes the old one (its values stay).
    std::unique_ptr<Controller>& slot = mControllers[controller->mName];
    Retire(std::move(slot));
    slot.reset(controller);
    return controller;
}

void DynamicWidget::StopController(const std::wstring& name) {
    auto it = mControllers.find(name);
    if (it == mControllers.end()) return;
    ++mControllerChanges;
    std::unique_ptr<Controller> gone = std::move(it->second);
    mControllers.erase(it);
    Retire(std::move(gone));
    CheckWhenDone();
}

void DynamicWidget::StopAllControllers() {
    ++mControllerChanges;
    auto gone = std::move(mControllers);
    mControllers.clear();
    for (auto& [name, controller] : gone) Retire(std::move(controller));
    CheckWhenDone();
}

bool DynamicWidget::HasController(const std::wstring& name) const {
    return mControllers.count(name) != 0;
}

Controller* DynamicWidget::GetController(const std::wstring& name) const {
    auto it = mControllers.find(name);
    return it == mControllers.end() ? nullptr : it->second.get();
}

PropertyOscillation* DynamicWidget::AddOscillation(PropertyOscillation* oscillation) {
    if (!oscillation) return nullptr;
    UndoModifiers();
    mOscillations[oscillation->mName].reset(oscillation);
    ApplyModifiers(0.0f);
    return oscillation;
}

void DynamicWidget::StopOscillation(const std::wstring& name, bool undo) {
    auto it = mOscillations.find(name);
    if (it == mOscillations.end()) return;
    if (undo) UndoModifiers();
    mOscillations.erase(it);
    if (undo) ApplyModifiers(0.0f);
}

void DynamicWidget::StopAllOscillations(bool undo) {
    if (mOscillations.empty()) return;
    if (undo) UndoModifiers();
    mOscillations.clear();
    if (undo) ApplyModifiers(0.0f);
}

bool DynamicWidget::HasOscillation(const std::wstring& name) const {
    return mOscillations.count(name) != 0;
}

PropertyClamp* DynamicWidget::AddClamp(PropertyClamp* clamp) {
    if (!clamp) return nullptr;
    UndoModifiers();
    mClamps[clamp->mName].reset(clamp);
    ApplyModifiers(0.0f);
    return clamp;
}

void DynamicWidget::StopClamp(const std::wstring& name, bool undo) {
    auto it = mClamps.find(name);
    if (it == mClamps.end()) return;
    if (undo) UndoModifiers();
    mClamps.erase(it);
    if (undo) ApplyModifiers(0.0f);
}

void DynamicWidget::StopAllClamps(bool undo) {
    if (mClamps.empty()) return;
    if (undo) UndoModifiers();
    mClamps.clear();
    if (undo) ApplyModifiers(0.0f);
}

bool DynamicWidget::HasClamp(const std::wstring& name) const { return mClamps.count(name) != 0; }

void DynamicWidget::UndoModifiers() {
    // The reverse of Apply, so stacked modifiers unwind exactly.
    for (auto it = mClamps.rbegin(); it != mClamps.rend(); ++it) it->second->Undo();
    for (auto it = mOscillations.rbegin(); it != mOscillations.rend(); ++it) it->second->Undo();
}

void DynamicWidget::ApplyModifiers(float dt) {
    for (auto& [name, oscillation] : mOscillations) oscillation->Apply(dt);
    for (auto& [name, clamp] : mClamps) clamp->Apply();
}

void DynamicWidget::StepModifiers(float dt) {
    bool layered = !mOscillations.empty() || !mClamps.empty();
    if (layered) UndoModifiers();
    if (!mControllers.empty()) {
        // A controller's notification may reach code that adds or stops
        // controllers: step a snapshot, and once the map has changed under
        // the walk, step only what the widget still owns.
        mStepList.clear();
        for (auto& [name, controller] : mControllers) mStepList.push_back(controller.get());
        const uint64_t changes = mControllerChanges;
        for (Controller* controller : mStepList) {
            if (mControllerChanges != changes && !OwnsController(controller)) continue;
            mSteppingControllers = true;
            bool finished = controller->Update(dt);
            mSteppingControllers = false;
            if (!finished) continue;
            if (mControllerChanges != changes && !OwnsController(controller)) continue;
            mControllers.erase(controller->mName);
        }
        mStepList.clear();
        mRetiredControllers.clear();
    }
    if (layered) ApplyModifiers(dt);
}

// --- Motions -------------------------------------------------------------------

Controller* DynamicWidget::TweenProperty(const std::wstring& property, const std::wstring& name,
                                         float end, float time, EasingCurve* curve) {
    float* field = GetPropertyPointer(property);
    if (!field) {
        delete curve;
        return nullptr;
    }
    return AddController(new Tweener(this, name, {{field, *field, end}}, time, curve,
                                     PropertyDirtyFlags(property)));
}

Controller* DynamicWidget::ArcTo(int endX, int endY, float time, int maxDy, int minDy,
                                 const std::wstring& name) {
    float distance = std::fabs(static_cast<float>(endX) - mX);
    float low = static_cast<float>(std::min(minDy, maxDy));
    float high = static_cast<float>(std::max(minDy, maxDy));
    float rise = std::clamp(distance / 2.0f, low, high);
    return AddController(new ArcTweener(this, name, &mX, &mY, static_cast<float>(endX),
                                        static_cast<float>(endY), rise, time));
}

Controller* DynamicWidget::MoveInCircle(int centreX, int centreY, float angle, float time,
                                        EasingCurve* curve, const std::wstring& name) {
    return AddController(new Circler(this, name, &mX, &mY, centreX, centreY, angle, time, curve));
}

Controller* DynamicWidget::StartShear(float xOffset, float yOffset, float decay, float accel,
                                      float speed, float x, float y, const std::wstring& name) {
    return AddController(new Shearer(this, name, x, y, xOffset, yOffset, speed, accel, decay));
}

// --- Geometry --------------------------------------------------------------------

bool DynamicWidget::HasTransform() const {
    GetLocalTransform();
    return mHasTransform;
}

const Transform& DynamicWidget::GetLocalTransform() const {
    if (!mTransformDirty) return mTransform;
    mTransformDirty = false;
    mTransform.Reset();
    bool rotated = mAngle != 0.0f;
    bool scaled = mScaleX != 1.0f || mScaleY != 1.0f || mFlipX || mFlipY;
    bool sheared = mShearX != 0.0f || mShearY != 0.0f;
    mHasTransform = rotated || scaled || sheared;
    if (!mHasTransform) return mTransform;

    FPoint centre = GetCenter();
    mTransform.Translate(-centre.mX, -centre.mY);
    if (scaled) mTransform.Scale(mFlipX ? -mScaleX : mScaleX, mFlipY ? -mScaleY : mScaleY);
    if (sheared) {
        // Pixels of displacement across the whole height (x) or width (y),
        // about a pivot offset from the centre: a positive shear_x moves
        // what lies above the pivot to the right, a positive shear_y moves
        // what lies left of the pivot down.
        float kx = mHeight > 0 ? -mShearX / static_cast<float>(mHeight) : 0.0f;
        float ky = mWidth > 0 ? -mShearY / static_cast<float>(mWidth) : 0.0f;
        Transform shear;
        shear.Translate(-mShearXOffset, -mShearYOffset);
        Matrix4 m;
        m.m[0][1] = kx;
        m.m[1][0] = ky;
        Transform skew;
        skew.SetMatrix(m);
        shear.Concat(skew);
        shear.Translate(mShearXOffset, mShearYOffset);
        mTransform.Concat(shear);
    }
    if (rotated) {
        float radians = -mAngle * 3.14159265358979f / 180.0f;
        const Vector3& a = mRotationAxis;
        if (a.x == 0.0f && a.y == 0.0f) {
            mTransform.RotateRad(a.z < 0.0f ? -radians : radians);
        } else {
            // About a general axis; the result is seen flat (z dropped).
            float len = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
            float x = a.x / len, y = a.y / len, z = a.z / len;
            float c = std::cos(radians), s = std::sin(radians), t = 1.0f - c;
            Matrix4 r;
            r.m[0][0] = t * x * x + c;
            r.m[0][1] = t * x * y - s * z;
            r.m[0][2] = t * x * z + s * y;
            r.m[1][0] = t * x * y + s * z;
            r.m[1][1] = t * y * y + c;
            r.m[1][2] = t * y * z - s * x;
            r.m[2][0] = t * x * z - s * y;
            r.m[2][1] = t * y * z + s * x;
            r.m[2][2] = t * z * z + c;
            Transform rotation;
            rotation.SetMatrix(r);
            mTransform.Concat(rotation);
        }
    }
    mTransform.Translate(centre.mX, centre.mY);
    return mTransform;
}

FPoint DynamicWidget::LocalToParentPoint(float x, float y) const {
    if (HasTransform()) GetLocalTransform().TransformPoint(x, y);
    return FPoint(x + mX, y + mY);
}

FPoint DynamicWidget::ParentToLocalPoint(float x, float y) const {
    x -= mX;
    y -= mY;
    if (HasTransform()) {
        Matrix4 inverse = GetLocalTransform().GetMatrix();
        // A flat (zero) scale has no inverse: the point stays where it is.
        if (inverse.Invert()) inverse.TransformPoint(x, y);
    }
    return FPoint(x, y);
}

FRect DynamicWidget::LocalToParentRect(const FRect& rect) const {
    if (!HasTransform()) return FRect(rect.mX + mX, rect.mY + mY, rect.mWidth, rect.mHeight);
    FPoint corners[4] = {LocalToParentPoint(rect.mX, rect.mY),
                         LocalToParentPoint(rect.mX + rect.mWidth, rect.mY),
                         LocalToParentPoint(rect.mX, rect.mY + rect.mHeight),
                         LocalToParentPoint(rect.mX + rect.mWidth, rect.mY + rect.mHeight)};
    float x1 = corners[0].mX, x2 = x1, y1 = corners[0].mY, y2 = y1;
    for (const FPoint& p : corners) {
        x1 = std::min(x1, p.mX);
        x2 = std::max(x2, p.mX);
        y1 = std::min(y1, p.mY);
        y2 = std::max(y2, p.mY);
    }
    return FRect(x1, y1, x2 - x1, y2 - y1);
}

FRect DynamicWidget::GetBoundingRect() const {
    return LocalToParentRect(
        FRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight)));
}

// --- Update ------------------------------------------------------------------------

void DynamicWidget::Update() {
    if (!mBlinking) return;
    ++mBlinkTimer;
    if (mBlinkTimer < 0) return;
    int phase = mBlinkTimer / mBlinkInterval;
    if (mBlinkCycles > 0 && phase >= mBlinkCycles * 2) {
        mBlinking = false;
        mBlinkHidden = false;
        MarkDirty();
        CheckWhenDone();
        return;
    }
    bool hidden = (phase % 2) == 0;
    if (hidden != mBlinkHidden) {
        mBlinkHidden = hidden;
        MarkDirty();
    }
}

void DynamicWidget::UpdateF(float elapsedSteps) {
    StepModifiers(elapsedSteps);
    const int shownFrame = mFrame, shownMaskFrame = mMaskFrame;
    int frames = GetFrameCount();
    if (mCycle.mActive) {
        StepCycle(mCycle, mFrame, frames, elapsedSteps);
        // Near the end of a frame the next one blends in.
        mNextFrame = -1;
        if (mCycle.mActive && mCycle.mCrossFade > 0.0f &&
            mCycle.mTimer > mCycle.mRate - mCycle.mCrossFade && frames > 1) {
            int next = mFrame + 1 >= frames ? 0 : mFrame + 1;
            if (mCycle.mDirection < 0) next = mFrame - 1 < 0 ? frames - 1 : mFrame - 1;
            mNextFrame = next;
            mNextFrameAmount =
                (mCycle.mTimer - (mCycle.mRate - mCycle.mCrossFade)) / mCycle.mCrossFade;
        }
    }
    if (mMaskCycle.mActive) {
        int maskFrames = mMaskImage ? mMaskImage->GetCelCount() : 0;
        StepCycle(mMaskCycle, mMaskFrame, maskFrames, elapsedSteps);
    }
    // A cycle redraws when its frame moves on, and on every step of a cross-fade.
    bool blending = mCycle.mActive && mNextFrame >= 0;
    if (mFrame != shownFrame || mMaskFrame != shownMaskFrame || blending) Widget::MarkDirty();
    if (mFadeFrame >= 0) {
        mFadeTimer += elapsedSteps;
        if (mFadeTimer >= mFadeTime) {
            int frame = mFadeFrame;
            mFadeFrame = -1;
            SetFrame(frame);
        }
        MarkDirty();
    }
    CheckWhenDone();
}

int DynamicWidget::StepsUntilDue() {
    bool stepping = mBlinking || mFadeFrame >= 0 || mCycle.mActive || mMaskCycle.mActive ||
                    !mControllers.empty() || !mOscillations.empty() || !mClamps.empty();
    return stepping ? 0 : kNothingDue;
}

// --- Drawing -------------------------------------------------------------------------

Color DynamicWidget::ComputeDrawColor() const {
    float r = mRed, g = mGreen, b = mBlue, a = mAlpha * mOpacity;
    if (mHasParentColor && !mRenderingCache) {
        r *= mParentColor[0];
        g *= mParentColor[1];
        b *= mParentColor[2];
        a *= mParentColor[3];
    }
    return Color(ToChannel(r), ToChannel(g), ToChannel(b), ToChannel(a));
}

void DynamicWidget::DrawImageCel(Graphics* g, int frame, const Color& color) {
    g->SetColor(color);
    Image* image = mImage;
    if (mCached && mCacheSurface && !mRenderingCache) {
        image = mCacheSurface.get();
        frame = 0;
    }
    if (image == mImage) image = MaskedCel(g, image, frame);
    Rect cel = image->GetCelRect(frame);
    if (cel.IsEmpty()) return;
    float w = static_cast<float>(cel.mWidth), h = static_cast<float>(cel.mHeight);

    bool inherited = mHasParentTransform && !mRenderingCache;
    if (inherited || (HasTransform() && !mRenderingCache)) {
        // Through the transform: the cel's corners are given relative to
        // its centre, then into the widget, the parent and (when a parent
        // hands its transform down) the target.
        Transform t;
        t.Translate(w / 2.0f, h / 2.0f);
        if (HasTransform()) t.Concat(GetLocalTransform());
        float x = 0.0f, y = 0.0f;
        if (inherited) {
            t.Translate(mX, mY);
            t.Concat(mParentTransform);
            x = -g->GetTransX();
            y = -g->GetTransY();
        }
        g->DrawImageTransformed(image, t, frame, x, y);
        return;
    }
    if (mTileTexture && (mWidth > cel.mWidth || mHeight > cel.mHeight)) {
        for (int ty = 0; ty < mHeight; ty += cel.mHeight)
            for (int tx = 0; tx < mWidth; tx += cel.mWidth)
                g->DrawImage(image, static_cast<float>(tx), static_cast<float>(ty), frame);
        return;
    }
    if (mTessellated) {
        // Piece by piece: each piece is its own quad, so a shader sees the grid.
        for (int row = 0; row < mTessRows; ++row) {
            int y0 = cel.mHeight * row / mTessRows, y1 = cel.mHeight * (row + 1) / mTessRows;
            for (int col = 0; col < mTessCols; ++col) {
                int x0 = cel.mWidth * col / mTessCols, x1 = cel.mWidth * (col + 1) / mTessCols;
                Rect source(cel.mX + x0, cel.mY + y0, x1 - x0, y1 - y0);
                if (source.IsEmpty()) continue;
                g->DrawImageStretched(image, source,
                                      FRect(static_cast<float>(x0), static_cast<float>(y0),
                                            static_cast<float>(x1 - x0),
                                            static_cast<float>(y1 - y0)));
            }
        }
        return;
    }
    g->DrawImage(image, 0.0f, 0.0f, frame);
}

void DynamicWidget::Draw(Graphics* g) {
    if (!mImage && !(mCached && mCacheSurface)) return;
    if (mBlinkHidden) return;
    Color color = ComputeDrawColor();
    if (color.mAlpha <= 0) return;
    if (mCull && !mRenderingCache) {
        FRect screen(0.0f, 0.0f, static_cast<float>(g->GetTargetWidth()),
                     static_cast<float>(g->GetTargetHeight()));
        FRect bounds = GetBoundingRect().Offset(g->GetTransX() - mX, g->GetTransY() - mY);
        if (!bounds.Intersects(screen)) return;
    }

    GraphicsState saved;
    saved.CopyFrom(*g);
    g->SetColorizeImages(true);
    g->SetDrawMode(mDrawMode);
    if (mShader) g->SetShader(mShader);
    if (mUseMaskRect) g->ClipRect(mMaskRect.mX, mMaskRect.mY, mMaskRect.mWidth, mMaskRect.mHeight);

    int frame = mFrame;
    if (mFadeFrame >= 0 && mFadeTime > 0.0f && !mCached) {
        float e = Clamp01(mFadeCurve ? mFadeCurve->Evaluate(mFadeTimer / mFadeTime)
                                     : mFadeTimer / mFadeTime);
        Color from = color, to = color;
        from.mAlpha = static_cast<int>(color.mAlpha * (1.0f - e));
        to.mAlpha = static_cast<int>(color.mAlpha * e);
        DrawImageCel(g, frame, from);
        DrawImageCel(g, mFadeFrame, to);
    } else if (mNextFrame >= 0 && !mCached) {
        DrawImageCel(g, frame, color);
        Color over = color;
        over.mAlpha = static_cast<int>(color.mAlpha * Clamp01(mNextFrameAmount));
        DrawImageCel(g, mNextFrame, over);
    } else {
        DrawImageCel(g, frame, color);
    }
    if (mShader) g->SetShader(nullptr);
    g->RestoreState(saved);
}

Image* DynamicWidget::MaskedCel(Graphics* g, Image* image, int& frame) {
    if (!mMaskImage || mMaskImage->GetCelRect(mMaskFrame).IsEmpty()) return image;
    const Rect cel = image->GetCelRect(frame);
    if (cel.IsEmpty()) return image;
    if (!mMaskSurface) mMaskSurface = std::make_unique<ImageSurface>();
    if (mMaskSurface->GetWidth() != cel.mWidth || mMaskSurface->GetHeight() != cel.mHeight)
        if (!mMaskSurface->Create(cel.mWidth, cel.mHeight)) return image;
    // A batched draw of the previous contents must reach the target first.
    g->FlushBatch();
    {
        Graphics masked(mMaskSurface.get());
        masked.Clear(Color(0, 0, 0, 0));
        masked.DrawImage(image, 0.0f, 0.0f, frame);
        masked.SetDrawMode(DRAWMODE_MASK);
        masked.DrawImageScaled(mMaskImage, 0.0f, 0.0f, static_cast<float>(cel.mWidth),
                               static_cast<float>(cel.mHeight), mMaskFrame);
    }
    frame = 0;
    return mMaskSurface.get();
}

void DynamicWidget::RenderCache() {
    if (mWidth <= 0 || mHeight <= 0) return;
    if (!mCacheSurface) mCacheSurface = std::make_unique<ImageSurface>();
    if (mCacheSurface->GetWidth() != mWidth || mCacheSurface->GetHeight() != mHeight)
        mCacheSurface->Create(mWidth, mHeight);
    mCacheSurface->mFlags |= IMAGE_FLAG_RENDER_TARGET;
    {
        Graphics cache(mCacheSurface.get());
        cache.Clear(Color(0, 0, 0, 0));
        // Widget::DrawAll moves to the widget's position; start from minus it
        // so the widget lands at the surface's origin.
        cache.SetTranslation(-mX, -mY);
        // The cache holds the subtree as it is, untouched by what ancestors
        // hand down (that applies when the cache itself is shown).
        std::vector<Transform> transforms = std::move(gInheritedTransforms);
        std::vector<ColorScale> colors = std::move(gInheritedColors);
        gInheritedTransforms.clear();
        gInheritedColors.clear();
        mRenderingCache = true;
        Widget::DrawAll(&cache, WidgetFlags::Default);
        mRenderingCache = false;
        gInheritedTransforms = std::move(transforms);
        gInheritedColors = std::move(colors);
    }
    mCacheDirty = false;
}

void DynamicWidget::DrawAll(Graphics* g, int parentFlags) {
    if (mCached) {
        if (mCacheDirty || !mCacheSurface) RenderCache();
        // The cache holds the subtree: draw only this widget (showing it).
        if (!mVisible || !(EffectiveFlags(parentFlags) & WidgetFlags::Draw)) return;
        g->Translate(mX, mY);
        Draw(g);
        g->Translate(-mX, -mY);
        return;
    }
    bool pushTransform = (mRecursiveTransform || !gInheritedTransforms.empty()) &&
                         !mRenderingCache;
    bool pushColor = mRecursiveColor != 0 && !mRenderingCache;
    size_t transformDepth = gInheritedTransforms.size();
    size_t colorDepth = gInheritedColors.size();
    // Draw reads what the parent handed down, not what this widget hands on.
    mHasParentTransform = transformDepth > 0 && !mRenderingCache;
    if (mHasParentTransform) mParentTransform = gInheritedTransforms.back();
    mHasParentColor = colorDepth > 0 && !mRenderingCache;
    if (mHasParentColor) {
        const ColorScale& p = gInheritedColors.back();
        mParentColor[0] = p.r;
        mParentColor[1] = p.g;
        mParentColor[2] = p.b;
        mParentColor[3] = p.a;
    }
    if (pushTransform) {
        // This widget's local coordinates to target coordinates, for its
        // children (computed before Draw, which reads the parent's entry).
        Transform own = GetLocalTransform();
        Transform toTarget;
        toTarget.Concat(own);
        toTarget.Translate(mX, mY);
        if (transformDepth > 0)
            toTarget.Concat(gInheritedTransforms.back());
        else
            toTarget.Translate(g->GetTransX(), g->GetTransY());
        gInheritedTransforms.push_back(toTarget);
    }
    if (pushColor) {
        ColorScale s{mRed, mGreen, mBlue, mAlpha * mOpacity};
        if (colorDepth > 0) {
            const ColorScale& p = gInheritedColors.back();
            s = ColorScale{s.r * p.r, s.g * p.g, s.b * p.b, s.a * p.a};
        }
        gInheritedColors.push_back(s);
    }
    // Recursive clipping keeps the children inside the widget's rectangle.
    bool clip = mClip;
    if (mRecursiveClipping) mClip = true;
    Widget::DrawAll(g, parentFlags);
    mClip = clip;
    gInheritedTransforms.resize(transformDepth);
    gInheritedColors.resize(colorDepth);
}

void DynamicWidget::MarkDirty() {
    // Move and Resize land here: a resize moves the default centre.
    mTransformDirty = true;
    mCacheDirty = true;
    Widget::MarkDirty();
}

// --- Hit testing and input ------------------------------------------------------------

bool DynamicWidget::HitTest(int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return false;
    if (!mCheckPixels || !mImage) return true;
    ImageSurface* surface = mImage->GetSurface();
    if (!surface) return true;
    Rect surfaceRect = mImage->GetSurfaceRect();
    Rect cel = mImage->GetCelRect(mFrame);
    if (x >= cel.mWidth || y >= cel.mHeight) return false;
    int sx = surfaceRect.mX + cel.mX + x, sy = surfaceRect.mY + cel.mY + y;
    if (sx < 0 || sy < 0 || sx >= surface->GetWidth() || sy >= surface->GetHeight()) return false;
    const int alphaByte = surface->GetAlphaAt(sx, sy);
    if (alphaByte < 0) return true;  // pixels live only on the GPU
    float alpha = static_cast<float>(alphaByte) / 255.0f;
    return alpha > GetConstantFloat(L"opacity_threshold");
}

void DynamicWidget::MouseDown(int /*x*/, int /*y*/, int clickCount) {
    if (clickCount > 0)
        if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonPress(mId);
}

void DynamicWidget::MouseDrag(int /*x*/, int /*y*/) {}

void DynamicWidget::MouseUpAt(int x, int y, int clickCount) {
    // Released over the widget: a button's depress.
    if (clickCount < 0) return;
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonDepress(mId);
}

void DynamicWidget::MouseEnter() {
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonMouseEnter(mId);
}

void DynamicWidget::MouseLeave() {
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonMouseLeave(mId);
}

void DynamicWidget::MouseMove(int /*x*/, int /*y*/) {}
