#include "data/ExpressionEvaluator.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <new>

#include "core/Log.h"
#include "core/Random.h"
#include "core/StringUtil.h"
#include "data/BasicPlayerState.h"
#include "data/CompiledExpression.h"
#include "data/Constants.h"
#include "data/ScriptOperators.h"

namespace {
std::atomic<ExpressionEvaluator::SystemValueHook> gSystemValueHook{nullptr};

// Texts longer than this are parsed on every use rather than kept.
constexpr size_t kMaxCachedTextLength = 1 << 20;
// Bounds of the shared cache: entries and approximate bytes held.
constexpr size_t kMaxSharedEntries = 16384;
constexpr size_t kMaxSharedBytes = 32u << 20;
// Each evaluator keeps its short texts (the ones evaluated every frame) in
// its own small cache, read without taking the shared lock.
constexpr size_t kMaxLocalTextLength = 256;
constexpr size_t kMaxLocalEntries = 256;

using CompiledPtr = std::shared_ptr<const CompiledExpression>;

size_t ApproximateBytes(const std::wstring& text, const CompiledExpression& compiled) {
    return 2 * text.size() * sizeof(wchar_t) + compiled.mNodes.size() * (sizeof(ExprNode) + 32);
}

// The compiled forms of every text seen, shared by all evaluators on all
// threads. When it grows past its bounds it is emptied and refilled; the
// evaluators' own caches keep what they use alive.
class SharedExpressionCache {
public:
    static SharedExpressionCache& Instance() {
        static SharedExpressionCache cache;
        return cache;
    }

    CompiledPtr Get(const std::wstring& text) {
        {
            std::lock_guard<std::mutex> lock(mLock);
            auto it = mEntries.find(text);
            if (it != mEntries.end()) return it->second;
        }
        // Parse outside the lock so that a long text does not hold up the
        // other threads; the first to insert wins.
        std::string error;
        CompiledExpression parsed = ParseExpression(text, &error);
        if (!parsed.mParsed) {
            parsed.mError = std::move(error);
            parsed.mUnreported = std::make_shared<std::atomic<bool>>(true);
        }
        auto compiled = std::make_shared<const CompiledExpression>(std::move(parsed));
        bool cacheable = text.size() <= kMaxCachedTextLength;
        if (cacheable) {
            std::lock_guard<std::mutex> lock(mLock);
            auto it = mEntries.find(text);
            if (it != mEntries.end()) {
                compiled = it->second;
            } else {
                size_t bytes = ApproximateBytes(text, *compiled);
                if (mEntries.size() >= kMaxSharedEntries || mBytes + bytes > kMaxSharedBytes) {
                    mEntries.clear();
                    mBytes = 0;
                }
                if (bytes <= kMaxSharedBytes) {
                    mEntries.emplace(text, compiled);
                    mBytes += bytes;
                }
            }
        }
        return compiled;
    }

private:

    std::mutex mLock;
    std::unordered_map<std::wstring, CompiledPtr> mEntries;
    size_t mBytes = 0;
};

void ReportUnparsed(const CompiledExpression& compiled) {
    if (!compiled.mUnreported || !compiled.mUnreported->exchange(false)) return;
    constexpr size_t kShown = 120;
    const std::wstring& text = compiled.mText.GetText();
    std::string shown = WStringToString(text.substr(0, kShown));
    if (text.size() > kShown) shown += "...";
    DebugPrintf("Expression \"%s\" does not parse (%s); it stands for its own text\n",
                shown.c_str(), compiled.mError.c_str());
}

float Finite(double value) {
    // Functions outside their domain (sqrt(-1), pow(-8, 0.5)) give 0 rather
    // than NaN, which would compare false with everything.
    return std::isnan(value) ? 0.0f : static_cast<float>(value);
}
}  // namespace

// Walks a compiled expression. The tree depth is bounded by the parser, so
// the recursion is too.
class ExpressionRunner {
public:
    ExpressionRunner(const CompiledExpression& compiled, VariableMap& variables)
        : mNodes(compiled.mNodes), mVariables(variables) {}

