#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "data/Parser.h"
#include "data/PublishedTable.h"

// The rules of one grid size.
struct GridConfig {
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
    int32_t mHints = 0;       // correct reveals that fill one hint bulb
    int32_t mHintReward = 0;  // cells one hint reveals
    int32_t mMistakes = 0;    // mistakes allowed
};

// Grid size (cells along a side) -> its rules.
using GridConfigTable = std::map<int32_t, GridConfig>;
extern PublishedTable<GridConfigTable> gGridConfigs;

// The rules of a size in the published table; a size the file lacks reads as
// all zeros (CheckGameData refuses a catalogue that would ever reach one) and
// is not added.
GridConfig FindGridConfig(int32_t size);

// Reads the "grid" records of properties/game.xml; the table is published only
// when the whole file is sound.
class GameStats : public Parser {
public:
    static constexpr const char* kFileName = "game.xml";

    GameStats();                      // loads the file and publishes it when sound
    explicit GameStats(bool loadNow);
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);
    bool Succeeded() const { return mLoaded; }

    const GridConfigTable& GetTable() const { return mTable; }
    void Publish();

protected:
    bool OnElementStart(const XMLElement& element) override;

private:
    GridConfigTable mTable;
    bool mLoaded = false;
};
