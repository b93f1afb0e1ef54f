#include "data/Constants.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace {
std::mutex gConstantsLock;
// Bumped (under the lock) each time a table is published.
std::atomic<uint64_t> gConstantsGeneration{1};

std::shared_ptr<const VariableMap>& Table() {
    static std::shared_ptr<const VariableMap> table = std::make_shared<const VariableMap>();
    return table;
}

// Each thread keeps the table it last saw, so that the lookups expressions
// make every frame take no lock unless a new table has been published.
const VariableMap& CurrentTable() {
    thread_local std::shared_ptr<const VariableMap> seen;
    thread_local uint64_t seenGeneration = 0;
    if (seenGeneration != gConstantsGeneration.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(gConstantsLock);
        seen = Table();
        seenGeneration = gConstantsGeneration.load(std::memory_order_relaxed);
    }
    return *seen;
}
}  // namespace

bool FindConstant(const std::wstring& name, ScriptValue& out) {
    const VariableMap& table = CurrentTable();
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

bool IsConstantDefined(const std::wstring& name) { return CurrentTable().count(name) != 0; }

void PublishConstants(VariableMap table) {
    auto fresh = std::make_shared<const VariableMap>(std::move(table));
    std::shared_ptr<const VariableMap> old;
    {
        std::lock_guard<std::mutex> lock(gConstantsLock);
        old = std::move(Table());
        Table() = std::move(fresh);
        gConstantsGeneration.fetch_add(1, std::memory_order_release);
    }
    // The old table dies here (or when the last thread that read it moves
    // on), outside the lock.
}

std::shared_ptr<const VariableMap> GetConstantsSnapshot() {
    std::lock_guard<std::mutex> lock(gConstantsLock);
    return Table();
}
