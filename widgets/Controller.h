#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/ExpressionEvaluator.h"
#include "data/ScriptObject.h"
#include "data/ScriptValue.h"
#include "widgets/Curves.h"

class DynamicWidget;

// A property modifier that drives float fields of its widget over time and
// may finish. The widget owns it (by name) and deletes it once Update reports
// true. Times are in update steps (1.0 = one 10 ms step).
class Controller {
public:
    // An empty name becomes "controller%d" from a process-wide counter. A
    // counted controller makes its widget busy while it lives. The curve is
    // owned (null for kinds that do not use one).
    Controller(const std::wstring& name, DynamicWidget* widget, float startProgress, float rate,
               EasingCurve* curve, int dirtyFlags, bool counted);
    virtual ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Advances by dt update steps; true when finished.
    virtual bool Update(float dt) = 0;

    const std::wstring& GetName() const { return mName; }
    DynamicWidget* GetWidget() const { return mWidget; }
    float GetProgress() const { return mProgress; }

    std::wstring mName;
    bool mCounted;
    std::unique_ptr<EasingCurve> mCurve;
    DynamicWidget* mWidget;
    float mProgress;
    float mRate;
    int mDirtyFlags;

protected:
    void Notify();
    float Ease(float t) { return mCurve ? mCurve->Evaluate(t) : t; }
};

// Tweens each target from its start to its end value along the curve.
class Tweener : public Controller {
public:
    struct Target {
        float* mValue;
        float mStart;
        float mEnd;
    };
    // A time of 0 or less ends at the first update, whatever its dt; a timer
    // at or past the time starts finished. A null curve is linear.
    Tweener(DynamicWidget* widget, const std::wstring& name, std::vector<Target> targets,
            float time, EasingCurve* curve, int dirtyFlags, float timer = 0.0f);
    bool Update(float dt) override;

    std::vector<Target> mTargets;
};

// A Tweener over x and y whose y also rises along a parabola: `rise` above
// the straight line at the middle of the way.
class ArcTweener : public Tweener {
public:
    ArcTweener(DynamicWidget* widget, const std::wstring& name, float* x, float* y, float endX,
               float endY, float rise, float time);
    bool Update(float dt) override;

    float mRise;
};

// Pushes each target at its velocity for ever; the curve shapes the motion
// over progress (linear: constant speed).
class Propeller : public Controller {
public:
    struct Target {
        float* mValue;
        float mVelocity;
    };
    // The rate is the progress per step; velocities are per step whatever the
    // rate. A rate of 0 moves nothing.
    Propeller(EasingCurve* curve, DynamicWidget* widget, const std::wstring& name, float rate,
              float startProgress, std::vector<Target> targets, int dirtyFlags);
    bool Update(float dt) override;

    std::vector<Target> mTargets;
    std::vector<float> mLastOffsets;

protected:
    Propeller(EasingCurve* curve, DynamicWidget* widget, const std::wstring& name, float rate,
              float startProgress, std::vector<Target> targets, int dirtyFlags, bool counted);
    void MoveTargets();
};

// A Propeller that finishes once one target reaches its end value in the
// direction it started from; with snap every target is then set to its end.
class TerminalPropeller : public Propeller {
public:
    struct Target {
        float* mValue;
        float mVelocity;
        float mEnd;
    };
    TerminalPropeller(EasingCurve* curve, DynamicWidget* widget, const std::wstring& name,
                      float rate, float startProgress, const std::vector<Target>& targets,
                      bool snap, int dirtyFlags);
    bool Update(float dt) override;

    std::vector<float> mEnds;
    std::vector<bool> mRising;
    bool mSnap;
};

// Turns a point around a centre by an angle in degrees (positive turns
// counter-clockwise on screen).
class Circler : public Controller {
public:
    Circler(DynamicWidget* widget, const std::wstring& name, float* x, float* y, int centreX,
            int centreY, float angle, float time, EasingCurve* curve);
    bool Update(float dt) override;

    float* mX;
    float* mY;
    int mCentreX;
    int mCentreY;
    float mStartAngle;
    float mEndAngle;
    float mRadius;
    float mDummy = 0.0f;
};

// Springs the widget's shear toward a target, at a start speed or with an
// acceleration up to a terminal velocity, with optional decay.
class Shearer : public Controller {
public:
    static constexpr float kKeep = 268435456.0f;  // a coordinate that keeps the current shear

    Shearer(DynamicWidget* widget, const std::wstring& name, float x, float y, float xOffset,
            float yOffset, float speed, float accel, float decay);
    bool Update(float dt) override;

    float* mShearX;
    float* mShearY;
    float* mShearXOffset;
    float* mShearYOffset;
    float mTargetX, mTargetY;
    float mVelocityX = 0.0f, mVelocityY = 0.0f;
    float mAccelX = 0.0f, mAccelY = 0.0f;
    float mTerminalX = 0.0f, mTerminalY = 0.0f;
    float mDecay;

private:
    float mSpare[4] = {};  // stands in for fields a widget lacks
};

// Re-evaluates an expression into each target every update, in a copy of the
// script's variables where "time_ptr" reads the binder's own time.
class Binder : public Controller, public ScriptObject {
public:
    struct Target {
        float* mValue;
        std::wstring mExpression;
    };
    Binder(DynamicWidget* widget, const std::wstring& name, std::vector<Target> targets,
           int dirtyFlags, const VariableMap& context);
    bool Update(float dt) override;

    bool ReadFloatProperty(const std::wstring& name, float& out) override;

    std::vector<Target> mTargets;

private:
    VariableMap mVariables;
    ExpressionEvaluator mEvaluator{mVariables};
};

// Adds a periodic offset to properties; undone and re-applied around every
// change of the base values.
class PropertyOscillation {
public:
    struct Target {
        float* mValue;
        float mAmplitude;
    };
    // The period is in steps per cycle; 0 or less stands still. The wave is owned.
    PropertyOscillation(DynamicWidget* widget, const std::wstring& name,
                        std::vector<Target> targets, double phase, double period,
                        OscillatingCurve* wave, int dirtyFlags);

    void Undo();
    void Apply(float dt);

    std::wstring mName;
    std::vector<Target> mTargets;
    std::vector<float> mLastOffsets;
    std::vector<float> mBase;     // each value before the last Apply
    std::vector<float> mApplied;  // and after it
    double mPhase;
    double mStep;
    std::unique_ptr<OscillatingCurve> mWave;
    DynamicWidget* mWidget;
    int mDirtyFlags;
};

// Keeps properties inside bounds; Undo gives back the unclamped values.
class PropertyClamp {
public:
    struct Target {
        float* mValue;
        float mMin;
        float mMax;
    };
    PropertyClamp(DynamicWidget* widget, const std::wstring& name, std::vector<Target> targets,
                  int dirtyFlags);

    void Undo();
    void Apply();

    std::wstring mName;
    std::vector<Target> mTargets;
    std::vector<float> mSaved;
    std::vector<float> mClamped;  // what Apply left, to notice outside changes
    DynamicWidget* mWidget;
    int mDirtyFlags;
};

// Process-wide name counters ("controller%d", "oscillation%d", "clamp%d").
std::wstring NextControllerName();
std::wstring NextOscillationName();
std::wstring NextClampName();