    ScriptValue Run(int index) const {
        const ExprNode& node = mNodes[static_cast<size_t>(index)];
        switch (node.mKind) {
            case ExprNodeKind::Constant:
                return node.mConstant;
            case ExprNodeKind::Name:
                return Resolve(node);
            case ExprNodeKind::Or:
                for (int child : node.mChildren)
                    if (Run(child).ToBool()) return true;
                return false;
            case ExprNodeKind::And:
                for (int child : node.mChildren)
                    if (!Run(child).ToBool()) return false;
                return true;
            case ExprNodeKind::Not:
                return !Run(node.mChildren[0]).ToBool();
            case ExprNodeKind::Compare: {
                ScriptValue left, right;
                return CompareScriptValues(static_cast<ScriptCompareOp>(node.mOp),
                                           Fetch(node.mChildren[0], left),
                                           Fetch(node.mChildren[1], right));
            }
            case ExprNodeKind::Sum:
            case ExprNodeKind::Product:
                return RunChain(node);
            case ExprNodeKind::Negate:
                return NegateScriptValue(Run(node.mChildren[0]));
            case ExprNodeKind::Plus:
                return ScriptValueAsNumber(Run(node.mChildren[0]));
            case ExprNodeKind::Property:
                return ReadProperties(node);
            case ExprNodeKind::Call:
                return Call(node);
        }
        return ScriptValue();
    }

private:
    ScriptValue RunChain(const ExprNode& node) const {
        ScriptValue first, operand;
        ScriptValue value = ApplyScriptArithmetic(static_cast<ScriptArithmeticOp>(node.mOps[0]),
                                                  Fetch(node.mChildren[0], first),
                                                  Fetch(node.mChildren[1], operand));
        // Text built up by a run of '+' grows in one buffer, so that a long
        // chain of concatenations takes linear time.
        std::wstring text;
        bool building = false;
        for (size_t i = 2; i < node.mChildren.size(); ++i) {
            auto op = static_cast<ScriptArithmeticOp>(node.mOps[i - 1]);
            const ScriptValue& next = Fetch(node.mChildren[i], operand);
            if (op == ScriptArithmeticOp::Add &&
                (building || value.GetType() == ScriptValue::String)) {
                if (!building) {
                    text = value.GetText();
                    building = true;
                }
                if (next.GetType() == ScriptValue::String) text += next.GetText();
                else text += next.ToString();
                continue;
            }
            if (building) {
                value = ScriptValue(std::move(text));
                text.clear();
                building = false;
            }
            value = ApplyScriptArithmetic(op, value, next);
        }
        if (building) value = ScriptValue(std::move(text));
        return value;
    }

    // The value of a child, without copying it when it is a literal or a
    // variable; `scratch` holds it otherwise.
    const ScriptValue& Fetch(int index, ScriptValue& scratch) const {
        const ExprNode& node = mNodes[static_cast<size_t>(index)];
        if (node.mKind == ExprNodeKind::Constant) return node.mConstant;
        if (node.mKind == ExprNodeKind::Name) return Resolve(node, scratch);
        scratch = Run(index);
        return scratch;
    }

    ScriptValue Resolve(const ExprNode& node) const {
        ScriptValue scratch;
        const ScriptValue& value = Resolve(node, scratch);
        return &value == &scratch ? scratch : value;
    }

    const ScriptValue& Resolve(const ExprNode& node, ScriptValue& scratch) const {
        auto local = mVariables.find(node.mName);
        if (local != mVariables.end()) return local->second;
        if (BasicPlayerState* player = gCurrentPlayerState) {
            auto global = player->mVariables.find(node.mName);
            if (global != player->mVariables.end()) return global->second;
        }
        if (FindConstant(node.mName, scratch)) return scratch;
        if (auto hook = gSystemValueHook.load(std::memory_order_acquire))
            if (hook(node.mName, scratch)) return scratch;
        return node.mConstant;  // the bareword: the name's own text
    }

    ScriptValue ReadProperties(const ExprNode& node) const {
        ScriptValue value = Run(node.mChildren[0]);
        for (size_t i = 0; i < node.mSteps.size(); ++i) {
            const ExprPropertyStep& step = node.mSteps[i];
            if (value.GetType() != ScriptValue::Object) {
                // Not an object: "a.b" is just that text (file names, keys),
                // and so is the rest of the chain.
                std::wstring text = value.ToString();
                for (; i < node.mSteps.size(); ++i) {
                    text += L'.';
                    text += node.mSteps[i].mName;
                }
                return ScriptValue(std::move(text));
            }
            ScriptObject* object = value.GetObject();
            if (!object) {
                value = 0;
            } else if (step.mIsRef) {
                value = ScriptValue::MakeRef(object, step.mRefProperty);
            } else {
                ScriptValue property;
                value = object->GetScriptProperty(step.mName, property) ? property : ScriptValue(0);
            }
        }
        return value;
    }

