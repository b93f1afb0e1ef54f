#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "data/ScriptOperators.h"
#include "data/ScriptValue.h"
#include "tests/data/ScriptTestObject.h"

namespace {
using A = ScriptArithmeticOp;
using C = ScriptCompareOp;

ScriptValue Op(ScriptArithmeticOp op, const ScriptValue& a, const ScriptValue& b) {
    return ApplyScriptArithmetic(op, a, b);
}
bool Cmp(ScriptCompareOp op, const ScriptValue& a, const ScriptValue& b) {
    return CompareScriptValues(op, a, b);
}
}  // namespace

TEST(ScriptValue, ToStringOfEachKind) {
    EXPECT_EQ(ScriptValue().ToString(), L"");
    EXPECT_EQ(ScriptValue(true).ToString(), L"true");
    EXPECT_EQ(ScriptValue(false).ToString(), L"false");
    EXPECT_EQ(ScriptValue(-42).ToString(), L"-42");
    EXPECT_EQ(ScriptValue(L"abc").ToString(), L"abc");
    EXPECT_EQ(ScriptValue(Color(1, 2, 3, 4)).ToString(), L"1,2,3,4");
    ScriptTestObject object(L"button7");
    EXPECT_EQ(ScriptValue(&object).ToString(), L"button7");
    EXPECT_EQ(ScriptValue(static_cast<const wchar_t*>(nullptr)).ToString(), L"");
}

TEST(ScriptValue, FloatsPrintWithSixSignificantDigits) {
    EXPECT_EQ(ScriptValue(0.5f).ToString(), L"0.5");
    EXPECT_EQ(ScriptValue(2.0f).ToString(), L"2");
    EXPECT_EQ(ScriptValue(1.0f / 3.0f).ToString(), L"0.333333");
    EXPECT_EQ(ScriptValue(0.004f).ToString(), L"0.004");
    EXPECT_EQ(ScriptValue(123456789.0f).ToString(), L"1.23457e+08");
    EXPECT_EQ(ScriptValue(-0.0f).ToString(), L"0");
    EXPECT_EQ(ScriptValue(-2.5).ToString(), L"-2.5");
}

TEST(ScriptValue, Conversions) {
    EXPECT_EQ(ScriptValue(L"12").ToInt(), 12);
    EXPECT_EQ(ScriptValue(L" 2.75 ").ToInt(), 2);
    EXPECT_FLOAT_EQ(ScriptValue(L"2.75").ToFloat(), 2.75f);
    EXPECT_EQ(ScriptValue(L"abc").ToInt(), 0);
    EXPECT_EQ(ScriptValue(L"nan").ToFloat(), 0.0f);  // not a script number
    EXPECT_EQ(ScriptValue(2.9f).ToInt(), 2);
    EXPECT_EQ(ScriptValue(-2.9f).ToInt(), -2);
    EXPECT_EQ(ScriptValue(1e20f).ToInt(), INT_MAX);
    EXPECT_EQ(ScriptValue(-1e20f).ToInt(), INT_MIN);
    EXPECT_EQ(ScriptValue(true).ToInt(), 1);
    EXPECT_EQ(ScriptValue().ToInt(), 0);
    EXPECT_EQ(ScriptValue(268435456.0).ToFloat(), 268435456.0f);
}

TEST(ScriptValue, ToBoolRules) {
    EXPECT_TRUE(ScriptValue(L"true").ToBool());
    EXPECT_FALSE(ScriptValue(L"TRUE").ToBool());
    EXPECT_FALSE(ScriptValue(L"1").ToBool());  // strings are true only when "true"
    EXPECT_FALSE(ScriptValue(L"").ToBool());
    EXPECT_TRUE(ScriptValue(-1).ToBool());
    EXPECT_FALSE(ScriptValue(0).ToBool());
    EXPECT_TRUE(ScriptValue(0.1f).ToBool());
    EXPECT_FALSE(ScriptValue(0.0f).ToBool());
    EXPECT_FALSE(ScriptValue().ToBool());
}

