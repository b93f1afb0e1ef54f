// Any report text must come through the annotation with every byte of the
// original kept, in order.
#include <string>

#include "crash/ReportAnnotation.h"
#include "tests/fuzz/FuzzTarget.h"

FUZZ_TARGET(crash_report) {
    std::string report(reinterpret_cast<const char*>(data), size);
    SymbolLookup lookup = [](const std::string& module, uint32_t section, uint64_t offset, SymbolHit& hit) {
        hit.name = module.empty() ? "0001:00000000" : "_Z" + module;  // names that look like addresses too
        hit.distance = offset % 3;
        if (section % 2) {
            hit.file = "f.cpp";
            hit.line = static_cast<int>(section);
        }
        return section != 7;
    };
    std::string annotated = AnnotateReport(report, lookup);
    size_t at = 0;
    for (char c : report) {
        at = annotated.find(c, at);
        if (at == std::string::npos) __builtin_trap();
        ++at;
    }
    return 0;
}
