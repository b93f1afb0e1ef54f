#pragma once
#include <memory>
#include <string>

#include "data/ScriptValue.h"

// The constants table (filled from constants.xml). Lookups never insert: an
// absent name reads as int 0 and stays undefined. The loader builds a table
// privately and publishes it whole; readers on any thread see either the old
// or the new table.
ScriptValue GetConstant(const std::wstring& name);  // absent -> int 0
int GetConstantInt(const std::wstring& name);
float GetConstantFloat(const std::wstring& name);
bool IsConstantDefined(const std::wstring& name);
bool FindConstant(const std::wstring& name, ScriptValue& out);
void PublishConstants(VariableMap table);
// The current table, for code that walks it (never null).
std::shared_ptr<const VariableMap> GetConstantsSnapshot();
