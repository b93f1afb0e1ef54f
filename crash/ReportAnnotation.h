#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Names the code addresses of a report. Every "SSSS:OOOOOOOO" (four and
// eight or more hexadecimal digits) gets the symbol the lookup finds for it,
// inserted right after the address as " name" or " name+0xD". The module is
// the text after the address on its line, or, when that is empty, the
// report's "Module: " line.
struct SymbolHit {
    std::string name;
    uint64_t distance = 0;
    std::string file;  // source file and line, when known
    int line = 0;
    uint64_t lineDistance = 0;
};
using SymbolLookup =
    std::function<bool(const std::string& module, uint32_t section, uint64_t offset, SymbolHit& hit)>;

std::string AnnotateReport(const std::string& report, const SymbolLookup& lookup);

// The lookup over this process's own modules (the reporter is the crashed
// program started again, so its modules are the same files).
SymbolLookup OwnModuleLookup();
