#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

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
