#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/Parser.h"
#include "puzzle/DataProblems.h"

struct SetRecord {
    std::wstring mName;        // title key, key of the set's puzzle titles
    std::wstring mWing;
    std::wstring mBackground;  // also the set's asset group
    bool mSeparate = false;
    int32_t mX = 0;            // story map position; 0,0 = no map button
    int32_t mY = 0;
    int32_t mUnlock = 0;
    std::vector<int32_t> mMusicIds;        // -1 for a track the assets lack
    std::vector<std::wstring> mMusicNames; // parallel to mMusicIds
};

struct GameSets {
    static constexpr int kModeCount = 2;
    std::vector<SetRecord> mModes[kModeCount];  // 0 story, 1 bonus
    std::wstring mName;
};

// Every game of sets7.xml, in file order.
extern std::vector<GameSets> gSetTable;

// Reads properties/sets7.xml into gSetTable. Sets must be listed in the same
// order as the puzzle catalogue's: both are addressed by index.
class SetStats : public Parser {
public:
    static constexpr const char* kFileName = "sets7.xml";

    SetStats();
    explicit SetStats(bool loadNow);
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);

    // The first game of that exact name, else the first game of the table.
    // With an empty table (a data error the loading steps refuse) an empty
    // record is returned rather than reading past the end.
    static GameSets& FindGame(const std::wstring& name);

    const DataProblems& GetProblems() const { return mProblems; }

protected:
    bool OnElementStart(const XMLElement& element) override;

private:
    SetRecord* CurrentSet();
    void Problem(const std::string& what);

    std::string mFile = std::string("properties/") + kFileName;
    bool mHaveGame = false;
    std::wstring mGame;
    int mMode = -1;
    int mSetGame = -1;  // index into gSetTable of the record the set went to
    int mSet = -1;
    DataProblems mProblems;
};
