#include "tests/support/OddUserFiles.h"

#include <filesystem>

#include "core/FileUtil.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace fs = std::filesystem;

std::vector<OddUserFile> OddUserFiles() {
    std::vector<OddUserFile> kinds = {
        {"a folder", [](const std::string& p) { fs::create_directory(p); }},
        {"a FIFO", [](const std::string& p) { PlatformMakeFifo(p); }},
        {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
        {"too large",
         [](const std::string& p) {
             WriteStringToFile(p, "<x/>");
             fs::resize_file(p, kMaxUserFileBytes + 1);  // sparse
         }},
    };
    if (!PlatformIsSuperUser())
        kinds.push_back({"no permission", [](const std::string& p) {
                             WriteStringToFile(p, "<x/>");
                             fs::permissions(p, fs::perms::none);
                         }});
    return kinds;
}
