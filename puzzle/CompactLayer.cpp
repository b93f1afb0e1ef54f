#include "puzzle/CompactLayer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {
// A run of cells narrowed eight at a time (GCC and Clang vectors): this runs
// for every picture cell of the catalogue.
template <typename Narrow>
void NarrowRun(const int32_t* cells, size_t count, uint8_t* out) {
    typedef int32_t Wide8 __attribute__((vector_size(32)));
    typedef Narrow Narrow8 __attribute__((vector_size(8 * sizeof(Narrow))));
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        Wide8 wide;
        std::memcpy(&wide, cells + i, sizeof wide);
        const Narrow8 narrow = __builtin_convertvector(wide, Narrow8);
        std::memcpy(out + i * sizeof(Narrow), &narrow, sizeof narrow);
    }
    for (; i < count; ++i) {
        const Narrow v = static_cast<Narrow>(cells[i]);
        std::memcpy(out + i * sizeof(Narrow), &v, sizeof v);
    }
}
}  // namespace

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
    if (mWidth == Width::Bit && rowStride == n) {
        // Cells in one run: eight at a time, each byte apart from the others.
        const size_t count = n * n;
        size_t i = 0;
        for (; i + 8 <= count; i += 8) {
            const int32_t* c = cells + i;
            out[i / 8] = static_cast<uint8_t>((c[0] & 1) | (c[1] & 1) << 1 | (c[2] & 1) << 2 | (c[3] & 1) << 3 |
                                              (c[4] & 1) << 4 | (c[5] & 1) << 5 | (c[6] & 1) << 6 | (c[7] & 1) << 7);
        }
        for (; i < count; ++i) out[i / 8] = static_cast<uint8_t>(out[i / 8] | (cells[i] & 1) << (i % 8));
        return;
    }
    if (mWidth == Width::Bit) {
        unsigned byte = 0;  // gathered in a register, stored once per eight cells
        size_t i = 0;
        for (size_t y = 0; y < n; ++y)
            for (size_t x = 0; x < n; ++x, ++i) {
                byte |= static_cast<unsigned>(cells[y * rowStride + x] & 1) << (i % 8);
                if (i % 8 == 7) {
                    out[i / 8] = static_cast<uint8_t>(byte);
                    byte = 0;
                }
            }
        if (i % 8) out[i / 8] = static_cast<uint8_t>(byte);
        return;
    }
    // Cells in one run go in one step; rows apart, a row at a time.
    const size_t runs = rowStride == n ? 1 : n, run = rowStride == n ? n * n : n;
    for (size_t r = 0; r < runs; ++r, out += run * width) {
        const int32_t* from = cells + r * rowStride;
        switch (mWidth) {
        case Width::Byte: NarrowRun<int8_t>(from, run, out); break;
        case Width::Short: NarrowRun<int16_t>(from, run, out); break;
        default: std::memcpy(out, from, run * 4); break;
        }
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
