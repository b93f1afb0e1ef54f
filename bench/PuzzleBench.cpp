// The puzzle catalogue at 100, 1,000 and 10,000 puzzles of 25 x 25: the
// loader's time against expat alone on the same bytes, and the heap the loaded
// table keeps per puzzle; then a save of eight full profiles sized from it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "app/GameApp.h"
#include "core/Log.h"
#include "bench/BareExpat.h"
#include "bench/HeapCounter.h"
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
                int v = static_cast<int>(random() % 676);
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

const std::string& Catalogue(int puzzles) {
    static std::map<int, std::string> made;
    auto& xml = made[puzzles];
    if (xml.empty()) xml = MakeCatalogue(puzzles, 25);
    return xml;
}

void BM_LoadCatalogue(benchmark::State& state) {
    const int puzzles = static_cast<int>(state.range(0));
    const std::string& xml = Catalogue(puzzles);
    SetDebugOutputEnabled(false);
    HeapUse kept;
    for (auto _ : state) {
        const HeapUse before = CurrentHeapUse();
        auto stats = std::make_unique<PuzzleStats>(false);
        if (!stats->LoadText(xml, "bench.xml")) state.SkipWithError(stats->GetErrorText().c_str());
        PuzzleTable table = stats->TakeTable();
        // What the table keeps, and its release, are not part of the load.
        state.PauseTiming();
        stats.reset();
        const HeapUse after = CurrentHeapUse();
        kept = {after.mBytes - before.mBytes, after.mBlocks - before.mBlocks};
        table.clear();
        state.ResumeTiming();
    }
    state.counters["file_MB"] = static_cast<double>(xml.size()) / 1e6;
    state.counters["bytes_per_puzzle"] = static_cast<double>(kept.mBytes) / puzzles;
    state.counters["blocks_per_puzzle"] = static_cast<double>(kept.mBlocks) / puzzles;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
    SetDebugOutputEnabled(true);
}
// On a shared machine the fastest of several runs is the figure to compare:
// run with --benchmark_repetitions=10 and read the "_min" lines.
double Fastest(const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); }

BENCHMARK(BM_LoadCatalogue)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

void BM_BareExpatOnCatalogue(benchmark::State& state) {
    const std::string& xml = Catalogue(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        BareExpatCounts counts;
        if (!RunBareExpat(xml, counts)) state.SkipWithError("expat failed");
        benchmark::DoNotOptimize(counts.mChars);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(xml.size()));
}
BENCHMARK(BM_BareExpatOnCatalogue)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

void BM_SaveEightFullProfiles(benchmark::State& state) {
    SetDebugOutputEnabled(false);
    {
        PuzzleStats stats(false);
        stats.LoadText(MakeCatalogue(1000, 5), "bench.xml");
        stats.Publish();
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
    gPuzzleTable.Publish({});
    SetDebugOutputEnabled(true);
}
BENCHMARK(BM_SaveEightFullProfiles)->Unit(benchmark::kMillisecond);

}  // namespace
