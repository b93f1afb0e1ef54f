#pragma once
#include <string>

#include "core/WeakHandle.h"

class ScriptValue;

// Anything a script value can hold as an object: widgets above all. Script
// values keep only a weak handle, so a deleted object reads as null.
class ScriptObject : public HandleTarget {
public:
    ~ScriptObject() override = default;

    // The name an object shows when turned into text (its id for widgets).
    virtual std::wstring GetScriptName() const { return {}; }
    // Named property read for `obj.prop`; false when unknown.
    virtual bool GetScriptProperty(const std::wstring& /*name*/, ScriptValue& /*out*/) {
        return false;
    }
    // Live float read and write for checked references (`obj.x_ptr`); false
    // when the object has no such property.
    virtual bool ReadFloatProperty(const std::wstring& /*name*/, float& /*out*/) { return false; }
    virtual bool WriteFloatProperty(const std::wstring& /*name*/, float /*value*/) {
        return false;
    }
};
