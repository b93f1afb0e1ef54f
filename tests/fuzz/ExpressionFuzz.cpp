// Any bytes, read as UTF-8, must evaluate to some value without a crash,
// without unbounded recursion and without changing any variable or constant.
#include <cstdlib>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/BasicPlayerState.h"
#include "data/Constants.h"
#include "data/ExpressionEvaluator.h"
#include "tests/data/ScriptTestObject.h"
#include "tests/fuzz/FuzzTarget.h"

namespace {
struct FuzzWorld {
    FuzzWorld() {
        SetDebugOutputEnabled(false);
        object.mProperties = {{L"self", ScriptValue(&object)}, {L"x", 1.5f}, {L"name", ScriptValue(L"obj")}};
        object.mFloats[L"x"] = 1.5f;
        variables[L"i"] = 3;
        variables[L"t"] = 0.5f;
        variables[L"s"] = ScriptValue(L"text");
        variables[L"self"] = ScriptValue(&object);
        variables[L"gone"] = ScriptValue(static_cast<ScriptObject*>(dead));
        variables[L"time_ptr"] = ScriptValue::MakeRef(&object, L"x");
        variables[L"c"] = ScriptValue(Color(1, 2, 3, 4));
        delete dead;
        player.mVariables[L"player_name"] = ScriptValue(L"P");
        constants = {{L"k", 7}, {L"f", 0.25f}};
    }
    ScriptTestObject object{L"obj"};
    ScriptTestObject* dead = new ScriptTestObject(L"dead");
    BasicPlayerState player;
    VariableMap variables;
    VariableMap constants;
};
}  // namespace

FUZZ_TARGET(expression) {
    static FuzzWorld world;
    static ExpressionEvaluator evaluator(world.variables);
    // Other targets share the replay program: leave their globals as found.
    BasicPlayerState* previousPlayer = gCurrentPlayerState;
    std::shared_ptr<const VariableMap> previousConstants = GetConstantsSnapshot();
    world.player.MakeCurrent();
    PublishConstants(world.constants);
    std::wstring text = StringToWString(std::string(reinterpret_cast<const char*>(data), size));
    size_t variableCount = world.variables.size();
    size_t globalCount = world.player.mVariables.size();

    ScriptValue value = evaluator.Evaluate(text);
    value.ToString();
    value.ToInt();
    value.ToFloat();
    value.ToBool();
    value.ToColor();
    if (!(value == value) && value.GetType() != ScriptValue::Float &&
        value.GetType() != ScriptValue::Ref)
        std::abort();  // only NaN may differ from itself
    // Evaluating twice (now from the cache) gives the same kind of value.
    if (evaluator.Evaluate(text).GetType() != value.GetType()) std::abort();
    for (const ScriptValue& argument : evaluator.EvaluateArguments(text)) argument.ToString();

    if (world.variables.size() != variableCount || world.player.mVariables.size() != globalCount ||
        GetConstantsSnapshot()->size() != 2)
        std::abort();
    gCurrentPlayerState = previousPlayer;
    PublishConstants(*previousConstants);
    return 0;
}
