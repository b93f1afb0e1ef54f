#include "puzzle/DataProblems.h"

#include "core/Log.h"
#include "core/StringUtil.h"

void DataProblems::Report(const std::string& file, int line, const std::string& what) {
    std::string text = line > 0 ? StrFormat("%s, line %d: %s", file.c_str(), line, what.c_str())
                                : StrFormat("%s: %s", file.c_str(), what.c_str());
    DebugPrintf("Data error: %s\n", text.c_str());
    // A broken file can report the same fault thousands of times; keep the
    // first ones, which name the place to look.
    if (mLines.size() < 200) mLines.push_back(text);
}
