#include "puzzle/CompactLayer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

CompactLayer::CompactLayer(int size, const int32_t* cells, size_t rowStride, int32_t low, int32_t high)
    : mSize(size > 0 ? size : 0) {
    const size_t n = static_cast<size_t>(mSize);
    if (n == 0) return;
    if (low >= 0 && high <= 1) mWidth = Width::Bit;
    else if (low >= INT8_MIN && high <= INT8_MAX) mWidth = Width::Byte;
    else if (low >= INT16_MIN && high <= INT16_MAX) mWidth = Width::Short;
    else mWidth = Width::Word;
    static constexpr size_t kBytes[] = {0, 1, 2, 4};
    const size_t width = kBytes[static_cast<int>(mWidth)];
    mCells.assign(width ? n * n * width : (n * n + 7) / 8, 0);
    uint8_t* out = mCells.data();
    // One loop per width: the cell loop runs for every cell of every puzzle.
    auto forEach = [&](auto store) {
        size_t i = 0;
        for (size_t y = 0; y < n; ++y)
            for (size_t x = 0; x < n; ++x, ++i) store(i, cells[y * rowStride + x]);
    };
    switch (mWidth) {
    case Width::Bit: {
        unsigned byte = 0;  // gathered in a register, stored once per eight cells
        forEach([&](size_t i, int32_t v) {
            byte |= static_cast<unsigned>(v & 1) << (i % 8);
            if (i % 8 == 7) {
                out[i / 8] = static_cast<uint8_t>(byte);
                byte = 0;
            }
        });
        if ((n * n) % 8) out[n * n / 8] = static_cast<uint8_t>(byte);
        break;
    }
    case Width::Byte:
        forEach([&](size_t i, int32_t v) { out[i] = static_cast<uint8_t>(static_cast<int8_t>(v)); });
        break;
    case Width::Short:
        forEach([&](size_t i, int32_t v) {
            const int16_t narrow = static_cast<int16_t>(v);
            std::memcpy(out + i * 2, &narrow, 2);
        });
        break;
    case Width::Word:
        forEach([&](size_t i, int32_t v) { std::memcpy(out + i * 4, &v, 4); });
        break;
    }
}

CompactLayer CompactLayer::FromColumns(const PuzzleLayer& columns) {
    const int size = static_cast<int>(columns.size());
    std::vector<int32_t> cells(static_cast<size_t>(size) * static_cast<size_t>(size), 0);
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size && y < static_cast<int>(columns[x].size()); ++y)
            cells[static_cast<size_t>(y * size + x)] = columns[x][y];
    auto [low, high] = std::minmax_element(cells.begin(), cells.end());
    return size ? CompactLayer(size, cells.data(), static_cast<size_t>(size), *low, *high) : CompactLayer();
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
