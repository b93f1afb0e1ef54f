#include "core/Log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <mutex>

#include "core/FileUtil.h"
#include "core/StringUtil.h"

namespace {
std::atomic<bool> gDebugOutput{true};
std::mutex gShortLogLock;
std::deque<std::string> gShortLogLines;
}  // namespace

void SetDebugOutputEnabled(bool enabled) { gDebugOutput = enabled; }

void DebugPrintf(const char* format, ...) {
    if (!gDebugOutput) return;
    va_list args;
    va_start(args, format);
    std::string s = VStrFormat(format, args);
    va_end(args);
    std::fputs(s.c_str(), stderr);
}

ShortLog& ShortLog::Instance() {
    static ShortLog log;
    return log;
}

void ShortLog::Open(const std::string& path, int lineLimit) {
    std::lock_guard<std::mutex> lock(gShortLogLock);
    mPath = path;
    mLineLimit = lineLimit > 0 ? lineLimit : 1000;
    gShortLogLines.clear();
}

void ShortLog::Close() {
    std::lock_guard<std::mutex> lock(gShortLogLock);
    mPath.clear();
    gShortLogLines.clear();
}

int ShortLog::LineCount() const {
    std::lock_guard<std::mutex> lock(gShortLogLock);
    return static_cast<int>(gShortLogLines.size());
}

void ShortLog::Write(const std::string& text, bool flag) {
    if (flag) DebugPrintf("%s\n", text.c_str());
    std::lock_guard<std::mutex> lock(gShortLogLock);
    if (mPath.empty()) return;
    for (const std::string& line : SplitString(text, '\n')) gShortLogLines.push_back(line);
    while (static_cast<int>(gShortLogLines.size()) > mLineLimit) gShortLogLines.pop_front();
    std::string all;
    for (const std::string& line : gShortLogLines) all += line + "\n";
    WriteStringToFile(mPath, all);
}

void WriteShortLog(const std::string& text, bool flag) { ShortLog::Instance().Write(text, flag); }
