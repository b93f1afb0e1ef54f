#include "puzzle/PuzzleStats.h"

#include <algorithm>

#include "core/Log.h"
#include "core/StringUtil.h"

const std::wstring gGameId = L"quiltro7";
std::map<std::wstring, GamePuzzles> gPuzzleTable;

PuzzleStats::PuzzleStats() : PuzzleStats(true) {}

PuzzleStats::PuzzleStats(bool loadNow) {
    if (!loadNow) return;
    ResetReader();
    if (!LoadPropertiesFile(kFileName))  // a missing file leaves the table empty
        DebugPrintf("%s\n", GetErrorText().c_str());
    Finish();
}

bool PuzzleStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    ResetReader();
    mFile = nameForErrors;
    bool ok = LoadFromString(bytes, nameForErrors);
    Finish();
    return ok;
}

void PuzzleStats::ResetReader() {
    mElementName.clear();
    mHaveGame = false;
    mGame.clear();
    mMode = mSet = mPuzzle = -1;
    mChecks.clear();
}

void PuzzleStats::Problem(const std::string& what) { mProblems.Report(mFile, CurrentLine(), what); }

// The current set and puzzle are held as indexes: a repeated "game" element
// empties the table entry, and references into it would dangle.
PuzzleRecord* PuzzleStats::CurrentPuzzle() {
    if (!mHaveGame || mMode < 0 || mMode >= GamePuzzles::kModeCount || mSet < 0 || mPuzzle < 0)
        return nullptr;
    auto game = gPuzzleTable.find(mGame);
    if (game == gPuzzleTable.end()) return nullptr;
    auto& sets = game->second.mModes[mMode];
    if (mSet >= static_cast<int>(sets.size())) return nullptr;
    auto& puzzles = sets[mSet];
    if (mPuzzle >= static_cast<int>(puzzles.size())) return nullptr;
    return &puzzles[mPuzzle];
}

bool PuzzleStats::OnElementStart(const XMLElement& element) {
    mElementName = element.mName;
    const std::wstring& name = element.mName;
    if (name == L"game") {
        mGame = GetAttribute(L"name");
        mHaveGame = true;
        gPuzzleTable[mGame] = GamePuzzles();
        std::erase_if(mChecks, [&](const PendingCheck& c) { return c.mGame == mGame; });
        mMode = -1;
        mSet = mPuzzle = -1;
    } else if (name == L"mode") {
        mSet = mPuzzle = -1;
        if (!mHaveGame) {
            Problem("\"mode\" outside a \"game\" is skipped");
            return true;
        }
        ++mMode;
        if (mMode >= GamePuzzles::kModeCount)
            Problem("a game has two modes (story, bonus); this one and its sets are skipped");
    } else if (name == L"set") {
        mPuzzle = -1;
        mSet = -1;
        if (!mHaveGame || mMode < 0 || mMode >= GamePuzzles::kModeCount) {
            Problem("\"set\" outside a story or bonus \"mode\" is skipped");
            return true;
        }
        auto& sets = gPuzzleTable[mGame].mModes[mMode];
        sets.emplace_back();
        mSet = static_cast<int>(sets.size()) - 1;
    } else if (name == L"puzzle") {
        mPuzzle = -1;
        if (!mHaveGame || mMode < 0 || mMode >= GamePuzzles::kModeCount || mSet < 0) {
            Problem("\"puzzle\" outside a \"set\" is skipped");
            return true;
        }
        auto& puzzles = gPuzzleTable[mGame].mModes[mMode][mSet];
        puzzles.emplace_back();
        mPuzzle = static_cast<int>(puzzles.size()) - 1;
        PuzzleRecord& record = puzzles.back();
        record.mName = GetAttribute(L"name");
        record.mTested = GetBoolAttribute(L"tested");
        record.mSteps = GetIntAttribute(L"steps");
        record.mDifficulty = GetIntAttribute(L"difficulty");
        mChecks.push_back({mGame, mMode, mSet, mPuzzle, CurrentLine()});
        mSolutionRows = mPictureRows = 0;
    }
    return true;
}

bool PuzzleStats::OnText(const std::wstring& text) {
    if (!CurrentPuzzle()) {
        DebugPrintf("TextBlock cannot resume, mPuzzle == NULL \n Text: %s\n",
                    WStringToString(text).c_str());
        return true;
    }
    if (mElementName == L"grid") AppendSolution(text);
    else AppendPicture(text);
    return true;
}

