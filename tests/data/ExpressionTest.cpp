#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Log.h"
#include "core/Random.h"
#include "data/BasicPlayerState.h"
#include "data/Constants.h"
#include "data/ExpressionEvaluator.h"
#include "tests/data/ScriptTestObject.h"

namespace {
class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDebugOutputEnabled(false);
        PublishConstants({});
    }
    void TearDown() override {
        PublishConstants({});
        ExpressionEvaluator::SetSystemValueHook(nullptr);
        SetDebugOutputEnabled(true);
    }

    ScriptValue Eval(const std::wstring& text) { return mEvaluator.Evaluate(text); }
    int EvalInt(const std::wstring& text) { return Eval(text).ToInt(); }
    std::wstring EvalText(const std::wstring& text) { return Eval(text).ToString(); }

    VariableMap mVariables;
    ExpressionEvaluator mEvaluator{mVariables};
};
}  // namespace

TEST_F(ExpressionTest, LiteralsAndEmptyText) {
    EXPECT_EQ(Eval(L"").GetType(), ScriptValue::Empty);
    EXPECT_EQ(Eval(L"   ").GetType(), ScriptValue::Empty);
    EXPECT_EQ(Eval(L"-20").GetType(), ScriptValue::Int);
    EXPECT_EQ(EvalInt(L"-20"), -20);
    EXPECT_EQ(Eval(L"0.004").GetType(), ScriptValue::Float);
    EXPECT_FLOAT_EQ(Eval(L".5").ToFloat(), 0.5f);
    EXPECT_FLOAT_EQ(Eval(L"2.5e2").ToFloat(), 250.0f);
    EXPECT_EQ(Eval(L"true").GetType(), ScriptValue::Bool);
    EXPECT_FALSE(Eval(L"false").ToBool());
    EXPECT_EQ(EvalText(L"'it\\'s'"), L"it's");
    EXPECT_EQ(EvalText(L"'a, b'"), L"a, b");
    // The value that once meant "no value" is an ordinary number.
    EXPECT_EQ(Eval(L"268435456.0").GetType(), ScriptValue::Float);
    for (const wchar_t* text : {L"268435456.0", L"268435456", L"-268435456.0"})
        EXPECT_EQ(std::abs(Eval(text).ToFloat()), 268435456.0f) << text;
}

TEST_F(ExpressionTest, ArithmeticAndPrecedence) {
    EXPECT_EQ(EvalInt(L"2+3*4"), 14);
    EXPECT_EQ(EvalInt(L"(2+3)*4"), 20);
    EXPECT_EQ(EvalInt(L"10-4-3"), 3);  // left to right
    EXPECT_EQ(EvalInt(L"100/10/5"), 2);
    EXPECT_EQ(EvalInt(L"-2*-3"), 6);
    EXPECT_EQ(EvalInt(L"7 % 4 + 1"), 4);
    EXPECT_TRUE(Eval(L"1 + 1 == 2").ToBool());
    EXPECT_TRUE(Eval(L"1 < 2 and 3 > 2").ToBool());
    EXPECT_TRUE(Eval(L"false or true and true").ToBool());
    EXPECT_FALSE(Eval(L"(false or true) and false").ToBool());
    EXPECT_TRUE(Eval(L"not false and true").ToBool());
    EXPECT_FALSE(Eval(L"!(1 == 1)").ToBool());
    EXPECT_TRUE(Eval(L"1 != 2 && 2 >= 2 || false").ToBool());
    EXPECT_TRUE(Eval(L"not not true").ToBool());
    EXPECT_EQ(Eval(L"2 > 1").GetType(), ScriptValue::Bool);
}

