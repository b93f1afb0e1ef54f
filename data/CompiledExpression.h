#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/ScriptValue.h"

// The parsed form of one expression text: a tree of nodes in a flat array.
// Chains of the same precedence ("a + b - c", "x and y and z") are one node
// with several operands, so the tree is only as deep as the text's nesting,
// which the parser caps.
enum class ExprNodeKind : uint8_t {
    Constant,   // mConstant
    Name,       // mName; mConstant holds the bareword text
    Or,         // mChildren, at least two
    And,
    Not,        // mChildren[0]
    Compare,    // mChildren[0] mOp mChildren[1]
    Sum,        // mChildren[0] (mOps[i-1] mChildren[i])...
    Product,
    Negate,     // mChildren[0]
    Plus,       // mChildren[0]
    Property,   // mChildren[0] then each of mSteps
    Call,       // mFunction (mChildren)
};

enum class ExprFunction : uint8_t {
    Unknown, Sin, Cos, Abs, Min, Max, Floor, Ceil, Round, Sqrt, Pow, Int, Float, Rand, RandF
};

struct ExprPropertyStep {
    std::wstring mName;
    std::wstring mRefProperty;  // for "<name>_ptr": <name>
    bool mIsRef = false;
};

struct ExprNode {
    ExprNodeKind mKind = ExprNodeKind::Constant;
    uint8_t mOp = 0;  // ScriptCompareOp for Compare
    ExprFunction mFunction = ExprFunction::Unknown;
    std::vector<int> mChildren;
    std::vector<uint8_t> mOps;  // ScriptArithmeticOp between operands of Sum/Product
    ScriptValue mConstant;
    std::wstring mName;
    std::vector<ExprPropertyStep> mSteps;
};

struct CompiledExpression {
    bool mParsed = false;
    ScriptValue mText;  // the text itself, the value of text that does not parse
    std::vector<ExprNode> mNodes;
    int mRoot = -1;     // -1 for empty text: evaluates to the empty value
    // Text that does not parse: why, and whether that is still to be said
    // (once, at its first evaluation; attribute lists that are split before
    // use never are).
    std::string mError;
    std::shared_ptr<std::atomic<bool>> mUnreported;
};

// A compiled form held by whoever evaluates the same text again and again
// (the attributes of script records): immutable, shared between threads.
using ExpressionHandle = std::shared_ptr<const CompiledExpression>;

// Longer texts are not parsed: they evaluate to themselves.
constexpr size_t kMaxExpressionLength = 1 << 16;

// Parses `text`; on failure mParsed is false and `error` says why.
CompiledExpression ParseExpression(const std::wstring& text, std::string* error);
