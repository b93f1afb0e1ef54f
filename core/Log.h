#pragma once
#include <string>

// Debug text for developers, on stderr. Silenced with SetDebugOutputEnabled
// (tests that provoke errors on purpose keep their output short).
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SetDebugOutputEnabled(bool enabled);

// The short log: an optional file in the user data folder that keeps only its
// last lines. Nothing is written until it is opened.
class ShortLog {
public:
    static ShortLog& Instance();
    void Open(const std::string& path, int lineLimit);
    void Close();
    bool IsOpen() const { return !mPath.empty(); }
    // flag: also echo to the debug output.
    void Write(const std::string& text, bool flag);
    int LineCount() const;

private:
    std::string mPath;
    int mLineLimit = 0;
};

void WriteShortLog(const std::string& text, bool flag = false);