TEST(ScriptValue, ColoursFromTextAndInts) {
    EXPECT_EQ(ScriptValue(L"255,128,0").ToColor(), Color(255, 128, 0, 255));
    EXPECT_EQ(ScriptValue(L"1,2,3,4").ToColor(), Color(1, 2, 3, 4));
    EXPECT_EQ(ScriptValue(L"300,-5,0").ToColor(), Color(255, 0, 0, 255));
    EXPECT_EQ(ScriptValue(L"#FF8000").ToColor(), Color(255, 128, 0, 255));
    EXPECT_EQ(ScriptValue(L"#80FF8000").ToColor(), Color(255, 128, 0, 128));
    EXPECT_EQ(ScriptValue(L"1,2").ToColor(), Color());
    EXPECT_EQ(ScriptValue(L"#12345").ToColor(), Color());
    EXPECT_EQ(ScriptValue(static_cast<int>(0xFF102030u)).ToColor(), Color(0x10, 0x20, 0x30, 255));
    Color c(9, 8, 7, 6);
    EXPECT_EQ(ScriptValue(ScriptValue(c).ToString()).ToColor(), c);
}

TEST(ScriptValue, ObjectsAreWeak) {
    auto object = std::make_unique<ScriptTestObject>(L"w");
    ScriptValue value(object.get());
    ScriptValue copy = value;
    EXPECT_EQ(copy.GetObject(), object.get());
    EXPECT_TRUE(copy.ToBool());
    object.reset();
    EXPECT_EQ(value.GetObject(), nullptr);
    EXPECT_EQ(copy.GetObject(), nullptr);
    EXPECT_EQ(copy.GetType(), ScriptValue::Object);
    EXPECT_FALSE(copy.ToBool());
    EXPECT_EQ(copy.ToString(), L"");
    EXPECT_TRUE(copy == ScriptValue());  // a dead object equals the empty value
}

TEST(ScriptValue, RefsReadLiveAndGoInert) {
    auto object = std::make_unique<ScriptTestObject>(L"w");
    object->mFloats[L"x"] = 3.5f;
    ScriptValue ref = ScriptValue::MakeRef(object.get(), L"x");
    EXPECT_EQ(ref.GetType(), ScriptValue::Ref);
    EXPECT_TRUE(ref.IsNumeric());
    EXPECT_FLOAT_EQ(ref.ToFloat(), 3.5f);
    object->mFloats[L"x"] = 7.0f;
    EXPECT_EQ(ref.ToInt(), 7);  // read when used, not when made
    EXPECT_TRUE(ref.WriteRef(1.25f));
    EXPECT_FLOAT_EQ(object->mFloats[L"x"], 1.25f);
    EXPECT_EQ(ref.GetObject(), nullptr);  // a reference is not the object

    ScriptValue unknown = ScriptValue::MakeRef(object.get(), L"nope");
    float out = -1.0f;
    EXPECT_FALSE(unknown.ReadRef(out));

    object.reset();
    EXPECT_FALSE(ref.ReadRef(out));
    EXPECT_FALSE(ref.WriteRef(2.0f));
    EXPECT_EQ(ref.ToFloat(), 0.0f);
    EXPECT_EQ(ScriptValue::MakeRef(nullptr, L"x").ToFloat(), 0.0f);
}

TEST(ScriptValue, IntArithmeticWrapsAndDivisionByZeroIsZero) {
    EXPECT_EQ(Op(A::Add, INT_MAX, 1).ToInt(), INT_MIN);
    EXPECT_EQ(Op(A::Multiply, 65536, 65536).ToInt(), 0);
    EXPECT_EQ(Op(A::Divide, 7, 2).GetType(), ScriptValue::Int);
    EXPECT_EQ(Op(A::Divide, 7, 2).ToInt(), 3);
    EXPECT_EQ(Op(A::Divide, -7, 2).ToInt(), -3);
    EXPECT_EQ(Op(A::Divide, 7, 0).ToInt(), 0);
    EXPECT_EQ(Op(A::Modulo, 7, 0).ToInt(), 0);
    EXPECT_EQ(Op(A::Divide, INT_MIN, -1).ToInt(), INT_MIN);
    EXPECT_EQ(Op(A::Modulo, INT_MIN, -1).ToInt(), 0);
    EXPECT_EQ(Op(A::Divide, 1.0f, 0.0f).ToFloat(), 0.0f);
    EXPECT_EQ(Op(A::Modulo, 1.5f, 0).ToFloat(), 0.0f);
    EXPECT_EQ(NegateScriptValue(INT_MIN).ToInt(), INT_MIN);
}

