// The expression evaluator on its hot path: cached texts evaluated every
// frame by binders, curves and loop conditions.
#include <benchmark/benchmark.h>

#include "data/Constants.h"
#include "data/ExpressionEvaluator.h"

namespace {
struct BenchScope {
    BenchScope() {
        variables[L"c_x"] = 120;
        variables[L"i"] = 7;
        variables[L"t"] = 0.25f;
        PublishConstants({{L"max_tiles", 30}, {L"sloppy_click_threshold", 10}});
    }
    ~BenchScope() { PublishConstants({}); }
    VariableMap variables;
    ExpressionEvaluator evaluator{variables};
};

void RunCached(benchmark::State& state, const wchar_t* text) {
    BenchScope scope;
    const std::wstring expression = text;
    scope.evaluator.Evaluate(expression);  // parsed and cached here
    for (auto _ : state) benchmark::DoNotOptimize(scope.evaluator.Evaluate(expression));
}

void BM_ExpressionCachedArithmetic(benchmark::State& state) { RunCached(state, L"c_x + 10 * i"); }
BENCHMARK(BM_ExpressionCachedArithmetic);

// The name is found in neither the evaluator's map nor the player globals:
// the lookup goes through to the constants table.
void BM_ExpressionCompareWithConstant(benchmark::State& state) {
    RunCached(state, L"i < max_tiles");
}
BENCHMARK(BM_ExpressionCompareWithConstant);

void BM_ExpressionCurve(benchmark::State& state) { RunCached(state, L"t * t * (3 - 2 * t)"); }
BENCHMARK(BM_ExpressionCurve);

void BM_ExpressionBareword(benchmark::State& state) { RunCached(state, L"center"); }
BENCHMARK(BM_ExpressionBareword);

// As a loop condition runs: the loop variable changes between evaluations.
void BM_ExpressionLoopCondition(benchmark::State& state) {
    BenchScope scope;
    const std::wstring expression = L"i < max_tiles";
    ScriptValue& i = scope.variables[L"i"];
    int n = 0;
    for (auto _ : state) {
        i = n++ & 63;
        benchmark::DoNotOptimize(scope.evaluator.Evaluate(expression));
    }
}
BENCHMARK(BM_ExpressionLoopCondition);

// The first evaluation of a text: parse and enter it in the caches.
void BM_ExpressionParse(benchmark::State& state) {
    VariableMap variables;
    int n = 0;
    for (auto _ : state) {
        ExpressionEvaluator evaluator(variables);  // empty local cache
        std::wstring text = L"c_x + 10 * i - " + std::to_wstring(n++);
        benchmark::DoNotOptimize(evaluator.Evaluate(text));
    }
}
BENCHMARK(BM_ExpressionParse);
}  // namespace
