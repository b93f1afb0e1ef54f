#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/Parser.h"
#include "data/PublishedTable.h"

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
using SetTable = std::vector<GameSets>;
extern PublishedTable<SetTable> gSetTable;

// Reads properties/sets7.xml. Sets must be listed in the same order as the
// puzzle catalogue's: both are addressed by index. The table is built
// privately and published only when the whole file is sound; an element out of
// place (a set outside a mode, a third mode, music outside a set) fails the
// load with the file and the line.
class SetStats : public Parser {
public:
    static constexpr const char* kFileName = "sets7.xml";

    SetStats();                      // loads the file and publishes it when sound
    explicit SetStats(bool loadNow);
    // Reads a text into this reader's table (replacing it); false at the first fault.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);
    bool Succeeded() const { return mLoaded; }

    const SetTable& GetTable() const { return mTable; }
    void Publish();

    // In the published table: the first game of that exact name, else the
    // first game. With an empty table (a data error the loading steps refuse)
    // an empty record is returned rather than reading past the end.
    static const GameSets& FindGame(const std::wstring& name);
    static const GameSets& FindGame(const SetTable& table, const std::wstring& name);
    // The record of a set of that game, null for a mode or set it lacks.
    static const SetRecord* FindSet(const std::wstring& gameName, int mode, int set);
    // The number of sets of a mode of that game (0 for a mode it lacks).
    static int CountSets(const std::wstring& gameName, int mode);

protected:
    bool OnElementStart(const XMLElement& element) override;

private:
    bool Fail(const std::string& what);

    SetTable mTable;
    bool mLoaded = false;
    GameSets* mGame = nullptr;   // the record the current game's sets go to
    int mMode = -1;
    SetRecord* mSet = nullptr;
};
