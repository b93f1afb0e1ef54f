#include "widgets/Controller.h"

#include <atomic>
#include <cmath>
#include <utility>

#include "core/StringUtil.h"
#include "widgets/DynamicWidget.h"

namespace {
std::atomic<int> gControllerCounter{0};
std::atomic<int> gOscillationCounter{0};
std::atomic<int> gClampCounter{0};

// Targets with no field behind them (an unknown property name) are dropped
// here, so the update loops need no checks.
template <class T>
std::vector<T> WithoutNullTargets(std::vector<T> targets) {
    std::erase_if(targets, [](const T& t) { return t.mValue == nullptr; });
    return targets;
}
}  // namespace

std::wstring NextControllerName() { return WStrFormat(L"controller%d", gControllerCounter++); }
std::wstring NextOscillationName() { return WStrFormat(L"oscillation%d", gOscillationCounter++); }
std::wstring NextClampName() { return WStrFormat(L"clamp%d", gClampCounter++); }

// --- Controller ----------------------------------------------------------

Controller::Controller(const std::wstring& name, DynamicWidget* widget, float startProgress,
                       float rate, EasingCurve* curve, int dirtyFlags, bool counted)
    : mName(name.empty() ? NextControllerName() : name),
      mCounted(counted),
      mCurve(curve),
      mWidget(widget),
      mProgress(startProgress),
      mRate(rate),
      mDirtyFlags(dirtyFlags) {
    if (mCounted && mWidget) mWidget->ChangeCountedControllers(1);
}

Controller::~Controller() {
    if (mCounted && mWidget) mWidget->ChangeCountedControllers(-1);
}

void Controller::Notify() {
    if (mWidget) mWidget->OnPropertyChanged(mDirtyFlags);
}

// --- Tweener -------------------------------------------------------------

Tweener::Tweener(DynamicWidget* widget, const std::wstring& name, std::vector<Target> targets,
                 float time, EasingCurve* curve, int dirtyFlags, float timer)
    : Controller(name, widget, 0.0f, 1.0f, curve ? curve : new Linear(), dirtyFlags, true),
      mTargets(WithoutNullTargets(std::move(targets))) {
    if (time > 0.0f) {
        mRate = 1.0f / time;
        mProgress = timer / time;
    } else {
        // No duration: the first update lands on the end values even when
        // that update has no elapsed time.
        mProgress = 1.0f;
    }
    if (mProgress > 1.0f) mProgress = 1.0f;
}

bool Tweener::Update(float dt) {
    mProgress += mRate * dt;
    if (mProgress > 1.0f) mProgress = 1.0f;
    float e = Ease(mProgress);
    for (Target& t : mTargets) *t.mValue = t.mStart * (1.0f - e) + t.mEnd * e;
    Notify();
    return mProgress >= 1.0f;
}

// --- ArcTweener -----------------------------------------------------------

ArcTweener::ArcTweener(DynamicWidget* widget, const std::wstring& name, float* x, float* y,
                       float endX, float endY, float rise, float time)
    : Tweener(widget, name,
              {{x, x ? *x : 0.0f, endX}, {y, y ? *y : 0.0f, endY}}, time, nullptr,
              1, 0.0f),
      mRise(rise) {}

bool ArcTweener::Update(float dt) {
    bool finished = Tweener::Update(dt);
    // The straight line is the Tweener's; the parabola lifts y (screen y
    // grows downward) by 4 * rise * t * (1 - t), 0 at both ends.
    if (mTargets.size() == 2) {
        float t = mProgress;
        *mTargets[1].mValue -= 4.0f * mRise * t * (1.0f - t);
        Notify();
    }
    return finished;
}

// --- Propeller -----------------------------------------------------------

Propeller::Propeller(EasingCurve* curve, DynamicWidget* widget, const std::wstring& name,
                     float rate, float startProgress, std::vector<Target> targets, int dirtyFlags)
    : Propeller(curve, widget, name, rate, startProgress, std::move(targets), dirtyFlags, false) {}

