#include "data/Config.h"

#include <mutex>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/PakInterface.h"

namespace {
using ConfigTable = std::map<std::wstring, std::wstring>;
std::mutex gConfigLock;
std::shared_ptr<const ConfigTable> gConfig = std::make_shared<ConfigTable>();

std::shared_ptr<const ConfigTable> ConfigSnapshot() {
    std::lock_guard lock(gConfigLock);
    return gConfig;
}
}  // namespace

std::wstring GetConfigValue(const std::wstring& name) {
    auto table = ConfigSnapshot();
    auto it = table->find(name);
    return it == table->end() ? std::wstring() : it->second;
}

bool HasConfigValue(const std::wstring& name) { return ConfigSnapshot()->count(name) != 0; }

bool ConfigLoader::Load(const std::string& path) {
    mTable.clear();
    mDepth = 0;
    if (!LoadFile(path)) {
        mTable.clear();
        return false;
    }
    auto table = std::make_shared<const ConfigTable>(mTable);
    std::lock_guard lock(gConfigLock);
    gConfig = std::move(table);
    return true;
}

bool ConfigLoader::OnElementStart(const XMLElement& element) {
    ++mDepth;
    if (mDepth == 1) {
        if (element.mName == L"config") return true;
        SetError("The root element must be <config>");
        return false;
    }
    if (mDepth > 2 || element.mName != L"entry") {
        SetError("Unknown element <" + WStringToString(element.mName) + ">");
        return false;
    }
    std::wstring name = Trim(GetAttribute(L"name"));
    if (name.empty()) {
        SetError("<entry> without a name");
        return false;
    }
    mTable[name] = GetAttribute(L"value");
    return true;
}

bool ConfigLoader::OnElementEnd(const XMLElement&) {
    --mDepth;
    return true;
}

bool LoadConfigFile(std::string* error) {
    const std::string path = "properties/config.xml";
    if (!DataFileExists(path)) return true;
    ConfigLoader loader;
    if (loader.Load(path)) return true;
    DebugPrintf("%s\n", loader.GetErrorText().c_str());
    if (error) *error = loader.GetErrorText();
    return false;
}
