#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes main.pak archives (see data/PakFormat.h). Used by tools/pakbuild and
// by the tests and benchmarks that need archives.
struct PakSourceEntry {
    std::string mName;  // relative, '/' or '\' separated
    std::string mData;
    int64_t mLastWriteTime = 0;
};

// The scrambled archive image of the entries. False (with the reason) on an
// invalid or duplicate name.
bool BuildPakImage(const std::vector<PakSourceEntry>& entries, std::string& image, std::string* error);

// Every file under the folder, recursively, with names relative to it. The
// output file itself is skipped when it lies inside the folder.
bool CollectPakEntries(const std::string& folder, std::vector<PakSourceEntry>& entries,
                       const std::string& skipPath, std::string* error);

// Builds the archive of a folder and writes it atomically.
bool BuildPakFromFolder(const std::string& folder, const std::string& outPath, std::string* error);
