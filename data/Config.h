#pragma once
#include <map>
#include <memory>
#include <string>

#include "data/Parser.h"

// config.xml: named settings of the build, read as raw text.
//   <config> <entry name="n" value="text"/> ... </config>
// Lookups never insert; the loader publishes its table whole.
std::wstring GetConfigValue(const std::wstring& name);  // empty when absent
bool HasConfigValue(const std::wstring& name);

class ConfigLoader : public Parser {
public:
    bool Load(const std::string& path);  // publishes on success only
    const std::map<std::wstring, std::wstring>& GetTable() const { return mTable; }

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;

private:
    std::map<std::wstring, std::wstring> mTable;
    int mDepth = 0;
};

// Loads "properties/config.xml". An absent file is no error (empty table); a
// present one that is broken is, like every other data file (the error names
// the file, the line and the reason).
bool LoadConfigFile(std::string* error = nullptr);
