#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A puzzle layer: N columns of N cells, indexed [x][y] with x the column from
// the left and y the row from the top (the form the grids work on).
using PuzzleLayer = std::vector<std::vector<int32_t>>;

// An N x N layer as the catalogue keeps it: every cell in the narrowest width
// its values fit (one bit for a 0/1 solution, one or two bytes for a
// picture), so ten thousand puzzles cost a few megabytes rather than a
// hundred. Read a cell with At, or the whole layer in the grids' column form.
class CompactLayer {
public:
    CompactLayer() = default;
    // From cells row by row: cell x, y at cells[y * rowStride + x]; size 0
    // gives an empty layer.
    // low and high bound the values (the reader knows them as it reads).
    CompactLayer(int size, const int32_t* cells, size_t rowStride, int32_t low, int32_t high);
    static CompactLayer FromColumns(const PuzzleLayer& columns);  // a square layer

    int GetSize() const { return mSize; }
    int32_t At(int x, int y) const;
    PuzzleLayer ToColumns() const;
    // Heap bytes held, for the memory figures.
    size_t HeapBytes() const { return mCells.capacity(); }

    bool operator==(const CompactLayer& other) const = default;

private:
    enum class Width : uint8_t { Bit, Byte, Short, Word };

    std::vector<uint8_t> mCells;
    int32_t mSize = 0;
    Width mWidth = Width::Bit;
};
