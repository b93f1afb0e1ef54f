// Proves that every puzzle of our catalogue has exactly one solution that line
// logic alone reaches, and that the catalogue agrees with sets7.xml and
// game.xml. Exit status 0 when all is well.
//
//   puzzlecheck [gamedata-folder]      (default: gamedata)
#include <cstdio>
#include <string>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/LineSolver.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

namespace {
bool LoadInto(const std::string& folder, const char* name, bool (*load)(const std::string&, const std::string&)) {
    std::string path = JoinPath(folder, std::string("properties/") + name);
    std::string bytes;
    if (!ReadFileToString(path, bytes)) {
        std::fprintf(stderr, "puzzlecheck: cannot read %s\n", path.c_str());
        return false;
    }
    return load(bytes, path);
}
}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "gamedata";
    bool ok = true;
    int problems = 0;
    ok &= LoadInto(folder, PuzzleStats::kFileName, [](const std::string& b, const std::string& n) {
        PuzzleStats stats(false);
        bool loaded = stats.LoadText(b, n);
        if (!loaded) std::fprintf(stderr, "%s\n", stats.GetErrorText().c_str());
        for (const std::string& line : stats.GetProblems().Lines()) std::fprintf(stderr, "%s\n", line.c_str());
        return loaded && stats.GetProblems().Empty();
    });
    ok &= LoadInto(folder, SetStats::kFileName, [](const std::string& b, const std::string& n) {
        SetStats stats(false);
        bool loaded = stats.LoadText(b, n);
        if (!loaded) std::fprintf(stderr, "%s\n", stats.GetErrorText().c_str());
        return loaded && stats.GetProblems().Empty();
    });
    ok &= LoadInto(folder, GameStats::kFileName, [](const std::string& b, const std::string& n) {
        GameStats stats(false);
        bool loaded = stats.LoadText(b, n);
        if (!loaded) std::fprintf(stderr, "%s\n", stats.GetErrorText().c_str());
        return loaded;
    });

    int count = 0;
    for (const auto& [game, puzzles] : gPuzzleTable) {
        for (int mode = 0; mode < GamePuzzles::kModeCount; ++mode) {
            for (size_t set = 0; set < puzzles.mModes[mode].size(); ++set) {
                for (const PuzzleRecord& puzzle : puzzles.mModes[mode][set]) {
                    ++count;
                    LineSolver::Result result;
                    bool solvable = LineSolver::IsLineSolvable(puzzle.mSolution, &result);
                    std::printf("%-8s mode %d set %zu  %-16s %2dx%-2d  %s\n", WStringToString(game).c_str(), mode,
                                set, WStringToString(puzzle.mName).c_str(), puzzle.GetSize(), puzzle.GetSize(),
                                solvable ? "unique by line logic"
                                         : StrFormat("NOT SOLVED (%d cells open)", result.CountUnknown()).c_str());
                    if (!solvable) ++problems;
                }
            }
        }
    }
    std::string message;
    if (!CheckGameData(message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        ok = false;
    }
    std::printf("%d puzzles, %d not solvable by line logic\n", count, problems);
    return ok && problems == 0 && count > 0 ? 0 : 1;
}
