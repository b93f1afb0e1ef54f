#include "puzzle/SetStats.h"

#include "core/Log.h"
#include "core/StringUtil.h"

std::vector<GameSets> gSetTable;

SetStats::SetStats() : SetStats(true) {}

SetStats::SetStats(bool loadNow) {
    if (!loadNow) return;
    // The file is the whole set catalogue: reading it again (a restart of the
    // loading steps) replaces the table instead of adding a second copy.
    gSetTable.clear();
    if (!LoadPropertiesFile(kFileName)) DebugPrintf("%s\n", GetErrorText().c_str());
}

bool SetStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    mFile = nameForErrors;
    mHaveGame = false;
    mMode = mSetGame = mSet = -1;
    return LoadFromString(bytes, nameForErrors);
}

GameSets& SetStats::FindGame(const std::wstring& name) {
    for (GameSets& game : gSetTable)
        if (game.mName == name) return game;
    if (!gSetTable.empty()) return gSetTable.front();
    static GameSets sNone;
    sNone = GameSets();
    return sNone;
}

void SetStats::Problem(const std::string& what) { mProblems.Report(mFile, CurrentLine(), what); }

SetRecord* SetStats::CurrentSet() {
    if (mSetGame < 0 || mSetGame >= static_cast<int>(gSetTable.size())) return nullptr;
    if (mMode < 0 || mMode >= GameSets::kModeCount) return nullptr;
    auto& sets = gSetTable[mSetGame].mModes[mMode];
    if (mSet < 0 || mSet >= static_cast<int>(sets.size())) return nullptr;
    return &sets[mSet];
}

bool SetStats::OnElementStart(const XMLElement& element) {
    const std::wstring& name = element.mName;
    if (name == L"game") {
        mGame = GetAttribute(L"name");
        mHaveGame = true;
        GameSets game;
        game.mName = mGame;
        gSetTable.push_back(std::move(game));
        mMode = -1;
        mSetGame = mSet = -1;
    } else if (name == L"mode") {
        mSet = -1;
        if (!mHaveGame) {
            Problem("\"mode\" outside a \"game\" is skipped");
            return true;
        }
        ++mMode;
        if (mMode >= GameSets::kModeCount)
            Problem("a game has two modes (story, bonus); this one and its sets are skipped");
    } else if (name == L"set") {
        mSet = -1;
        if (!mHaveGame || mMode < 0 || mMode >= GameSets::kModeCount) {
            Problem("\"set\" outside a story or bonus \"mode\" is skipped");
            return true;
        }
        GameSets& game = FindGame(mGame);
        mSetGame = static_cast<int>(&game - gSetTable.data());
        SetRecord record;
        record.mName = GetAttribute(L"name");
        record.mWing = GetAttribute(L"wing");
        record.mUnlock = GetIntAttribute(L"unlock");
        record.mBackground = GetAttribute(L"background");
        if (HasAttribute(L"x")) record.mX = GetIntAttribute(L"x");
        if (HasAttribute(L"y")) record.mY = GetIntAttribute(L"y");
        if (HasAttribute(L"separate")) record.mSeparate = GetBoolAttribute(L"separate");
        game.mModes[mMode].push_back(std::move(record));
        mSet = static_cast<int>(game.mModes[mMode].size()) - 1;
    } else if (name == L"music") {
        SetRecord* set = CurrentSet();
        if (!set) {
            Problem("\"music\" outside a \"set\" is skipped");
            return true;
        }
        set->mMusicIds.push_back(GetTrackIdAttribute(L"name"));
        set->mMusicNames.push_back(GetAttribute(L"name"));
    }
    return true;
}
