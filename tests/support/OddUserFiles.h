#pragma once
#include <functional>
#include <string>
#include <vector>

// What a player's file may have become instead of a readable regular file:
// each entry puts one such thing at the path.
struct OddUserFile {
    const char* name;
    std::function<void(const std::string& path)> make;
};
// A folder, a FIFO, a link to /dev/zero, a file over the cap and (unless the
// tests run as the super-user, whom permissions do not stop) one without
// read permission.
std::vector<OddUserFile> OddUserFiles();
