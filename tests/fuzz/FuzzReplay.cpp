#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tests/fuzz/FuzzTarget.h"

namespace {
std::map<std::string, FuzzFunction>& Targets() {
    static std::map<std::string, FuzzFunction> targets;
    return targets;
}
}  // namespace

bool RegisterFuzzTarget(const char* name, FuzzFunction fn) {
    Targets()[name] = fn;
    return true;
}

// Every file of every target's corpus goes through the same entry point the
// fuzzer uses; a crash or a sanitizer report fails the run.
TEST(FuzzCorpus, EveryTargetReplaysItsCorpus) {
    std::string root = PlatformGetEnv("QUILTRO7_CORPUS");
    ASSERT_FALSE(root.empty());
    SetDebugOutputEnabled(false);
    for (const auto& [name, fn] : Targets()) {
        std::vector<DirEntry> files;
        PlatformListDirectory(root + "/" + name, files);
        EXPECT_FALSE(files.empty()) << "no corpus for fuzz target " << name;
        for (const DirEntry& f : files) {
            if (f.isDirectory) continue;
            std::string bytes;
            ASSERT_TRUE(ReadFileToString(root + "/" + name + "/" + f.name, bytes));
            SCOPED_TRACE(name + "/" + f.name);
            fn(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        }
    }
    SetDebugOutputEnabled(true);
}