// Each comparison on both sides of its edge, on ints, floats and a mix:
// equal values are where "<=" and ">=" part from "<" and ">".
TEST_F(ExpressionTest, ComparisonsAtTheirEdges) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool less, lessEqual, greater, greaterEqual;
    };
    const Case cases[] = {
        {L"2", L"2", false, true, false, true},      {L"1", L"2", true, true, false, false},
        {L"3", L"2", false, false, true, true},      {L"2.5", L"2.5", false, true, false, true},
        {L"2.0", L"2", false, true, false, true},    {L"-1", L"-0.5", true, true, false, false},
    };
    for (const Case& c : cases) {
        const std::wstring a = c.a, b = c.b;
        SCOPED_TRACE(std::string(a.begin(), a.end()) + " vs " + std::string(b.begin(), b.end()));
        EXPECT_EQ(Eval(a + L" < " + b).ToBool(), c.less);
        EXPECT_EQ(Eval(a + L" <= " + b).ToBool(), c.lessEqual);
        EXPECT_EQ(Eval(a + L" > " + b).ToBool(), c.greater);
        EXPECT_EQ(Eval(a + L" >= " + b).ToBool(), c.greaterEqual);
    }
}

TEST_F(ExpressionTest, HyphenatedNamesAgainstSubtraction) {
    mVariables[L"i"] = 5;
    mVariables[L"fade-delay"] = 30;
    mVariables[L"fade"] = 100;
    mVariables[L"delay"] = 1;
    EXPECT_EQ(EvalInt(L"i-1"), 4);
    EXPECT_EQ(EvalInt(L"i+1"), 6);
    EXPECT_EQ(EvalInt(L"i - 1"), 4);
    EXPECT_EQ(EvalInt(L"fade-delay"), 30);
    EXPECT_EQ(EvalInt(L"fade - delay"), 99);
    EXPECT_EQ(EvalInt(L"fade-delay*2"), 60);
    EXPECT_EQ(EvalInt(L"i--1"), 6);
    EXPECT_EQ(EvalText(L"x-_y"), L"x-_y");  // one unknown name: its own text
}

TEST_F(ExpressionTest, BarewordsAreTheirOwnText) {
    EXPECT_EQ(Eval(L"center").GetType(), ScriptValue::String);
    EXPECT_EQ(EvalText(L"center"), L"center");
    EXPECT_EQ(EvalText(L"menu"), L"menu");
    EXPECT_EQ(EvalText(L"sound.ogg"), L"sound.ogg");  // "a.b" on a non-object
    EXPECT_EQ(EvalText(L"a.b.c"), L"a.b.c");
    mVariables[L"menu"] = 4;
    EXPECT_EQ(EvalInt(L"menu"), 4);  // a variable wins over the bareword
    EXPECT_EQ(EvalText(L"'menu'"), L"menu");
    // Reading a bareword defines no constant.
    EXPECT_EQ(EvalText(L"nosuch"), L"nosuch");
    EXPECT_FALSE(IsConstantDefined(L"nosuch"));
}

TEST_F(ExpressionTest, NameLookupOrder) {
    BasicPlayerState player;
    player.mVariables[L"a"] = 2;
    player.mVariables[L"b"] = 2;
    player.mVariables[L"player_name"] = ScriptValue(L"Ana");
    player.MakeCurrent();
    PublishConstants({{L"a", 3}, {L"b", 3}, {L"c", 3}, {L"d", 3}});
    ExpressionEvaluator::SetSystemValueHook([](const std::wstring& name, ScriptValue& out) {
        if (name != L"d" && name != L"screen_width") return false;
        out = 1024;
        return true;
    });
    mVariables[L"a"] = 1;
    EXPECT_EQ(EvalInt(L"a"), 1);
    EXPECT_EQ(EvalInt(L"b"), 2);
    EXPECT_EQ(EvalInt(L"c"), 3);
    EXPECT_EQ(EvalInt(L"d"), 3);
    EXPECT_EQ(EvalInt(L"screen_width"), 1024);
    EXPECT_EQ(EvalText(L"'Hello ' + player_name"), L"Hello Ana");
    EXPECT_EQ(EvalText(L"e"), L"e");
    mVariables[L"true"] = 0;  // true and false are fixed words
    EXPECT_TRUE(Eval(L"true").ToBool());
}

