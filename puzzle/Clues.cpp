#include "puzzle/Clues.h"

#include <cstddef>

void ComputeClues(const CellColumns& layer, std::vector<ClueLine>& columns, std::vector<ClueLine>& rows) {
    const size_t n = layer.size();
    columns.assign(n, ClueLine());
    rows.assign(n, ClueLine());
    for (size_t i = 0; i < n; ++i) {
        int32_t columnRun = 0, rowRun = 0;
        for (size_t j = 0; j < n; ++j) {
            if (layer[i][j] != 0) {
                ++columnRun;
            } else if (columnRun > 0) {
                columns[i].push_back(Clue{columnRun, 0});
                columnRun = 0;
            }
            if (layer[j][i] != 0) {
                ++rowRun;
            } else if (rowRun > 0) {
                rows[i].push_back(Clue{rowRun, 0});
                rowRun = 0;
            }
        }
        if (columnRun > 0) columns[i].push_back(Clue{columnRun, 0});
        if (rowRun > 0) rows[i].push_back(Clue{rowRun, 0});
    }
}
