#include "data/ConstantsLoader.h"

#include <algorithm>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Constants.h"

bool ConstantsLoader::Load(const std::string& path) {
    mVariables.clear();
    mDepth = 0;
    if (!LoadFile(path)) {
        mVariables.clear();
        return false;
    }
    PublishConstants(mVariables);
    return true;
}

bool ConstantsLoader::OnElementStart(const XMLElement& element) {
    ++mDepth;
    if (mDepth == 1) {
        if (element.mName == L"constants") return true;
        SetError("The root element must be <constants>, not <" + WStringToString(element.mName) + ">");
        return false;
    }
    if (mDepth > 2) {
        SetError("Constants do not nest (<" + WStringToString(element.mName) + ">)");
        return false;
    }
    return ReadConstant(element);
}

bool ConstantsLoader::OnElementEnd(const XMLElement&) {
    --mDepth;
    return true;
}

bool ConstantsLoader::ReadConstant(const XMLElement& element) {
    const std::wstring& type = element.mName;
    const std::string typeName = WStringToString(type);
    std::wstring name = Trim(GetAttribute(L"name"));
    if (name.empty()) {
        SetError("<" + typeName + "> without a name");
        return false;
    }
    if (!HasAttribute(L"value")) {
        SetError("Constant " + QuoteValue(name) + " has no value");
        return false;
    }
    const std::wstring text = GetAttribute(L"value");
    auto fail = [&](const char* what) {
        SetError("Constant " + QuoteValue(name) + ": " + what + " (" + QuoteValue(text) + ")");
        return false;
    };

    ScriptValue value;
    if (type == L"string") {
        value = ScriptValue(text);
    } else if (type == L"int" || type == L"float" || type == L"bool") {
        ScriptValue result = mEvaluator.Evaluate(text);
        if (!result.IsNumeric()) return fail("the value is not a number");
        if (type == L"int") value = ScriptValue(result.ToInt());
        else if (type == L"float") value = ScriptValue(result.ToFloat());
        else value = ScriptValue(result.ToBool());
    } else if (type == L"color") {
        std::vector<ScriptValue> parts = mEvaluator.EvaluateArguments(text);
        if (parts.size() != 3 && parts.size() != 4) return fail("a color is r,g,b or r,g,b,a");
        int channels[4] = {0, 0, 0, 255};
        for (size_t i = 0; i < parts.size(); ++i) {
            if (!parts[i].IsNumeric()) return fail("a color channel is not a number");
            channels[i] = std::clamp(parts[i].ToInt(), 0, 255);
        }
        value = ScriptValue(Color(channels[0], channels[1], channels[2], channels[3]));
    } else {
        SetError("Unknown constant type <" + typeName + ">");
        return false;
    }
    mVariables[name] = value;
    return true;
}

bool LoadConstantsFile(std::string* error) {
    ConstantsLoader loader;
    if (loader.Load("properties/constants.xml")) return true;
    DebugPrintf("%s\n", loader.GetErrorText().c_str());
    if (error) *error = loader.GetErrorText();
    return false;
}
