#pragma once
#include <memory>
#include <string>

#include "data/ExpressionEvaluator.h"
#include "data/ScriptValue.h"

// Easing curves map a controller's progress t (0..1, sometimes beyond) to the
// eased fraction of the way. The "In" shapes start slowly; the wrappers turn
// any of them into its out, in-out and out-in forms.
class EasingCurve {
public:
    virtual ~EasingCurve() = default;
    virtual float Evaluate(float t) = 0;
    float operator()(float t) { return Evaluate(t); }
};

class Linear : public EasingCurve {
public:
    float Evaluate(float t) override { return t; }
};

class InQuad : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t; }
};

class InCubic : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t * t; }
};

class InQuart : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t * t * t; }
};

class InQuint : public EasingCurve {
public:
    float Evaluate(float t) override { return t * t * t * t * t; }
};

class InSine : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// (base^t - 1) / (base - 1): exactly 0 and 1 at the ends for any base.
class InExpo : public EasingCurve {
public:
    explicit InExpo(float base = 10.0f) : mBase(base) {}
    float Evaluate(float t) override;

private:
    float mBase;
};

class InCirc : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// A swing that grows as base^(t-1) toward the end, `period` radians of
// oscillation over the whole curve; `fraction` is how much of the value swings.
class InElastic : public EasingCurve {
public:
    InElastic(float base, float period, float fraction)
        : mBase(base), mPeriod(period), mFraction(fraction) {}
    float Evaluate(float t) override;

private:
    float mBase;
    float mPeriod;
    float mFraction;
};

// Pulls back by `accel` before going forward.
class InBack : public EasingCurve {
public:
    explicit InBack(float accel = 2.0f) : mAccel(accel) {}
    float Evaluate(float t) override;

private:
    float mAccel;
};

class InBounce : public EasingCurve {
public:
    float Evaluate(float t) override;
};

// Wrappers own their inner curve.
class WrappedCurve : public EasingCurve {
protected:
    explicit WrappedCurve(EasingCurve* inner) : mInner(inner) {}
    std::unique_ptr<EasingCurve> mInner;
};

class OutCurve : public WrappedCurve {
public:
    explicit OutCurve(EasingCurve* inner) : WrappedCurve(inner) {}
    float Evaluate(float t) override { return 1.0f - mInner->Evaluate(1.0f - t); }
};

class InOutCurve : public WrappedCurve {
public:
    explicit InOutCurve(EasingCurve* inner) : WrappedCurve(inner) {}
    float Evaluate(float t) override;
};

class OutInCurve : public WrappedCurve {
public:
    explicit OutInCurve(EasingCurve* inner) : WrappedCurve(inner) {}
    float Evaluate(float t) override;
};

// An expression of "t" evaluated in a copy of a script's variables, so it
// stays valid after the script that made it is gone.
class ExpressionOfT {
public:
    ExpressionOfT(const std::wstring& text, const VariableMap& context);
    ExpressionOfT(const ExpressionOfT&) = delete;
    ExpressionOfT& operator=(const ExpressionOfT&) = delete;
    float Evaluate(double t);

private:
    std::wstring mText;
    VariableMap mVariables;
    ScriptValue* mT;  // the node of "t" in mVariables (map nodes stay put)
    ExpressionEvaluator mEvaluator{mVariables};
};

class ExpressionCurve : public EasingCurve {
public:
    ExpressionCurve(const std::wstring& text, const VariableMap& context) : mExpression(text, context) {}
    float Evaluate(float t) override { return mExpression.Evaluate(t); }

private:
    ExpressionOfT mExpression;
};

// Waves give an oscillation's offset factor for a phase counted in cycles.
class OscillatingCurve {
public:
    virtual ~OscillatingCurve() = default;
    virtual float Evaluate(double phase) = 0;
};

// sin(2 pi phase): 0 at phase 0, top at 0.25, bottom at 0.75.
class SineWave : public OscillatingCurve {
public:
    float Evaluate(double phase) override;
};

// A triangle wave in step with SineWave: 0, 1, 0, -1 at the quarter cycles.
class ZigZagWave : public OscillatingCurve {
public:
    float Evaluate(double phase) override;
};

// Gradient noise: wanders smoothly, 0 at each whole cycle.
class NoiseWave : public OscillatingCurve {
public:
    float Evaluate(double phase) override;
};

// An expression of "t" (the phase) in a copy of a script's variables.
class ExpressionWave : public OscillatingCurve {
public:
    ExpressionWave(const std::wstring& text, const VariableMap& context) : mExpression(text, context) {}
    float Evaluate(double phase) override { return mExpression.Evaluate(phase); }

private:
    ExpressionOfT mExpression;
};

// The settings that a few named curves take from their command.
struct CurveParameters {
    float mExpoBase = 10.0f;
    float mElasticBase = 10000.0f;
    int mElasticPeriod = 5;  // in units of 2.5 pi
    float mElasticFraction = 1.0f;
    float mBackAccel = 2.0f;
};

// The one parser of curve names: "" and "linear", the prefixes "out_in_",
// "out_", "in_out_" around the "in_" form, "in_quad" ... "in_back"; any other
// text is an expression of t in the given context. Never null.
EasingCurve* MakeCurve(const std::wstring& name, const CurveParameters& parameters = {},
                       const VariableMap* context = nullptr);