Propeller::Propeller(EasingCurve* curve, DynamicWidget* widget, const std::wstring& name,
                     float rate, float startProgress, std::vector<Target> targets, int dirtyFlags,
                     bool counted)
    : Controller(name, widget, startProgress, rate, curve ? curve : new Linear(), dirtyFlags,
                 counted),
      mTargets(WithoutNullTargets(std::move(targets))) {
    // Velocities are per step while the curve runs over progress; a rate of
    // 0 never advances the progress, so it simply moves nothing.
    if (mRate != 1.0f && mRate != 0.0f)
        for (Target& t : mTargets) t.mVelocity /= mRate;
    mLastOffsets.assign(mTargets.size(), 0.0f);
    if (mProgress != 0.0f) {
        float c = Ease(mProgress);
        for (size_t i = 0; i < mTargets.size(); ++i) mLastOffsets[i] = mTargets[i].mVelocity * c;
    }
}

void Propeller::MoveTargets() {
    float c = Ease(mProgress);
    for (size_t i = 0; i < mTargets.size(); ++i) {
        float offset = mTargets[i].mVelocity * c;
        *mTargets[i].mValue += offset - mLastOffsets[i];
        mLastOffsets[i] = offset;
    }
}

bool Propeller::Update(float dt) {
    mProgress += mRate * dt;
    MoveTargets();
    Notify();
    return false;
}

// --- TerminalPropeller ---------------------------------------------------

namespace {
std::vector<Propeller::Target> PlainTargets(const std::vector<TerminalPropeller::Target>& in) {
    std::vector<Propeller::Target> out;
    for (const auto& t : in)
        if (t.mValue) out.push_back({t.mValue, t.mVelocity});
    return out;
}
}  // namespace

TerminalPropeller::TerminalPropeller(EasingCurve* curve, DynamicWidget* widget,
                                     const std::wstring& name, float rate, float startProgress,
                                     const std::vector<Target>& targets, bool snap,
                                     int dirtyFlags)
    : Propeller(curve, widget, name, rate, startProgress, PlainTargets(targets), dirtyFlags,
                true),
      mSnap(snap) {
    for (const auto& t : targets) {
        if (!t.mValue) continue;
        mEnds.push_back(t.mEnd);
        // Starting at the end, the push's own direction says which side is
        // past it; otherwise a rising push from its end would never finish.
        float start = *t.mValue;
        mRising.push_back(start < t.mEnd || (start == t.mEnd && t.mVelocity > 0.0f));
    }
}

bool TerminalPropeller::Update(float dt) {
    mProgress += mRate * dt;
    MoveTargets();
    bool finished = false;
    for (size_t i = 0; i < mTargets.size() && !finished; ++i) {
        float v = *mTargets[i].mValue;
        finished = v == mEnds[i] || (mRising[i] && v > mEnds[i]) || (!mRising[i] && v < mEnds[i]);
    }
    if (finished && mSnap)
        for (size_t i = 0; i < mTargets.size(); ++i) *mTargets[i].mValue = mEnds[i];
    Notify();
    return finished;
}

// --- Circler -------------------------------------------------------------

Circler::Circler(DynamicWidget* widget, const std::wstring& name, float* x, float* y,
                 int centreX, int centreY, float angle, float time, EasingCurve* curve)
    : Controller(name, widget, 0.0f, 1.0f, curve ? curve : new Linear(), 1, true),
      mX(x ? x : &mDummy),
      mY(y ? y : &mDummy),
      mCentreX(centreX),
      mCentreY(centreY) {
    // No duration: the turn is done at the first update (no infinite rate).
    if (time > 0.0f)
        mRate = 1.0f / time;
    else
        mProgress = 1.0f;
    float dx = *mX - static_cast<float>(mCentreX);
    float dy = *mY - static_cast<float>(mCentreY);
    mRadius = std::sqrt(dx * dx + dy * dy);
    mStartAngle = static_cast<float>(std::atan2(dy, dx)) * -57.2957763671875f;
    mEndAngle = mStartAngle + angle;
}

