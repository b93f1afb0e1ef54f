#include "puzzle/CompactLayer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

CompactLayer::CompactLayer(int size, const std::vector<int32_t>& cells) : mSize(size > 0 ? size : 0) {
    const size_t count = static_cast<size_t>(mSize) * static_cast<size_t>(mSize);
    if (count == 0) return;
    auto [low, high] = std::minmax_element(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(count));
    if (*low >= 0 && *high <= 1) mWidth = Width::Bit;
    else if (*low >= INT8_MIN && *high <= INT8_MAX) mWidth = Width::Byte;
    else if (*low >= INT16_MIN && *high <= INT16_MAX) mWidth = Width::Short;
    else mWidth = Width::Word;
    switch (mWidth) {
    case Width::Bit:
        mCells.assign((count + 7) / 8, 0);
        for (size_t i = 0; i < count; ++i)
            if (cells[i]) mCells[i / 8] = static_cast<uint8_t>(mCells[i / 8] | (1u << (i % 8)));
        break;
    case Width::Byte:
        mCells.resize(count);
        for (size_t i = 0; i < count; ++i) mCells[i] = static_cast<uint8_t>(static_cast<int8_t>(cells[i]));
        break;
    case Width::Short:
        mCells.resize(count * 2);
        for (size_t i = 0; i < count; ++i) {
            int16_t v = static_cast<int16_t>(cells[i]);
            std::memcpy(&mCells[i * 2], &v, 2);
        }
        break;
    case Width::Word:
        mCells.resize(count * 4);
        std::memcpy(mCells.data(), cells.data(), count * 4);
        break;
    }
}

CompactLayer CompactLayer::FromColumns(const PuzzleLayer& columns) {
    const int size = static_cast<int>(columns.size());
    std::vector<int32_t> cells(static_cast<size_t>(size) * static_cast<size_t>(size), 0);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size && y < static_cast<int>(columns[x].size()); ++y)
            cells[static_cast<size_t>(y * size + x)] = columns[x][y];
    return CompactLayer(size, cells);
}

int32_t CompactLayer::At(int x, int y) const {
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(mSize) + static_cast<size_t>(x);
    switch (mWidth) {
    case Width::Bit: return (mCells[i / 8] >> (i % 8)) & 1;
    case Width::Byte: return static_cast<int8_t>(mCells[i]);
    case Width::Short: {
        int16_t v;
        std::memcpy(&v, &mCells[i * 2], 2);
        return v;
    }
    case Width::Word: {
        int32_t v;
        std::memcpy(&v, &mCells[i * 4], 4);
        return v;
    }
    }
    return 0;
}

PuzzleLayer CompactLayer::ToColumns() const {
    PuzzleLayer columns(static_cast<size_t>(mSize), std::vector<int32_t>(static_cast<size_t>(mSize)));
    for (int x = 0; x < mSize; ++x)
        for (int y = 0; y < mSize; ++y) columns[x][y] = At(x, y);
    return columns;
}
