#include "puzzle/SetStats.h"

PublishedTable<SetTable> gSetTable;

SetStats::SetStats() : SetStats(true) {}

SetStats::SetStats(bool loadNow) {
    if (!loadNow) return;
    mLoaded = LoadPropertiesFile(kFileName);
    if (mLoaded) Publish();
}

void SetStats::Publish() { gSetTable.Publish(std::move(mTable)); }

bool SetStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    mTable.clear();
    mGame = nullptr;
    mSet = nullptr;
    mMode = -1;
    mLoaded = LoadFromString(bytes, nameForErrors);
    if (!mLoaded) mTable.clear();
    return mLoaded;
}

const GameSets& SetStats::FindGame(const SetTable& table, const std::wstring& name) {
    for (const GameSets& game : table)
        if (game.mName == name) return game;
    if (!table.empty()) return table.front();
    static const GameSets kNone;
    return kNone;
}

const GameSets& SetStats::FindGame(const std::wstring& name) { return FindGame(*gSetTable.Get(), name); }

const SetRecord* SetStats::FindSet(const std::wstring& gameName, int mode, int set) {
    if (mode < 0 || mode >= GameSets::kModeCount || set < 0) return nullptr;
    const auto& sets = FindGame(gameName).mModes[mode];
    return set < static_cast<int>(sets.size()) ? &sets[static_cast<size_t>(set)] : nullptr;
}

int SetStats::CountSets(const std::wstring& gameName, int mode) {
    if (mode < 0 || mode >= GameSets::kModeCount) return 0;
    return static_cast<int>(FindGame(gameName).mModes[mode].size());
}

bool SetStats::Fail(const std::string& what) {
    SetError(what);
    return false;
}

bool SetStats::OnElementStart(const XMLElement& element) {
    const std::wstring& name = element.mName;
    if (name == L"game") {
        // A second record of one name is kept (FindGame never returns it); its
        // sets go to the first record of that name, as FindGame finds it.
        std::wstring game = GetAttribute(L"name");
        mTable.emplace_back().mName = game;
        mGame = nullptr;
        for (GameSets& g : mTable)
            if (g.mName == game) {
                mGame = &g;
                break;
            }
        mMode = -1;
        mSet = nullptr;
    } else if (name == L"mode") {
        if (!mGame) return Fail("\"mode\" outside a \"game\"");
        if (++mMode >= GameSets::kModeCount) return Fail("a third \"mode\"; a game has a story and a bonus mode");
        mSet = nullptr;
    } else if (name == L"set") {
        if (!mGame || mMode < 0) return Fail("\"set\" outside a \"mode\"");
        SetRecord& record = mGame->mModes[mMode].emplace_back();
        record.mName = GetAttribute(L"name");
        record.mWing = GetAttribute(L"wing");
        record.mUnlock = GetIntAttribute(L"unlock");
        record.mBackground = GetAttribute(L"background");
        if (HasAttribute(L"x")) record.mX = GetIntAttribute(L"x");
        if (HasAttribute(L"y")) record.mY = GetIntAttribute(L"y");
        if (HasAttribute(L"separate")) record.mSeparate = GetBoolAttribute(L"separate");
        mSet = &record;
    } else if (name == L"music") {
        if (!mSet) return Fail("\"music\" outside a \"set\"");
        mSet->mMusicIds.push_back(GetTrackIdAttribute(L"name"));
        mSet->mMusicNames.push_back(GetAttribute(L"name"));
    }
    return true;
}
