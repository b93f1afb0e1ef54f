#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/CompiledExpression.h"
#include "data/ScriptValue.h"

// Evaluates the script expression language against a variable map that the
// caller owns and keeps alive. Evaluation is total: any text gives a value,
// never throws, and has no side effects on the data. Text that does not
// parse evaluates to itself as a string. Each distinct text is parsed once;
// the compiled forms are shared between evaluators and threads.
//
// One evaluator is used by one thread at a time (its variable map is not
// guarded); different evaluators may run on different threads.
class ExpressionEvaluator {
public:
    explicit ExpressionEvaluator(VariableMap& variables);
    ExpressionEvaluator(const ExpressionEvaluator& other);
    ~ExpressionEvaluator();

    ScriptValue Evaluate(const std::wstring& text);
    // A text compiled beforehand: no cache is consulted, no lock taken, and
    // nothing allocated unless the value itself needs it (text results).
    ScriptValue Evaluate(const CompiledExpression& compiled);
    // The compiled form when there is one, else the text.
    ScriptValue Evaluate(const ExpressionHandle& compiled, const std::wstring& text) {
        return compiled ? Evaluate(*compiled) : Evaluate(text);
    }
    // The compiled form of a text, through the shared cache (a text that does
    // not parse is reported there once). Never null.
    static ExpressionHandle Compile(const std::wstring& text);

    // The comma-separated parts of a list, split outside parentheses and
    // quotes, each trimmed. Empty text gives no parts.
    static std::vector<std::wstring> SplitArguments(const std::wstring& text);
    std::vector<ScriptValue> EvaluateArguments(const std::wstring& text);

    // System values ("screen_width", ...) supplied by the application.
    using SystemValueHook = bool (*)(const std::wstring& name, ScriptValue& out);
    static void SetSystemValueHook(SystemValueHook hook);

    VariableMap& GetVariables() const { return mVariables; }

    // Deepest nesting of parentheses, calls and unary operators accepted;
    // deeper text does not parse.
    static constexpr int kMaxDepth = 64;

private:
    VariableMap& mVariables;
    // This evaluator's own view of the shared cache, read without a lock.
    std::unordered_map<std::wstring, std::shared_ptr<const CompiledExpression>> mLocalCache;
    int mBusy = 0;  // evaluations of this evaluator under way
};
