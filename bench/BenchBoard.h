#pragma once
#include <string>

#include "puzzle/GameStats.h"

// The board both board benchmarks play: 25 x 25, checkered with many short
// runs (the most clue numbers to draw).
constexpr int kBenchBoardSize = 25;

// Publishes that board as puzzle 0 of set 0 of `game` (named `name`, its
// picture all `pictureColour`), the rules of its size (`config`, placed at
// 200, 200) and its stand-in pictures for `device`: the board, the three
// highlights and the clue digits.
void SetUpBenchBoard(const std::wstring& game, const std::wstring& device, GridConfig config,
                     const std::wstring& name, int pictureColour);
