#include "crash/ReportAnnotation.h"

#include <cxxabi.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "crash/CrashReport.h"
#include "core/StringUtil.h"

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// The hexadecimal run at `at` of at least `min` digits; its length, or 0.
size_t HexRun(const std::string& text, size_t at, size_t min) {
    size_t n = 0;
    while (at + n < text.size() && IsHex(text[at + n])) ++n;
    return n >= min ? n : 0;
}

std::string LineRest(const std::string& text, size_t from) {
    size_t end = text.find_first_of("\r\n", from);
    std::string rest = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    size_t b = rest.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : rest.substr(b);
}

std::string Demangle(const std::string& name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> out(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                               std::free);
    return status == 0 && out ? std::string(out.get()) : name;
}

}  // namespace

std::string AnnotateReport(const std::string& report, const SymbolLookup& lookup) {
    std::string text = report;
    std::string module;
    size_t modulePos = text.find("Module: ");
    if (modulePos != std::string::npos) module = LineRest(text, modulePos + 8);

    for (size_t i = 0; i + 13 <= text.size(); ++i) {
        // Only at the start of a hexadecimal run, so longer numbers are skipped.
        if (i > 0 && IsHex(text[i - 1])) continue;
        if (HexRun(text, i, 4) != 4 || text[i + 4] != ':') continue;
        size_t offsetDigits = HexRun(text, i + 5, 8);
        if (offsetDigits == 0) continue;
        size_t end = i + 5 + offsetDigits;
        uint32_t section = static_cast<uint32_t>(std::strtoul(text.substr(i, 4).c_str(), nullptr, 16));
        uint64_t offset = std::strtoull(text.substr(i + 5, offsetDigits).c_str(), nullptr, 16);
        std::string lineModule = LineRest(text, end);
        SymbolHit hit;
        if (section == 0 || !lookup(lineModule.empty() ? module : lineModule, section, offset, hit)) {
            i = end - 1;
            continue;
        }
        std::string insert = " " + Demangle(hit.name);
        if (hit.distance != 0) insert += StrFormat("+0x%llX", static_cast<unsigned long long>(hit.distance));
        if (!hit.file.empty())
            insert += "\r\n    " + hit.file + " line " + std::to_string(hit.line) + StrFormat(" +0x%llX", static_cast<unsigned long long>(hit.lineDistance));
        text.insert(end, insert);
        // Resume after the inserted text: names may hold digits and colons.
        i = end + insert.size() - 1;
    }
    return text;
}

SymbolLookup OwnModuleLookup() {
    auto modules = std::make_shared<CrashModules>();
    PlatformSnapshotModules(*modules);
    return [modules](const std::string& module, uint32_t section, uint64_t offset, SymbolHit& hit) {
        for (int m = 0; m < modules->count; ++m) {
            const CrashModule& mod = modules->modules[m];
            if (module != FileNamePart(mod.path) || section > static_cast<uint32_t>(mod.segmentCount)) continue;
            uint64_t address = mod.bias + mod.segments[section - 1].vaddr + offset;
            char name[1024];
            uint64_t start = 0;
            if (!PlatformSymbolAt(address, name, sizeof name, &start) || start > address) return false;
            hit.name = name;
            hit.distance = address - start;
            return true;
        }
        return false;
    };
}
