// Reading every entry of a 50 MB main.pak against reading the same files loose.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "data/PakBuilder.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"

namespace {

// 400 files of 128 KB in a few folders, written loose into one temp folder and
// packed into main.pak alone in another.
class PakBenchData {
public:
    static const PakBenchData& Get() {
        static PakBenchData data;
        return data;
    }
    ~PakBenchData() { PlatformRemoveTree(mRoot); }

    std::string mRoot;
    std::string mLooseFolder;
    std::string mPakFolder;
    std::vector<std::string> mNames;
    size_t mTotalBytes = 0;
    bool mOk = false;

private:
    PakBenchData() : mRoot(PlatformMakeTempDirectory("q7pakbench")) {
        mLooseFolder = mRoot + "/loose";
        mPakFolder = mRoot + "/packed";
        std::vector<PakSourceEntry> entries;
        uint32_t seed = 12345;
        for (int i = 0; i < 400; ++i) {
            std::string name = "folder" + std::to_string(i % 8) + "/file" + std::to_string(i) + ".bin";
            std::string bytes(128 * 1024, '\0');
            for (char& c : bytes) {
                seed = seed * 1664525u + 1013904223u;
                c = static_cast<char>(seed >> 24);
            }
            WriteStringToFile(mLooseFolder + "/" + name, bytes);
            mTotalBytes += bytes.size();
            mNames.push_back(name);
            entries.push_back({name, std::move(bytes), 0});
        }
        std::string image, error;
        mOk = BuildPakImage(entries, image, &error) && WriteStringToFile(mPakFolder + "/main.pak", image);
    }
};

// Reads each file whole into one reused buffer, the way loaders read.
void ReadEverything(benchmark::State& state, PakInterface& pak, const std::string& folder) {
    const PakBenchData& data = PakBenchData::Get();
    std::vector<std::string> paths;
    for (const std::string& name : data.mNames) paths.push_back(folder + "/" + name);
    std::vector<char> buffer;
    for (auto _ : state) {
        size_t total = 0;
        for (const std::string& path : paths) {
            PFILE* file = pak.FOpen(path.c_str(), "rb");
            if (!file) {
                state.SkipWithError("missing file");
                return;
            }
            pak.FSeek(file, 0, SEEK_END);
            size_t size = size_t(pak.FTell(file));
            pak.FSeek(file, 0, SEEK_SET);
            buffer.resize(size);
            total += pak.FRead(buffer.data(), 1, size, file);
            pak.FClose(file);
        }
        if (total != data.mTotalBytes) state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.mTotalBytes));
}

void BM_ReadAllLoose(benchmark::State& state) {
    const PakBenchData& data = PakBenchData::Get();
    PakInterface pak;
    ReadEverything(state, pak, data.mLooseFolder);
}
BENCHMARK(BM_ReadAllLoose)->Unit(benchmark::kMillisecond);

void BM_ReadAllFromPak(benchmark::State& state) {
    const PakBenchData& data = PakBenchData::Get();
    PakInterface pak;
    if (!data.mOk || !pak.AddPakFile(data.mPakFolder + "/main.pak")) {
        state.SkipWithError("no pak");
        return;
    }
    ReadEverything(state, pak, data.mPakFolder);
}
BENCHMARK(BM_ReadAllFromPak)->Unit(benchmark::kMillisecond);

}  // namespace
