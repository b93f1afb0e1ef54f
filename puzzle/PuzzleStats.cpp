#include "puzzle/PuzzleStats.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/StringUtil.h"

namespace {
// The characters from p for a message: count of them, whole even when not ASCII.
std::string Characters(const char* p, const char* end, int count) {
    const char* q = p;
    for (int i = 0; i < count && q < end; ++i) NextUtf8CodePoint(q, end);
    return std::string(p, q);
}
}  // namespace

PuzzleStats::PuzzleStats() : PuzzleStats(true) {}

PuzzleStats::PuzzleStats(bool loadNow) {
    if (!loadNow) return;
    mLoaded = LoadPropertiesFile(kFileName);
    if (mLoaded) Publish();
}

void PuzzleStats::Publish() { gPuzzleTable.Publish(TakeTable()); }

bool PuzzleStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    mTable.clear();
    mGame = nullptr;
    mPuzzle = nullptr;
    mMode = -1;
    mHaveSet = false;
    mInGrid = false;
    mLoaded = LoadFromString(bytes, nameForErrors);
    if (!mLoaded) mTable.clear();  // never a partial catalogue
    return mLoaded;
}

bool PuzzleStats::Fail(const std::string& what) {
    SetError(what);
    return false;
}

bool PuzzleStats::FailPuzzle(const std::string& what) {
    return Fail("puzzle " + QuoteValue(mPuzzle->mName, '"') + ": " + what);
}

bool PuzzleStats::OnElementStart(const XMLElement& element) {
    const std::wstring& name = element.mName;
    mInGrid = name == L"grid";
    const bool structural = name == L"game" || name == L"mode" || name == L"set" || name == L"puzzle";
    if (structural && mPuzzle) return FailPuzzle(QuoteValue(name, '"') + " inside a puzzle");
    if (name == L"game") {
        mGame = &mTable[GetAttribute(L"name")];
        *mGame = GamePuzzles();  // a repeated game starts afresh
        mMode = -1;
        mHaveSet = false;
    } else if (name == L"mode") {
        if (!mGame) return Fail("\"mode\" outside a \"game\"");
        if (++mMode >= GamePuzzles::kModeCount) return Fail("a third \"mode\"; a game has a story and a bonus mode");
        mHaveSet = false;
    } else if (name == L"set") {
        if (!mGame || mMode < 0) return Fail("\"set\" outside a \"mode\"");
        mGame->mModes[mMode].emplace_back();
        mHaveSet = true;
    } else if (name == L"puzzle") {
        if (!mHaveSet) return Fail("\"puzzle\" outside a \"set\"");
        PuzzleRecord& record = mGame->mModes[mMode].back().emplace_back();
        record.mName = GetAttribute(L"name");
        record.mTested = GetBoolAttribute(L"tested");
        record.mSteps = GetIntAttribute(L"steps");
        record.mDifficulty = GetIntAttribute(L"difficulty");
        mPuzzle = &record;
        mSolution.Clear();
        mPicture.Clear();
    }
    return true;
}

bool PuzzleStats::OnElementEnd(const XMLElement& element) {
    if (element.mName != L"puzzle" || !mPuzzle) return true;
    bool ok = FinishPuzzle();
    mPuzzle = nullptr;  // text after the puzzle belongs to no puzzle
    return ok;
}

bool PuzzleStats::OnTextUtf8(const char* text, size_t size) {
    if (!mPuzzle) {
        std::printf("TextBlock cannot resume, mPuzzle == NULL \n Text: %.*s\n", static_cast<int>(size), text);
        return true;
    }
    return mInGrid ? AppendSolution(text, size) : AppendPicture(text, size);
}

void PuzzleStats::PendingLayer::Clear() {
    mCells.resize(static_cast<size_t>(kMaxPuzzleSize) * kMaxPuzzleSize);
    mRows = mWidth = mWidest = mOddWidth = 0;
    mLow = INT32_MAX;
    mHigh = INT32_MIN;
    mOddRow = -1;
}

int32_t* PuzzleStats::PendingLayer::NextRow() {
    return mRows < kMaxPuzzleSize ? &mCells[static_cast<size_t>(mRows) * kMaxPuzzleSize] : nullptr;
}

// Moves the rows together so that the cells run without gaps (size <= the
// row room), which lets the layer be packed in long runs.
void PuzzleStats::PendingLayer::CloseUpRows(int size) {
    for (int y = 1; y < size; ++y)
        std::memmove(&mCells[static_cast<size_t>(y * size)], &mCells[static_cast<size_t>(y) * kMaxPuzzleSize],
                     static_cast<size_t>(size) * sizeof(int32_t));
}

void PuzzleStats::PendingLayer::EndRow(int width) {
    if (mRows == 0) mWidth = width;
    else if (width != mWidth && mOddRow < 0) {
        mOddRow = mRows;
        mOddWidth = width;
    }
    mWidest = std::max(mWidest, width);
    ++mRows;
}