bool Circler::Update(float dt) {
    mProgress += mRate * dt;
    if (mProgress > 1.0f) mProgress = 1.0f;
    float e = Ease(mProgress);
    float a = mStartAngle * (1.0f - e) + mEndAngle * e;
    float r = -a * 3.14159265358979f / 180.0f;
    *mX = static_cast<float>(mCentreX) + mRadius * std::cos(r);
    *mY = static_cast<float>(mCentreY) + mRadius * std::sin(r);
    Notify();
    return mProgress >= 1.0f;
}

// --- Shearer -------------------------------------------------------------

Shearer::Shearer(DynamicWidget* widget, const std::wstring& name, float x, float y,
                 float xOffset, float yOffset, float speed, float accel, float decay)
    : Controller(name, widget, 0.0f, 1.0f, nullptr, 2, true), mDecay(decay) {
    auto field = [&](const wchar_t* property, int spare) {
        float* p = widget ? widget->GetPropertyPointer(property) : nullptr;
        return p ? p : &mSpare[spare];
    };
    mShearX = field(L"shear_x", 0);
    mShearY = field(L"shear_y", 1);
    mShearXOffset = field(L"shear_x_offset", 2);
    mShearYOffset = field(L"shear_y_offset", 3);

    if (x == kKeep) x = *mShearX;
    if (y == kKeep) y = *mShearY;
    mTargetX = x;
    mTargetY = y;
    *mShearXOffset = xOffset;
    *mShearYOffset = yOffset;

    if (speed == 0.0f) {
        *mShearX = x;
        *mShearY = y;
        return;
    }
    float dx = x - *mShearX;
    float dy = y - *mShearY;
    float dist = std::sqrt(dx * dx + dy * dy);
    if (dist == 0.0f) return;
    if (speed < 0.0f) speed = 0.01f;
    mTerminalX = dx * speed / dist;
    mTerminalY = dy * speed / dist;
    if (accel == 0.0f) {
        mVelocityX = mTerminalX;
        mVelocityY = mTerminalY;
    } else {
        mAccelX = dx < 0.0f ? -accel : accel;
        mAccelY = dy < 0.0f ? -accel : accel;
    }
}

namespace {
void StepAxis(float& velocity, float& accel, float terminal, float decay, float dt) {
    if (velocity != 0.0f && accel == 0.0f) {
        velocity *= decay;
        if (velocity > -0.0001f && velocity < 0.0001f) velocity = 0.0f;
    }
    if (accel != 0.0f) {
        velocity += accel * dt;
        if ((accel > 0.0f && velocity >= terminal) || (accel < 0.0f && velocity <= terminal)) {
            velocity = terminal;
            accel = 0.0f;
        }
    }
}

void MoveAxis(float& shear, float& velocity, float& accel, float target, float dt,
              bool stopOnEqualWhenFalling) {
    if (velocity == 0.0f) return;
    shear += velocity * dt;
    bool arrived;
    if (velocity > 0.0f)
        arrived = shear >= target;
    else
        arrived = stopOnEqualWhenFalling ? shear <= target : shear < target;
    if (arrived) {
        shear = target;
        velocity = 0.0f;
        accel = 0.0f;
    }
}
}  // namespace

bool Shearer::Update(float dt) {
    StepAxis(mVelocityX, mAccelX, mTerminalX, mDecay, dt);
    StepAxis(mVelocityY, mAccelY, mTerminalY, mDecay, dt);
    MoveAxis(*mShearX, mVelocityX, mAccelX, mTargetX, dt, true);
    MoveAxis(*mShearY, mVelocityY, mAccelY, mTargetY, dt, false);
    Notify();
    return mVelocityX == 0.0f && mVelocityY == 0.0f && mAccelX == 0.0f && mAccelY == 0.0f;
}

// --- Binder --------------------------------------------------------------