TEST_F(ExpressionTest, ValuesAreReadLive) {
    // The compiled form is cached; the values it reads are not.
    mVariables[L"i"] = 1;
    EXPECT_EQ(EvalInt(L"i * 10"), 10);
    mVariables[L"i"] = 2;
    EXPECT_EQ(EvalInt(L"i * 10"), 20);
    PublishConstants({{L"k", 5}});
    EXPECT_EQ(EvalInt(L"k + 1"), 6);
    PublishConstants({{L"k", 7}});
    EXPECT_EQ(EvalInt(L"k + 1"), 8);
    // A copy reads the same map.
    ExpressionEvaluator copy(mEvaluator);
    mVariables[L"i"] = 5;
    EXPECT_EQ(copy.Evaluate(L"i").ToInt(), 5);
    EXPECT_EQ(&copy.GetVariables(), &mVariables);
}

TEST_F(ExpressionTest, PropertyReadsAndCheckedPtrReferences) {
    auto object = std::make_unique<ScriptTestObject>(L"tile3");
    object->mProperties[L"dragging"] = true;
    object->mProperties[L"bounding_box_center_x"] = 12.5f;
    object->mProperties[L"parent"] = ScriptValue(object.get());
    object->mFloats[L"x"] = 40.0f;
    mVariables[L"self"] = ScriptValue(object.get());
    EXPECT_TRUE(Eval(L"self.dragging").ToBool());
    EXPECT_FLOAT_EQ(Eval(L"self.bounding_box_center_x * 2").ToFloat(), 25.0f);
    EXPECT_EQ(Eval(L"self.unknown").GetType(), ScriptValue::Int);
    EXPECT_EQ(EvalInt(L"self.unknown"), 0);
    EXPECT_TRUE(Eval(L"self.parent.dragging").ToBool());
    EXPECT_EQ(EvalText(L"self"), L"tile3");
    EXPECT_EQ(EvalText(L"'id=' + self"), L"id=tile3");
    EXPECT_TRUE(Eval(L"self == self.parent").ToBool());
    EXPECT_EQ(Eval(L"self").GetObject(), object.get());

    ScriptValue ref = Eval(L"self.x_ptr");
    ASSERT_EQ(ref.GetType(), ScriptValue::Ref);
    EXPECT_FLOAT_EQ(ref.ToFloat(), 40.0f);
    object->mFloats[L"x"] = 41.0f;
    EXPECT_FLOAT_EQ(ref.ToFloat(), 41.0f);
    mVariables[L"time_ptr"] = ref;
    EXPECT_FLOAT_EQ(Eval(L"time_ptr * 2").ToFloat(), 82.0f);
    object.reset();
    EXPECT_EQ(ref.ToFloat(), 0.0f);  // inert, not dangling
    EXPECT_EQ(Eval(L"time_ptr * 2").ToFloat(), 0.0f);
    EXPECT_EQ(EvalInt(L"self.x"), 0);  // the object is gone
    EXPECT_EQ(Eval(L"self.x_ptr").GetType(), ScriptValue::Int);
}

TEST_F(ExpressionTest, UnparseableTextIsItself) {
    for (const wchar_t* text : {L"loop done", L"%d", L"Hello, World", L"a = b", L"'open",
                                L"1 +", L"f(", L"(1", L"1)", L"a < b < c", L"\"q\"",
                                L"x & y", L"and", L"2d", L"a..b", L"#ff0000"}) {
        ScriptValue value = Eval(text);
        EXPECT_EQ(value.GetType(), ScriptValue::String) << text;
        EXPECT_EQ(value.ToString(), text);
    }
    // Said once, when first evaluated: compiling ahead (script attributes,
    // some of which are lists split before use) says nothing.
    SetDebugOutputEnabled(true);
    testing::internal::CaptureStderr();
    ExpressionHandle list = ExpressionEvaluator::Compile(L"left ,, right");
    std::string compiled = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        mEvaluator.Evaluate(*list);
        Eval(L"left ,, right");
    }
    std::string evaluated = testing::internal::GetCapturedStderr();
    EXPECT_EQ(compiled, "");
    EXPECT_EQ(evaluated.rfind("Expression \"left ,, right\" does not parse", 0), 0u) << evaluated;
    EXPECT_EQ(evaluated.find('\n'), evaluated.size() - 1) << evaluated;
}

