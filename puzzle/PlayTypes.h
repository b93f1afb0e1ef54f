#pragma once
#include <cstdint>

// The named states of play shared by the puzzle model, its policies and the
// board. Where the play screen or a tutorial script hands over a number, the
// enumerators keep that number.

// The tool the play screen has selected: 0 the tile (reveal) tool; the play
// screen's "any other value" is the mark tool.
enum class Tool : int32_t { Tile = 0, Mark = 1 };

// What a line does to its cells. The values are bits: a tutorial names the
// actions it expects as a mask and tests them against the current action.
enum class CellAction : int32_t { None = 0, Reveal = 1, Mark = 2 };

inline bool SharesAction(CellAction a, CellAction b) {
    return (static_cast<int32_t>(a) & static_cast<int32_t>(b)) != 0;
}

// The two clue tables: column clues above the board, row clues left of it.
enum class LineKind : int32_t { Column = 0, Row = 1 };

// A cell as play left it. Every state but Open is done; the solution value
// tells whether a done cell shows a tile.
enum class CellState : uint8_t {
    Open,
    Solid,         // a tile revealed
    Hole,          // a hole marked (by the player, or as an empty line at the start)
    InvalidHole,   // a hole revealed: a mistake
    InvalidSolid,  // a tile marked: a mistake, shown as a tile and counted as revealed
};

// What became of one cell acted on. The board names its cell animation after
// it ("tile_solid" ... "init_hole").
enum class CellResult : uint8_t { Solid, Hole, InvalidHole, InvalidSolid, InitHole };

// Play is over for good once solved (no tile left) or lost (no mistake left).
enum class PlayEnd : uint8_t { Playing, Solved, Lost };