Binder::Binder(DynamicWidget* widget, const std::wstring& name, std::vector<Target> targets,
               int dirtyFlags, const VariableMap& context)
    : Controller(name, widget, 0.0f, 0.0f, nullptr, dirtyFlags, false),
      mTargets(WithoutNullTargets(std::move(targets))),
      mVariables(context) {
    mVariables[L"time_ptr"] = ScriptValue::MakeRef(this, L"time");
}

bool Binder::Update(float dt) {
    mProgress += dt;
    for (Target& t : mTargets) *t.mValue = mEvaluator.Evaluate(t.mExpression).ToFloat();
    Notify();
    return false;
}

bool Binder::ReadFloatProperty(const std::wstring& name, float& out) {
    if (name != L"time") return false;
    out = mProgress;
    return true;
}

// --- PropertyOscillation -------------------------------------------------

PropertyOscillation::PropertyOscillation(DynamicWidget* widget, const std::wstring& name,
                                         std::vector<Target> targets, double phase,
                                         double period, OscillatingCurve* wave, int dirtyFlags)
    : mName(name.empty() ? NextOscillationName() : name),
      mTargets(WithoutNullTargets(std::move(targets))),
      mPhase(phase),
      mStep(period > 0.0 ? 1.0 / period : 0.0),
      mWave(wave ? wave : new SineWave()),
      mWidget(widget),
      mDirtyFlags(dirtyFlags) {
    mLastOffsets.assign(mTargets.size(), 0.0f);
    mBase.assign(mTargets.size(), 0.0f);
    mApplied.assign(mTargets.size(), std::nanf(""));  // never equal: nothing applied yet
}

void PropertyOscillation::Undo() {
    // Backwards, so two oscillations of one field unwind in order.
    for (size_t i = mTargets.size(); i-- > 0;) {
        float& value = *mTargets[i].mValue;
        // Untouched since Apply: give back the exact base value (subtracting
        // the offset could be off by a rounding step). Otherwise something
        // else moved it meanwhile: take only our offset out.
        if (value == mApplied[i])
            value = mBase[i];
        else
            value -= mLastOffsets[i];
        mLastOffsets[i] = 0.0f;
        mApplied[i] = mBase[i] = value;
    }
}

void PropertyOscillation::Apply(float dt) {
    mPhase += dt * mStep;
    float w = mWave->Evaluate(mPhase);
    for (size_t i = 0; i < mTargets.size(); ++i) {
        float offset = mTargets[i].mAmplitude * w;
        mLastOffsets[i] = offset;
        mBase[i] = *mTargets[i].mValue;
        *mTargets[i].mValue += offset;
        mApplied[i] = *mTargets[i].mValue;
    }
    if (mWidget) mWidget->OnPropertyChanged(mDirtyFlags);
}

// --- PropertyClamp -------------------------------------------------------

PropertyClamp::PropertyClamp(DynamicWidget* widget, const std::wstring& name,
                             std::vector<Target> targets, int dirtyFlags)
    : mName(name.empty() ? NextClampName() : name),
      mTargets(WithoutNullTargets(std::move(targets))),
      mWidget(widget),
      mDirtyFlags(dirtyFlags) {
    mSaved.assign(mTargets.size(), 0.0f);
    mClamped.assign(mTargets.size(), std::nanf(""));  // nothing clamped yet
}

void PropertyClamp::Undo() {
    // Backwards, so two clamps on one field unwind in the order they applied.
    for (size_t i = mTargets.size(); i-- > 0;) {
        // A value that code outside the modifiers moved since Apply (a Move
        // of the widget) is the newer truth; only our own clamping is undone.
        if (*mTargets[i].mValue == mClamped[i]) *mTargets[i].mValue = mSaved[i];
    }
}

void PropertyClamp::Apply() {
    for (size_t i = 0; i < mTargets.size(); ++i) {
        float v = *mTargets[i].mValue;
        mSaved[i] = v;
        if (v < mTargets[i].mMin) v = mTargets[i].mMin;
        if (v > mTargets[i].mMax) v = mTargets[i].mMax;
        *mTargets[i].mValue = v;
        mClamped[i] = v;
    }
    if (mWidget) mWidget->OnPropertyChanged(mDirtyFlags);
}
