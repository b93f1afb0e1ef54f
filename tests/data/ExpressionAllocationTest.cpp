#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "data/AnimationStats.h"
#include "data/Constants.h"
#include "data/ExpressionEvaluator.h"

// Counts heap allocations of this test program so that the hot path of the
// evaluator can be shown to allocate nothing for numeric results. Sanitizer
// runtimes bring their own operator new, so the count is kept only without.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILTRO_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define QUILTRO_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef QUILTRO_COUNT_ALLOCATIONS
#define QUILTRO_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<long> gAllocations{0};
}

#if QUILTRO_COUNT_ALLOCATIONS

#if defined(__GNUC__) && !defined(__clang__)
// The replacements below pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

TEST(ExpressionAllocation, CachedNumericExpressionsDoNotAllocate) {
    if (!QUILTRO_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocations are not counted under sanitizers";
    VariableMap variables;
    variables[L"i"] = 7;
    variables[L"c_x"] = 100;
    variables[L"t"] = 0.25f;
    PublishConstants({{L"max_tiles", 30}});
    ExpressionEvaluator evaluator(variables);
    const std::wstring texts[] = {L"c_x + 10 * i", L"i < max_tiles", L"t * t + sin(t)",
                                  L"i >= 3 and not (i == 4)", L"-i % 3"};
    for (const std::wstring& text : texts) evaluator.Evaluate(text);  // compile once
    long before = gAllocations.load();
    int sum = 0;
    for (int round = 0; round < 100; ++round)
        for (const std::wstring& text : texts) sum += evaluator.Evaluate(text).ToInt();
    EXPECT_EQ(gAllocations.load() - before, 0);
    EXPECT_NE(sum, 0);
    PublishConstants({});
}

// Attributes compiled when the animations load: looking one up by name and
// evaluating it neither parses nor allocates for a numeric value.
TEST(ExpressionAllocation, CompiledAttributesDoNotAllocate) {
    if (!QUILTRO_COUNT_ALLOCATIONS) GTEST_SKIP() << "allocations are not counted under sanitizers";
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimationsFromString(
        "<animations><animation name=\"a\"><assign name=\"'n'\" value=\"n * 2 + i - 1\" if=\"i &lt; 9\"/>"
        "<wait-for time=\"0.5 * n\" cond=\"n &gt;= 3 and i != 4\"/></animation></animations>",
        "compiled.xml"));
    const std::vector<AnimationCommand>& commands = loader.GetTable().at(L"a").mCommands;
    VariableMap variables{{L"n", ScriptValue(3)}, {L"i", ScriptValue(7)}};
    ExpressionEvaluator evaluator(variables);
    auto evaluate = [&](const AnimationCommand& command, std::wstring_view name) {
        const CommandAttribute* attribute = command.FindAttribute(name);
        return evaluator.Evaluate(attribute->mExpression, attribute->mText).ToFloat();
    };
    long before = gAllocations.load();
    float sum = 0.0f;
    for (int round = 0; round < 100; ++round) {
        sum += evaluate(commands[0], L"value") + evaluate(commands[1], L"time") +
               evaluate(commands[1], L"cond");
        sum += evaluator.Evaluate(commands[0].mIf.mExpression, commands[0].mIf.mText).ToFloat();
    }
    EXPECT_EQ(gAllocations.load() - before, 0);
    EXPECT_FLOAT_EQ(sum, 100.0f * (12.0f + 1.5f + 1.0f + 1.0f));
}