    ScriptValue Call(const ExprNode& node) const {
        const std::vector<int>& args = node.mChildren;
        size_t count = args.size();
        switch (node.mFunction) {
            case ExprFunction::Unknown:
                return ScriptValue();
            case ExprFunction::Min:
            case ExprFunction::Max: {
                if (count == 0) return ScriptValue();
                ScriptValue best = ScriptValueAsNumber(Run(args[0]));
                ScriptCompareOp better = node.mFunction == ExprFunction::Min
                                             ? ScriptCompareOp::Less
                                             : ScriptCompareOp::Greater;
                for (size_t i = 1; i < count; ++i) {
                    ScriptValue candidate = ScriptValueAsNumber(Run(args[i]));
                    if (CompareScriptValues(better, candidate, best)) best = candidate;
                }
                return best;
            }
            case ExprFunction::Rand:
                if (count == 0) return static_cast<int>(Rand());
                if (count == 1) return Rand(Run(args[0]).ToInt());
                return ScriptValue();
            case ExprFunction::RandF:
                if (count == 0) return RandDouble(1.0);
                if (count == 1) return RandDouble(Run(args[0]).ToDouble());
                return ScriptValue();
            case ExprFunction::Pow:
                if (count != 2) return ScriptValue();
                return Finite(std::pow(Run(args[0]).ToDouble(), Run(args[1]).ToDouble()));
            default:
                break;
        }
        if (count != 1) return ScriptValue();
        ScriptValue x = ScriptValueAsNumber(Run(args[0]));
        bool isInt = x.GetType() == ScriptValue::Int;
        double d = x.ToDouble();
        switch (node.mFunction) {
            case ExprFunction::Sin:
                return Finite(std::sin(d));
            case ExprFunction::Cos:
                return Finite(std::cos(d));
            case ExprFunction::Sqrt:
                return Finite(std::sqrt(d));
            case ExprFunction::Abs:
                if (isInt) {
                    int32_t v = x.ToInt();
                    return v < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(v)) : v;
                }
                return std::fabs(static_cast<float>(d));
            case ExprFunction::Floor:
                return isInt ? x : ScriptValue(std::floor(static_cast<float>(d)));
            case ExprFunction::Ceil:
                return isInt ? x : ScriptValue(std::ceil(static_cast<float>(d)));
            case ExprFunction::Round:
                return isInt ? x : ScriptValue(std::round(static_cast<float>(d)));
            case ExprFunction::Int:
                return x.ToInt();
            case ExprFunction::Float:
                return x.ToFloat();
            default:
                return ScriptValue();
        }
    }

    const std::vector<ExprNode>& mNodes;
    VariableMap& mVariables;
};

ExpressionEvaluator::ExpressionEvaluator(VariableMap& variables) : mVariables(variables) {}

ExpressionEvaluator::ExpressionEvaluator(const ExpressionEvaluator& other)
    : mVariables(other.mVariables), mLocalCache(other.mLocalCache) {}

ExpressionEvaluator::~ExpressionEvaluator() = default;

ScriptValue ExpressionEvaluator::Evaluate(const std::wstring& text) {
    try {
        auto it = mLocalCache.find(text);
        if (it != mLocalCache.end()) return Evaluate(*it->second);
        CompiledPtr holder = SharedExpressionCache::Instance().Get(text);
        if (text.size() <= kMaxLocalTextLength) {
            // Emptying is safe only when no evaluation of this evaluator
            // is under way (a property read may evaluate re-entrantly).
            if (mLocalCache.size() >= kMaxLocalEntries && mBusy == 0) mLocalCache.clear();
            if (mLocalCache.size() < kMaxLocalEntries) mLocalCache.emplace(text, holder);
        }
        return Evaluate(*holder);
    } catch (const std::exception&) {
        // Only allocation can fail here; the value is then unknown.
        return ScriptValue();
    }
}

ScriptValue ExpressionEvaluator::Evaluate(const CompiledExpression& compiled) {
    try {
        if (!compiled.mParsed) {
            ReportUnparsed(compiled);
            return compiled.mText;
        }
        if (compiled.mRoot < 0) return ScriptValue();
        struct BusyGuard {
            explicit BusyGuard(int& busy) : mBusy(busy) { ++mBusy; }
            ~BusyGuard() { --mBusy; }
            int& mBusy;
        } guard(mBusy);
        return ExpressionRunner(compiled, mVariables).Run(compiled.mRoot);
    } catch (const std::exception&) {
        return ScriptValue();
    }
}

ExpressionHandle ExpressionEvaluator::Compile(const std::wstring& text) {
    return SharedExpressionCache::Instance().Get(text);
}

std::vector<std::wstring> ExpressionEvaluator::SplitArguments(const std::wstring& text) {
    std::vector<std::wstring> parts;
    if (Trim(text).empty()) return parts;
    int depth = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (quoted) {
            if (c == L'\\' && i + 1 < text.size()) ++i;
            else if (c == L'\'') quoted = false;
        } else if (c == L'\'') {
            quoted = true;
        } else if (c == L'(') {
            ++depth;
        } else if (c == L')') {
            if (depth > 0) --depth;
        } else if (c == L',' && depth == 0) {
            parts.push_back(Trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    parts.push_back(Trim(text.substr(start)));
    return parts;
}

std::vector<ScriptValue> ExpressionEvaluator::EvaluateArguments(const std::wstring& text) {
    std::vector<ScriptValue> values;
    for (const std::wstring& part : SplitArguments(text)) values.push_back(Evaluate(part));
    return values;
}

void ExpressionEvaluator::SetSystemValueHook(SystemValueHook hook) {
    gSystemValueHook.store(hook, std::memory_order_release);
}