TEST_F(ExpressionTest, Functions) {
    mVariables[L"t"] = 0.5f;
    EXPECT_FLOAT_EQ(Eval(L"t*t").ToFloat(), 0.25f);
    EXPECT_NEAR(Eval(L"sin(3.14159265 / 2)").ToFloat(), 1.0f, 1e-6);
    EXPECT_NEAR(Eval(L"cos(0)").ToFloat(), 1.0f, 1e-6);
    EXPECT_EQ(EvalInt(L"abs(-4)"), 4);
    EXPECT_EQ(Eval(L"abs(-4)").GetType(), ScriptValue::Int);
    EXPECT_FLOAT_EQ(Eval(L"abs(-1.5)").ToFloat(), 1.5f);
    EXPECT_EQ(EvalInt(L"min(3, 1, 2)"), 1);
    EXPECT_FLOAT_EQ(Eval(L"max(3, 4.5, 2)").ToFloat(), 4.5f);
    EXPECT_FLOAT_EQ(Eval(L"floor(2.7)").ToFloat(), 2.0f);
    EXPECT_FLOAT_EQ(Eval(L"ceil(2.1)").ToFloat(), 3.0f);
    EXPECT_FLOAT_EQ(Eval(L"round(2.5)").ToFloat(), 3.0f);
    EXPECT_FLOAT_EQ(Eval(L"sqrt(16)").ToFloat(), 4.0f);
    EXPECT_EQ(Eval(L"sqrt(-1)").ToFloat(), 0.0f);
    EXPECT_FLOAT_EQ(Eval(L"pow(2, 10)").ToFloat(), 1024.0f);
    EXPECT_EQ(Eval(L"int(2.9)").GetType(), ScriptValue::Int);
    EXPECT_EQ(EvalInt(L"int(2.9)"), 2);
    EXPECT_EQ(EvalInt(L"int('7')"), 7);
    EXPECT_EQ(Eval(L"float(3)").GetType(), ScriptValue::Float);
    EXPECT_EQ(Eval(L"nosuch(1)").GetType(), ScriptValue::Empty);
    EXPECT_EQ(Eval(L"sin()").GetType(), ScriptValue::Empty);
    EXPECT_EQ(Eval(L"pow(1)").GetType(), ScriptValue::Empty);
    EXPECT_EQ(EvalText(L"int"), L"int");  // a function name alone is a bareword
}

TEST_F(ExpressionTest, RandomFunctionsUseTheSharedGenerator) {
    SeedRandom(99);
    int expected = Rand(6);
    double expectedF = RandDouble(2.0);
    SeedRandom(99);
    EXPECT_EQ(EvalInt(L"rand(6)"), expected);
    EXPECT_FLOAT_EQ(Eval(L"randf(2)").ToFloat(), static_cast<float>(expectedF));
    for (int i = 0; i < 100; ++i) {
        int r = EvalInt(L"rand(3)");
        EXPECT_TRUE(r >= 0 && r < 3);
    }
    EXPECT_EQ(EvalInt(L"rand(0)"), 0);
    EXPECT_EQ(EvalInt(L"rand(-5)"), 0);
}

TEST_F(ExpressionTest, DeepNestingIsCappedNotFatal) {
    std::wstring ok(ExpressionEvaluator::kMaxDepth, L'(');
    ok += L"1" + std::wstring(ExpressionEvaluator::kMaxDepth, L')');
    EXPECT_EQ(EvalInt(ok), 1);

    for (size_t depth : {size_t{65}, size_t{1000}, size_t{100000}}) {
        for (wchar_t c : {L'(', L'-', L'!'}) {
            std::wstring deep(depth, c);
            deep += L"1";
            if (c == L'(') deep += std::wstring(depth, L')');
            ScriptValue value = Eval(deep);
            EXPECT_EQ(value.GetType(), ScriptValue::String) << depth;
            EXPECT_EQ(value.ToString(), deep);
        }
    }
    std::wstring notChain;
    for (int i = 0; i < 1000; ++i) notChain += L"not ";
    EXPECT_EQ(Eval(notChain + L"true").GetType(), ScriptValue::String);
    std::wstring calls;
    for (int i = 0; i < 1000; ++i) calls += L"abs(";
    calls += L"1" + std::wstring(1000, L')');
    EXPECT_EQ(Eval(calls).GetType(), ScriptValue::String);
}

