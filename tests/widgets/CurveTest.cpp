#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "widgets/Curves.h"

namespace {

float Eval(const std::wstring& name, float t, const CurveParameters& p = {}) {
    std::unique_ptr<EasingCurve> curve(MakeCurve(name, p));
    return curve->Evaluate(t);
}

TEST(CurveTest, EveryNamedCurveRunsFromZeroToOne) {
    const wchar_t* names[] = {L"",          L"linear",     L"in_quad",     L"in_cubic",
                              L"in_quart",  L"in_quint",   L"in_sine",     L"in_expo",
                              L"in_circ",   L"in_elastic", L"in_back",     L"in_bounce",
                              L"out_quad",  L"in_out_quad", L"out_in_quad", L"out_bounce",
                              L"in_out_back", L"out_in_elastic", L"out_expo"};
    for (const wchar_t* name : names) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        EXPECT_NEAR(Eval(name, 0.0f), 0.0f, 1e-3f);
        EXPECT_NEAR(Eval(name, 1.0f), 1.0f, 1e-5f);
        for (int i = 0; i <= 20; ++i) EXPECT_TRUE(std::isfinite(Eval(name, i / 20.0f)));
    }
}

TEST(CurveTest, WrappersMirrorTheInnerCurve) {
    for (float t : {0.1f, 0.3f, 0.7f}) {
        EXPECT_FLOAT_EQ(Eval(L"out_quad", t), 1.0f - (1.0f - t) * (1.0f - t));
        EXPECT_NEAR(Eval(L"in_out_cubic", t) + Eval(L"in_out_cubic", 1.0f - t), 1.0f, 1e-6f);
        EXPECT_NEAR(Eval(L"out_in_cubic", t) + Eval(L"out_in_cubic", 1.0f - t), 1.0f, 1e-6f);
    }
    EXPECT_FLOAT_EQ(Eval(L"in_out_cubic", 0.25f), 0.5f * 0.125f);
    EXPECT_FLOAT_EQ(Eval(L"in_out_cubic", 0.5f), 0.5f);
    EXPECT_FLOAT_EQ(Eval(L"out_in_cubic", 0.5f), 0.5f);
    // out-in rises fast first, in-out slowly.
    EXPECT_GT(Eval(L"out_in_cubic", 0.2f), 0.2f);
    EXPECT_LT(Eval(L"in_out_cubic", 0.2f), 0.2f);
}

TEST(CurveTest, ShapesAndParameters) {
    EXPECT_FLOAT_EQ(Eval(L"in_quint", 0.5f), 1.0f / 32.0f);
    EXPECT_LT(Eval(L"in_back", 0.2f), 0.0f);  // pulls back first
    CurveParameters gentle;
    gentle.mBackAccel = 0.0f;
    EXPECT_FLOAT_EQ(Eval(L"in_back", 0.5f, gentle), 0.125f);
    CurveParameters flat;
    flat.mExpoBase = 1.0f;  // no curvature, never a division by zero
    EXPECT_FLOAT_EQ(Eval(L"in_expo", 0.3f, flat), 0.3f);
    EXPECT_LT(Eval(L"in_expo", 0.5f), 0.5f);
    EXPECT_NEAR(Eval(L"in_bounce", 0.5f), 0.234375f, 1e-5f);
}

TEST(CurveTest, UnknownNamesAreExpressionsOfT) {
    VariableMap scope{{L"k", ScriptValue(3)}};
    std::unique_ptr<EasingCurve> curve(MakeCurve(L"t*t*k", {}, &scope));
    EXPECT_FLOAT_EQ(curve->Evaluate(0.5f), 0.75f);
    EXPECT_FLOAT_EQ(curve->Evaluate(1.0f), 3.0f);
    // The curve keeps its own copy of the variables.
    scope[L"k"] = ScriptValue(100);
    EXPECT_FLOAT_EQ(curve->Evaluate(1.0f), 3.0f);
    std::unique_ptr<EasingCurve> bare(MakeCurve(L"t*t"));
    EXPECT_FLOAT_EQ(bare->Evaluate(0.5f), 0.25f);
}

TEST(CurveTest, WavesKeepStepWithTheSine) {
    SineWave sine;
    ZigZagWave zigzag;
    const double quarters[] = {0.0, 0.25, 0.5, 0.75, 1.0, 1.25};
    const float expected[] = {0.0f, 1.0f, 0.0f, -1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(sine.Evaluate(quarters[i]), expected[i], 1e-6f);
        EXPECT_NEAR(zigzag.Evaluate(quarters[i]), expected[i], 1e-6f);
    }
    EXPECT_NEAR(zigzag.Evaluate(0.125), 0.5f, 1e-6f);
    EXPECT_NEAR(zigzag.Evaluate(-0.125), -0.5f, 1e-6f);
    ExpressionWave wave(L"t*2", {});
    EXPECT_FLOAT_EQ(wave.Evaluate(0.25), 0.5f);
}

}  // namespace
