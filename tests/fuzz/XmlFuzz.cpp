#include <string>

#include "data/ConstantsLoader.h"
#include "data/EncodingParser.h"
#include "data/Localization.h"
#include "data/Parser.h"
#include "tests/fuzz/FuzzTarget.h"

namespace {

// Reads every attribute with each typed reader, as loaders do.
class ReadEverythingParser : public Parser {
protected:
    bool OnElementStart(const XMLElement& element) override {
        for (const auto& attribute : element.mAttributes) {
            if (GetAttribute(attribute.first) != attribute.second) __builtin_trap();
            if (!HasAttribute(attribute.first)) __builtin_trap();
            GetBoolAttribute(attribute.first);
            if (attribute.second.size() < 256) GetIntAttribute(attribute.first);
        }
        if (element.mLine < 1) __builtin_trap();
        return true;
    }
    bool OnText(const std::wstring& text) override {
        // The text rule: never empty, never space at either end, no runs.
        if (text.empty() || text.front() == L' ' || text.back() == L' ') __builtin_trap();
        if (text.find(L"  ") != std::wstring::npos || text.find_first_of(L"\t\r\n") != std::wstring::npos)
            __builtin_trap();
        return true;
    }
};

}  // namespace

// One document through the plain reader and the constants and localization
// loaders (their private tables only; nothing is published).
FUZZ_TARGET(xml) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    EncodingParser::Decode(bytes);
    ReadEverythingParser plain;
    bool ok = plain.LoadFromString(bytes, "fuzz.xml");
    if (!ok && plain.GetErrorText().find(" in File 'fuzz.xml'") == std::string::npos) __builtin_trap();
    ConstantsLoader constants;
    constants.LoadFromString(bytes, "fuzz.xml");
    Localization localization;
    localization.LoadFromString(bytes, "fuzz.xml");
    return 0;
}
