#include "data/Constants.h"

#include <mutex>

namespace {
std::mutex gConstantsLock;

std::shared_ptr<const VariableMap>& Table() {
    static std::shared_ptr<const VariableMap> table = std::make_shared<const VariableMap>();
    return table;
}
}  // namespace

bool FindConstant(const std::wstring& name, ScriptValue& out) {
    std::lock_guard<std::mutex> lock(gConstantsLock);
    const VariableMap& table = *Table();
    auto it = table.find(name);
    if (it == table.end()) return false;
    out = it->second;
    return true;
}

ScriptValue GetConstant(const std::wstring& name) {
    ScriptValue value;
    if (!FindConstant(name, value)) return ScriptValue(0);
    return value;
}

int GetConstantInt(const std::wstring& name) { return GetConstant(name).ToInt(); }

float GetConstantFloat(const std::wstring& name) { return GetConstant(name).ToFloat(); }

bool IsConstantDefined(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(gConstantsLock);
    return Table()->count(name) != 0;
}

void PublishConstants(VariableMap table) {
    auto fresh = std::make_shared<const VariableMap>(std::move(table));
    std::shared_ptr<const VariableMap> old;
    {
        std::lock_guard<std::mutex> lock(gConstantsLock);
        old = std::move(Table());
        Table() = std::move(fresh);
    }
    // The old table dies here, outside the lock.
}

std::shared_ptr<const VariableMap> GetConstantsSnapshot() {
    std::lock_guard<std::mutex> lock(gConstantsLock);
    return Table();
}