TEST_F(ExpressionTest, ConcatenationAndLongFlatChains) {
    // Long, flat expressions are not nesting: they must evaluate fully.
    std::wstring sum = L"0";
    for (int i = 0; i < 30000; ++i) sum += L"+1";
    EXPECT_EQ(EvalInt(sum), 30000);
    std::wstring dots = L"a";
    for (int i = 0; i < 30000; ++i) dots += L".b";
    EXPECT_EQ(Eval(dots).ToString(), dots);
    // Concatenation grows one buffer (a quadratic build would take seconds).
    std::wstring joined = L"'x'";
    for (int i = 0; i < 12000; ++i) joined += L"+'ab'";
    EXPECT_EQ(Eval(joined).ToString().size(), 1u + 2u * 12000u);
    mVariables[L"i"] = 3;
    mVariables[L"c_setname"] = ScriptValue(L"garden");
    EXPECT_EQ(EvalText(L"'set_' + c_setname + '_' + (i + 1)"), L"set_garden_4");
    EXPECT_EQ(EvalText(L"'x' + i + 1"), L"x31");  // left to right
    // "a12" - 1 counts the text as 0: -1, then -1 + 'b'.
    EXPECT_EQ(EvalText(L"'a' + 1 + 2 - 1 + 'b'"), L"-1b");
    EXPECT_EQ(EvalText(L"'a' + 1 + 2 - 1"), L"-1");
    EXPECT_EQ(EvalText(L"1 + 2 + 'c' + 3 + 4"), L"3c34");
    // Past the length limit the text is itself.
    std::wstring overlong = L"1";
    while (overlong.size() <= 70000) overlong += L"+1";
    EXPECT_EQ(Eval(overlong).GetType(), ScriptValue::String);
    EXPECT_EQ(Eval(overlong).ToString(), overlong);
}

TEST_F(ExpressionTest, SplitArguments) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L""), V{});
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"  "), V{});
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"x,y"), (V{L"x", L"y"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L" 0 , 1 ,2 "), (V{L"0", L"1", L"2"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"min(a, b), max(c, (d, e)), f"),
              (V{L"min(a, b)", L"max(c, (d, e))", L"f"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"'a, b', 'it\\'s, ok', c"),
              (V{L"'a, b'", L"'it\\'s, ok'", L"c"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"a,,b,"), (V{L"a", L"", L"b", L""}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"a),b"), (V{L"a)", L"b"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"(a,b"), (V{L"(a,b"}));
    EXPECT_EQ(ExpressionEvaluator::SplitArguments(L"'open, b"), (V{L"'open, b"}));
    mVariables[L"i"] = 2;
    std::vector<ScriptValue> values = mEvaluator.EvaluateArguments(L"i+1, 'a,b', center, max(i, 5)");
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].ToInt(), 3);
    EXPECT_EQ(values[1].ToString(), L"a,b");
    EXPECT_EQ(values[2].ToString(), L"center");
    EXPECT_EQ(values[3].ToInt(), 5);
}

TEST_F(ExpressionTest, EvaluatorsShareTheCacheAcrossThreads) {
    // A loader thread and the main thread evaluate the same and different
    // texts with their own evaluators at once.
    std::atomic<int> failures{0};
    auto work = [&failures](int seed) {
        VariableMap variables;
        ExpressionEvaluator evaluator(variables);
        for (int i = 0; i < 2000; ++i) {
            variables[L"i"] = i;
            if (evaluator.Evaluate(L"i * 2 + 1").ToInt() != i * 2 + 1) ++failures;
            std::wstring text = L"i + " + std::to_wstring((i + seed) % 300);
            if (evaluator.Evaluate(text).ToInt() != i + (i + seed) % 300) ++failures;
            if (evaluator.Evaluate(L"'x_' + i").ToString() != L"x_" + std::to_wstring(i)) ++failures;
        }
    };
    std::thread other(work, 7);
    work(0);
    other.join();
    EXPECT_EQ(failures.load(), 0);
}