// Word j, character i -> layer[i][j]: each word is a row, from the top. A
// short row leaves a gap that is padded before the next row's cell, so every
// cell stays in its own row even in a ragged grid.
void PuzzleStats::AppendSolution(const std::wstring& text) {
    PuzzleLayer& layer = CurrentPuzzle()->mSolution;
    for (const std::wstring& word : SplitString(text, L' ')) {
        if (word.empty()) continue;
        size_t row = mSolutionRows++;
        if (row >= kMaxReadWidth) continue;
        for (size_t i = 0; i < word.size() && i < kMaxReadWidth; ++i) {
            if (layer.size() < i + 1) layer.resize(i + 1);
            if (layer[i].size() < row) layer[i].resize(row, 0);
            layer[i].push_back(static_cast<int32_t>(word[i]) - '0');
        }
    }
}

bool PuzzleStats::DecodePictureCell(wchar_t c1, wchar_t c2, int32_t& out) {
    if (c1 == L'0') {
        out = -1;
        return true;
    }
    if (c1 < L'A' || c1 > L'Z' || c2 < L'A' || c2 > L'Z') {
        out = -1;  // later used as a cel index: never out of the sheet
        return false;
    }
    out = (c1 - L'A') * 26 + (c2 - L'A');
    return true;
}

void PuzzleStats::AppendPicture(const std::wstring& text) {
    PuzzleLayer& layer = CurrentPuzzle()->mPicture;
    for (const std::wstring& word : SplitString(text, L' ')) {
        if (word.empty()) continue;
        size_t row = mPictureRows++;
        if (row >= kMaxReadWidth) continue;
        size_t cell = 0;
        for (size_t pos = 0; pos < word.size(); pos += 2, ++cell) {
            if (pos + 1 >= word.size()) {
                Problem("a picture word of odd length; its last character is ignored");
                break;
            }
            int32_t value;
            if (!DecodePictureCell(word[pos], word[pos + 1], value))
                Problem(StrFormat("picture cell \"%s\" is not two letters A-Z or \"0x\"; read as empty",
                                  WStringToString(word.substr(pos, 2)).c_str()));
            if (cell >= kMaxReadWidth) break;
            if (layer.size() < cell + 1) layer.resize(cell + 1);
            if (layer[cell].size() < row) layer[cell].resize(row, -1);
            layer[cell].push_back(value);
        }
    }
}

// The grids read layer[x][y] for x, y < N: whatever the file held, both layers
// leave here N x N. Missing cells are holes with no art.
void PuzzleStats::SquareUp(PuzzleRecord& record, int line) {
    auto report = [&](const std::string& what) {
        mProblems.Report(mFile, line, StrFormat("puzzle \"%s\": %s", WStringToString(record.mName).c_str(),
                                                what.c_str()));
    };
    size_t rows = 0;
    for (const auto& column : record.mSolution) rows = std::max(rows, column.size());
    size_t size = std::max(record.mSolution.size(), rows);
    bool square = size > 0;
    for (const auto& column : record.mSolution)
        if (column.size() != size) square = false;
    if (record.mSolution.size() != size) square = false;
    if (size == 0) {
        report("has no grid; made a 1 x 1 hole");
        size = 1;
    } else if (size > static_cast<size_t>(kMaxPuzzleSize)) {
        report(StrFormat("grid is %zu wide or high; cut to %d", size, kMaxPuzzleSize));
        size = kMaxPuzzleSize;
    } else if (!square) {
        report(StrFormat("grid is not %zu x %zu; padded with holes", size, size));
    }
    record.mSolution.resize(size);
    for (auto& column : record.mSolution) {
        column.resize(size, 0);
        for (int32_t& v : column) v = v != 0 ? 1 : 0;
    }

    if (record.mPicture.empty()) {
        record.mPicture.assign(size, std::vector<int32_t>(size, -1));
        return;
    }
    bool pictureSquare = record.mPicture.size() == size;
    for (const auto& column : record.mPicture)
        if (column.size() != size) pictureSquare = false;
    if (!pictureSquare) report(StrFormat("picture is not %zu x %zu like its grid; fitted", size, size));
    record.mPicture.resize(size);
    for (auto& column : record.mPicture) column.resize(size, -1);
}

void PuzzleStats::Finish() {
    for (const PendingCheck& check : mChecks) {
        auto game = gPuzzleTable.find(check.mGame);
        if (game == gPuzzleTable.end()) continue;
        auto& sets = game->second.mModes[check.mMode];
        if (check.mSet >= static_cast<int>(sets.size())) continue;
        auto& puzzles = sets[check.mSet];
        if (check.mPuzzle >= static_cast<int>(puzzles.size())) continue;
        SquareUp(puzzles[check.mPuzzle], check.mLine);
    }
    mChecks.clear();
}
