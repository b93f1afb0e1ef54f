#include "widgets/Curves.h"

#include <cmath>

#include "widgets/Noise.h"

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr double kTwoPi = 6.283185307179586;
}  // namespace

float InSine::Evaluate(float t) { return 1.0f - std::cos(t * kPi * 0.5f); }

float InExpo::Evaluate(float t) {
    // A base of 1 (or a nonsense one) has no curvature: stay linear rather
    // than divide by zero.
    if (!(mBase > 0.0f) || std::fabs(mBase - 1.0f) < 1e-6f) return t;
    return (std::pow(mBase, t) - 1.0f) / (mBase - 1.0f);
}

float InCirc::Evaluate(float t) {
    float inside = 1.0f - t * t;
    return 1.0f - std::sqrt(inside > 0.0f ? inside : 0.0f);
}

float InElastic::Evaluate(float t) {
    if (t <= 0.0f) return 0.0f;
    if (t >= 1.0f) return 1.0f;
    float envelope = mBase > 0.0f ? std::pow(mBase, t - 1.0f) : t;
    float swing = std::cos(mPeriod * (1.0f - t));
    return envelope * (1.0f - mFraction + mFraction * swing);
}

float InBack::Evaluate(float t) { return t * t * ((mAccel + 1.0f) * t - mAccel); }

namespace {
float OutBounce(float t) {
    if (t < 1.0f / 2.75f) return 7.5625f * t * t;
    if (t < 2.0f / 2.75f) {
        t -= 1.5f / 2.75f;
        return 7.5625f * t * t + 0.75f;
    }
    if (t < 2.5f / 2.75f) {
        t -= 2.25f / 2.75f;
        return 7.5625f * t * t + 0.9375f;
    }
    t -= 2.625f / 2.75f;
    return 7.5625f * t * t + 0.984375f;
}
}  // namespace

float InBounce::Evaluate(float t) { return 1.0f - OutBounce(1.0f - t); }

float InOutCurve::Evaluate(float t) {
    if (t < 0.5f) return mInner->Evaluate(t * 2.0f) * 0.5f;
    return 1.0f - mInner->Evaluate(2.0f - t * 2.0f) * 0.5f;
}

float OutInCurve::Evaluate(float t) {
    if (t < 0.5f) return (1.0f - mInner->Evaluate(1.0f - t * 2.0f)) * 0.5f;
    return 0.5f + mInner->Evaluate(t * 2.0f - 1.0f) * 0.5f;
}

ExpressionOfT::ExpressionOfT(const std::wstring& text, const VariableMap& context)
    : mText(text), mVariables(context), mT(&mVariables[L"t"]) {}

float ExpressionOfT::Evaluate(double t) {
    *mT = ScriptValue(t);
    return mEvaluator.Evaluate(mText).ToFloat();
}

float SineWave::Evaluate(double phase) { return static_cast<float>(std::sin(phase * kTwoPi)); }

float ZigZagWave::Evaluate(double phase) {
    double f = phase - std::floor(phase);  // 0..1 within the cycle
    double v;
    if (f < 0.25)
        v = f * 4.0;
    else if (f < 0.75)
        v = 2.0 - f * 4.0;
    else
        v = f * 4.0 - 4.0;
    return static_cast<float>(v);
}

float NoiseWave::Evaluate(double phase) { return static_cast<float>(Noise1D(phase)); }

EasingCurve* MakeCurve(const std::wstring& name, const CurveParameters& parameters,
                       const VariableMap* context) {
    if (name.empty() || name == L"linear") return new Linear();
    auto startsWith = [&](const wchar_t* prefix, size_t length) {
        return name.compare(0, length, prefix) == 0;
    };
    if (startsWith(L"out_in_", 7))
        return new OutInCurve(MakeCurve(L"in_" + name.substr(7), parameters, context));
    if (startsWith(L"out_", 4))
        return new OutCurve(MakeCurve(L"in_" + name.substr(4), parameters, context));
    if (startsWith(L"in_out_", 7))
        return new InOutCurve(MakeCurve(L"in_" + name.substr(7), parameters, context));
    if (name == L"in_quad") return new InQuad();
    if (name == L"in_cubic") return new InCubic();
    if (name == L"in_quart") return new InQuart();
    if (name == L"in_quint") return new InQuint();
    if (name == L"in_sine") return new InSine();
    if (name == L"in_circ") return new InCirc();
    if (name == L"in_bounce") return new InBounce();
    if (name == L"in_expo") return new InExpo(parameters.mExpoBase);
    if (name == L"in_elastic")
        return new InElastic(parameters.mElasticBase,
                             static_cast<float>(parameters.mElasticPeriod) * 2.5f * kPi,
                             parameters.mElasticFraction);
    if (name == L"in_back") return new InBack(parameters.mBackAccel);
    static const VariableMap kNoVariables;
    return new ExpressionCurve(name, context ? *context : kNoVariables);
}
