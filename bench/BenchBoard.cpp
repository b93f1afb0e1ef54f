#include "bench/BenchBoard.h"

#include <vector>

#include "bench/BenchPictures.h"
#include "data/AssetManager.h"
#include "puzzle/PuzzleModel.h"
#include "puzzle/PuzzleRecord.h"
#include "render/Image.h"

void SetUpBenchBoard(const std::wstring& game, const std::wstring& device, GridConfig config,
                     const std::wstring& name, int pictureColour) {
    constexpr int n = kBenchBoardSize, tile = 24;
    const std::wstring size = std::to_wstring(n);
    gAssetManager->AddImage(L"Grid" + size + L"_" + device, BenchPicture(200 + n * tile, 200 + n * tile));
    for (const wchar_t* kind : {L"TileHighlight_", L"MarkHighlight_", L"CursorHighlight_"})
        gAssetManager->AddImage(L"G" + size + kind + device, BenchPicture(tile, tile));
    gAssetManager->AddImage(L"G" + size + L"Numbers_" + device, BenchPicture(n * 10, 4 * 10, n, 4));
    config.mOffsetX = 200;
    config.mOffsetY = 200;
    gGridConfigs.Edit([&](GridConfigTable& rules) { rules[n] = config; });
    PuzzleLayer solution(n, std::vector<int32_t>(n, 0));
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) solution[x][y] = ((x / 2 + y) % 3) != 0;
    PuzzleRecord record;
    record.mName = name;
    record.mSolution = CompactLayer::FromColumns(solution);
    record.mPicture = CompactLayer::FromColumns(PuzzleLayer(n, std::vector<int32_t>(n, pictureColour)));
    gPuzzleTable.Edit([&](PuzzleTable& table) { table[game].mModes[0].assign(1, PuzzleSet{record}); });
}