// The text is already one space between words: each word is a row, each
// character a cell from the left. One pass per word: this runs for every
// cell of the catalogue.
bool PuzzleStats::AppendSolution(const char* text, size_t size) {
    const char* p = text;
    const char* const end = p + size;
    while (p < end) {
        const char* word = p;
        const char* space = static_cast<const char*>(std::memchr(p, ' ', static_cast<size_t>(end - p)));
        p = space ? space + 1 : end;
        const int width = static_cast<int>((space ? space : end) - word);
        int32_t* row = mSolution.NextRow();
        const int stored = row ? std::min(width, kMaxPuzzleSize) : 0;
        uint32_t bad = 0;
        for (int i = 0; i < stored; ++i) {
            const uint32_t value = static_cast<uint32_t>(word[i] - '0');
            bad |= value & ~1u;
            row[i] = static_cast<int32_t>(value);
        }
        for (int i = stored; i < width; ++i) bad |= static_cast<uint32_t>(word[i] - '0') & ~1u;
        if (bad) {
            const char* c = word;
            while (*c == '0' || *c == '1') ++c;
            return FailPuzzle(StrFormat("grid row %d: character \"%s\" is not 0 or 1", mSolution.mRows + 1,
                                        Characters(c, end, 1).c_str()));
        }
        mSolution.EndRow(width);
    }
    return true;
}

bool PuzzleStats::DecodePictureCell(char c1, char c2, int32_t& out) {
    const uint32_t high = static_cast<uint32_t>(c1 - 'A'), low = static_cast<uint32_t>(c2 - 'A');
    if ((high < 26) & (low < 26)) {  // the common case first, one test: it runs for every cell
        out = static_cast<int32_t>(high * 26 + low);
        return true;
    }
    out = -1;  // "0x", or else never a cel index out of the sheet
    return c1 == '0';
}

// Cells are counted in characters: a letter outside ASCII is a wrong cell,
// never a split one.
bool PuzzleStats::AppendPicture(const char* text, size_t size) {
    const char* p = text;
    const char* const end = p + size;
    int32_t low = mPicture.mLow, high = mPicture.mHigh;
    while (p < end) {
        const char* word = p;
        const char* space = static_cast<const char*>(std::memchr(p, ' ', static_cast<size_t>(end - p)));
        p = space ? space + 1 : end;
        const char* wordEnd = space ? space : end;
        const int letters = static_cast<int>(wordEnd - word);
        int32_t* row = mPicture.NextRow();
        const int cells = letters / 2;
        for (int i = 0; i < cells; ++i) {
            int32_t value;
            if (!DecodePictureCell(word[2 * i], word[2 * i + 1], value))
                return FailPuzzle(StrFormat("picture row %d: cell \"%s\" is not two letters A-Z or \"0x\"",
                                            mPicture.mRows + 1, Characters(word + 2 * i, wordEnd, 2).c_str()));
            if (row && i < kMaxPuzzleSize) row[i] = value;
            low = std::min(low, value);
            high = std::max(high, value);
        }
        if (letters % 2)
            return FailPuzzle(StrFormat("picture row %d has an odd number of letters", mPicture.mRows + 1));
        mPicture.EndRow(cells);
    }
    mPicture.mLow = low;
    mPicture.mHigh = high;
    return true;
}

bool PuzzleStats::CheckShape(const PendingLayer& layer, const char* what, int size) {
    if (layer.mWidest > kMaxPuzzleSize || layer.mRows > kMaxPuzzleSize)
        return FailPuzzle(StrFormat("%s is %d x %d; a puzzle is at most %d x %d", what, layer.mWidest, layer.mRows,
                                    kMaxPuzzleSize, kMaxPuzzleSize));
    if (layer.mOddRow >= 0)
        return FailPuzzle(StrFormat("%s row %d has %d cells where row 1 has %d", what, layer.mOddRow + 1,
                                    layer.mOddWidth, layer.mWidth));
    if (layer.mWidth != size || layer.mRows != size)
        return FailPuzzle(StrFormat("%s is %d x %d; it must be %d x %d", what, layer.mWidth, layer.mRows, size, size));
    return true;
}

// Both layers leave here N x N: the grids read layer[x][y] for x, y < N.
bool PuzzleStats::FinishPuzzle() {
    if (mSolution.mRows == 0) return FailPuzzle("has no grid");
    const int size = mSolution.mWidth;
    if (!CheckShape(mSolution, "grid", size)) return false;
    bool anyTile = false;
    for (int y = 0; y < size && !anyTile; ++y)
        for (int x = 0; x < size; ++x) anyTile |= mSolution.mCells[static_cast<size_t>(y) * kMaxPuzzleSize + x] != 0;
    if (!anyTile) return FailPuzzle("has no tile, so it could never be solved");
    mSolution.CloseUpRows(size);
    mPuzzle->mSolution = CompactLayer(size, mSolution.mCells.data(), static_cast<size_t>(size), 0, 1);
    if (mPicture.mRows == 0) {  // no art at all
        mPicture.mCells.assign(mPicture.mCells.size(), -1);
        mPicture.mLow = mPicture.mHigh = -1;
    } else if (!CheckShape(mPicture, "picture", size)) {
        return false;
    }
    mPicture.CloseUpRows(size);
    mPuzzle->mPicture =
        CompactLayer(size, mPicture.mCells.data(), static_cast<size_t>(size), mPicture.mLow, mPicture.mHigh);
    return true;
}
