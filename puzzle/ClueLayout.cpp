#include "puzzle/ClueLayout.h"

#include <algorithm>

namespace {
constexpr int kGap = 2;  // between the last clue and the cells
}  // namespace

ClueLayout::ClueLayout(int size, int tile, int offsetX, int offsetY, int slotLimit, int celWidth, int celHeight)
    : mSize(size), mTile(tile), mOffsetX(offsetX), mOffsetY(offsetY), mCelWidth(celWidth), mCelHeight(celHeight) {
    const int count = std::max(std::min(slotLimit, (size + 1) / 2), 1);
    mSlotWidth = std::min(tile, offsetX / count);
    mSlotHeight = std::min(tile, offsetY / count);
}

Point ClueLayout::ColumnClue(int line, int index, int count) const {
    return Point(mTile * line + (mTile - mCelWidth) / 2,
                 (mSlotHeight - mCelHeight) / 2 - (count - index) * mSlotHeight - kGap);
}

Point ClueLayout::RowClue(int line, int index, int count) const {
    return Point((mSlotWidth - mCelWidth) / 2 - (count - index) * mSlotWidth - kGap,
                 mTile * line + (mTile - mCelHeight) / 2);
}

bool ClueLayout::FitsTheMostClues() const {
    const int most = (mSize + 1) / 2;
    return mSlotWidth >= mCelWidth && mSlotHeight >= mCelHeight && ColumnClue(0, 0, most).mY >= -mOffsetY &&
           RowClue(0, 0, most).mX >= -mOffsetX;
}