TEST(ScriptValue, FloatOperandGivesFloatAndBoolsCount) {
    ScriptValue v = Op(A::Add, 1, 0.5f);
    EXPECT_EQ(v.GetType(), ScriptValue::Float);
    EXPECT_FLOAT_EQ(v.ToFloat(), 1.5f);
    EXPECT_FLOAT_EQ(Op(A::Modulo, 7.5f, 2).ToFloat(), 1.5f);
    EXPECT_EQ(Op(A::Add, true, true).ToInt(), 2);
    EXPECT_EQ(Op(A::Add, true, true).GetType(), ScriptValue::Int);
    EXPECT_EQ(Op(A::Multiply, L"3", 4).ToInt(), 12);  // a number spelled as text
    EXPECT_EQ(Op(A::Multiply, L"3", 4).GetType(), ScriptValue::Int);
    EXPECT_EQ(Op(A::Multiply, L"abc", 4).ToInt(), 0);
}

TEST(ScriptValue, PlusWithAStringConcatenates) {
    EXPECT_EQ(Op(A::Add, L"intro_", 3).ToString(), L"intro_3");
    EXPECT_EQ(Op(A::Add, 3, L"_x").ToString(), L"3_x");
    EXPECT_EQ(Op(A::Add, L"a", 0.5f).ToString(), L"a0.5");
    EXPECT_EQ(Op(A::Add, L"1", 1).ToString(), L"11");
    EXPECT_EQ(Op(A::Add, ScriptValue(), L"x").ToString(), L"x");
    EXPECT_EQ(Op(A::Subtract, L"5", 1).ToInt(), 4);  // only + joins text
}

TEST(ScriptValue, Comparisons) {
    EXPECT_TRUE(Cmp(C::Equal, 2, 2.0f));
    EXPECT_TRUE(Cmp(C::Less, 1, 1.5f));
    EXPECT_TRUE(Cmp(C::Equal, L"abc", L"abc"));
    EXPECT_FALSE(Cmp(C::Equal, L"abc", L"ABC"));
    EXPECT_TRUE(Cmp(C::Less, L"abc", L"abd"));
    // A string that spells a number compares numerically with a number...
    EXPECT_TRUE(Cmp(C::Equal, L"2", 2));
    EXPECT_TRUE(Cmp(C::Equal, L"2.0", 2));
    EXPECT_TRUE(Cmp(C::Greater, L"10", 9));  // not "10" < "9" as text
    EXPECT_TRUE(Cmp(C::Equal, L"0.1", 0.1f) == (static_cast<double>(0.1f) == 0.1));
    // ...but two strings compare as text.
    EXPECT_FALSE(Cmp(C::Equal, L"2", L"2.0"));
    // Otherwise as text.
    EXPECT_TRUE(Cmp(C::Equal, L"true", true));
    EXPECT_FALSE(Cmp(C::Equal, L"abc", 0));
    EXPECT_TRUE(Cmp(C::Equal, ScriptValue(), 0));
    EXPECT_TRUE(Cmp(C::Equal, ScriptValue(), L""));
    EXPECT_TRUE(Cmp(C::Equal, Color(1, 2, 3), Color(1, 2, 3)));
}

TEST(ScriptValue, ObjectsCompareByIdentity) {
    ScriptTestObject a(L"same");
    ScriptTestObject b(L"same");
    EXPECT_TRUE(Cmp(C::Equal, &a, &a));
    EXPECT_FALSE(Cmp(C::Equal, &a, &b));
    EXPECT_TRUE(Cmp(C::NotEqual, &a, &b));
    EXPECT_FALSE(Cmp(C::Less, &a, &b));
    EXPECT_FALSE(Cmp(C::GreaterEqual, &a, &b));
    EXPECT_TRUE(Cmp(C::Equal, &a, L"same"));  // against text: its name
    EXPECT_FALSE(Cmp(C::Equal, &a, ScriptValue()));
}
