#pragma once
#include <string>

#include "data/ScriptValue.h"

// Named values a scripted class answers beyond its float properties (a drag
// widget's "dragging", a screen's "progress" ...). A class that answers some
// names passes every other name on to its base class's GetProperty.
class ExtendedPropertyInterface {
public:
    virtual ~ExtendedPropertyInterface() = default;
    // False when the name is unknown.
    virtual bool GetProperty(const std::wstring& name, ScriptValue& out) = 0;
};
