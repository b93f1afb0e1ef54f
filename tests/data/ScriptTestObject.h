#pragma once
#include <map>
#include <string>

#include "data/ScriptValue.h"

// A script object with named properties and live floats, for the tests.
class ScriptTestObject : public ScriptObject {
public:
    explicit ScriptTestObject(std::wstring name) : mName(std::move(name)) {}

    std::wstring GetScriptName() const override { return mName; }
    bool GetScriptProperty(const std::wstring& name, ScriptValue& out) override {
        auto it = mProperties.find(name);
        if (it == mProperties.end()) return false;
        out = it->second;
        return true;
    }
    bool ReadFloatProperty(const std::wstring& name, float& out) override {
        auto it = mFloats.find(name);
        if (it == mFloats.end()) return false;
        out = it->second;
        return true;
    }
    bool WriteFloatProperty(const std::wstring& name, float value) override {
        auto it = mFloats.find(name);
        if (it == mFloats.end()) return false;
        it->second = value;
        return true;
    }

    std::wstring mName;
    std::map<std::wstring, ScriptValue> mProperties;
    std::map<std::wstring, float> mFloats;
};
