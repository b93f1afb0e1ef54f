// The puzzle catalogue at its largest (1,000 puzzles of 25 x 25) and a save of
// eight full profiles sized from it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "app/GameApp.h"
#include "core/Log.h"
#include "platform/FileSystem.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"

namespace {

std::string MakeCatalogue(int puzzles, int size) {
    std::mt19937 random(25);
    std::string xml = "<puzzles><game name=\"quiltro7\"><mode>";
    for (int i = 0; i < puzzles; ++i) {
        if (i % 20 == 0) xml += i ? "</set><set>" : "<set>";
        if (i == puzzles / 2) xml += "</set></mode><mode><set>";
        xml += "<puzzle name=\"p" + std::to_string(i) + "\" tested=\"1\" steps=\"2+3\" difficulty=\"4\"><grid>\n";
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) xml += random() % 2 ? '1' : '0';
            xml += '\n';
        }
        xml += "</grid><picture>\n";
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                int v = static_cast<int>(random() % 64);
                xml += static_cast<char>('A' + v / 26);
                xml += static_cast<char>('A' + v % 26);
            }
            xml += '\n';
        }
        xml += "</picture></puzzle>";
    }
    xml += "</set></mode></game></puzzles>";
    return xml;
}

size_t TableBytes() {
    size_t bytes = 0;
    for (const auto& [name, game] : gPuzzleTable)
        for (const auto& mode : game.mModes)
            for (const PuzzleSet& set : mode)
                for (const PuzzleRecord& p : set) {
                    bytes += sizeof(PuzzleRecord);
                    for (const auto& column : p.mSolution) bytes += sizeof(column) + column.capacity() * 4;
                    for (const auto& column : p.mPicture) bytes += sizeof(column) + column.capacity() * 4;
                }
    return bytes;
}

void BM_LoadCatalogue1000x25(benchmark::State& state) {
    static const std::string xml = MakeCatalogue(1000, 25);
    SetDebugOutputEnabled(false);
    for (auto _ : state) {
        gPuzzleTable.clear();
        PuzzleStats stats(false);
        benchmark::DoNotOptimize(stats.LoadText(xml, "bench.xml"));
    }
    state.counters["file_MB"] = static_cast<double>(xml.size()) / 1e6;
    state.counters["table_MB"] = static_cast<double>(TableBytes()) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    SetDebugOutputEnabled(true);
}
BENCHMARK(BM_LoadCatalogue1000x25)->Unit(benchmark::kMillisecond);

void BM_SaveEightFullProfiles(benchmark::State& state) {
    SetDebugOutputEnabled(false);
    gPuzzleTable.clear();
    {
        PuzzleStats stats(false);
        stats.LoadText(MakeCatalogue(1000, 5), "bench.xml");
    }
    std::string folder = PlatformMakeTempDirectory("q7profilebench");
    {
        GameApp app("bench", "v1.2", 1024, 768);
        app.mAppDataFolder = folder + "/";
        ProfileManager::ClearProfiles();
        ProfileManager manager(false);
        for (int i = 0; i < 8; ++i) {
            ProfileManager::CreateProfile(L"player" + std::to_wstring(i));
            for (auto& mode : gProfiles[i].mState.mProgress)
                for (SetProgress& set : mode)
                    for (PuzzleProgress& p : set.mPuzzles) p = {true, 1234, true, false};
        }
        size_t bytes = ProfileManager::WriteXml().size();
        for (auto _ : state) benchmark::DoNotOptimize(ProfileManager::Save());
        state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
        ProfileManager::ClearProfiles();
    }
    PlatformRemoveTree(folder);
    gPuzzleTable.clear();
    SetDebugOutputEnabled(true);
}
BENCHMARK(BM_SaveEightFullProfiles)->Unit(benchmark::kMillisecond);

}  // namespace
