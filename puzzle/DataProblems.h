#pragma once
#include <string>
#include <vector>

// Problems found in our data files. Each is logged at once, naming the file
// and the line, and kept so that the loading steps and the tests can see them.
class DataProblems {
public:
    void Report(const std::string& file, int line, const std::string& what);
    void Clear() { mLines.clear(); }
    bool Empty() const { return mLines.empty(); }
    const std::vector<std::string>& Lines() const { return mLines; }

private:
    std::vector<std::string> mLines;
};
