// Proves that every puzzle of our catalogue has exactly one solution that line
// logic alone reaches, and that the catalogue agrees with sets7.xml and
// game.xml. A file the game would refuse is refused here with the same
// message. Exit status 0 when all is well.
//
//   puzzlecheck [gamedata-folder]      (default: gamedata)
#include <cstdio>
#include <string>

#include "core/FileUtil.h"
#include "core/StringUtil.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/LineSolver.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

namespace {
// Reads one file of the folder with the game's own loader and publishes it as
// the game would; false (with the loader's message) when the game would refuse it.
template <typename Loader>
bool Load(const std::string& folder, const char* name) {
    std::string path = JoinPath(folder, std::string("properties/") + name);
    std::string bytes;
    if (!ReadFileToString(path, bytes)) {
        std::fprintf(stderr, "puzzlecheck: cannot read %s\n", path.c_str());
        return false;
    }
    Loader loader(false);
    if (!loader.LoadText(bytes, path)) {
        std::fprintf(stderr, "%s\n", loader.GetErrorText().c_str());
        return false;
    }
    loader.Publish();
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "gamedata";
    bool ok = Load<PuzzleStats>(folder, PuzzleStats::kFileName);
    ok &= Load<SetStats>(folder, SetStats::kFileName);
    ok &= Load<GameStats>(folder, GameStats::kFileName);

    int count = 0;
    int problems = 0;
    for (const auto& [game, puzzles] : *gPuzzleTable.Get()) {
        for (int mode = 0; mode < GamePuzzles::kModeCount; ++mode) {
            for (size_t set = 0; set < puzzles.mModes[mode].size(); ++set) {
                for (const PuzzleRecord& puzzle : puzzles.mModes[mode][set]) {
                    ++count;
                    LineSolver::Result result;
                    bool solvable = LineSolver::IsLineSolvable(puzzle.mSolution.ToColumns(), &result);
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
    if (ok && !CheckGameData(message)) {
        std::fprintf(stderr, "%s\n", message.c_str());
        ok = false;
    }
    std::printf("%d puzzles, %d not solvable by line logic\n", count, problems);
    return ok && problems == 0 && count > 0 ? 0 : 1;
}
