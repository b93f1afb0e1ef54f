#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "data/Parser.h"
#include "puzzle/DataProblems.h"

// The rules of one grid size.
struct GridConfig {
    int32_t mOffsetX = 0;
    int32_t mOffsetY = 0;
    int32_t mHints = 0;       // correct reveals that fill one hint bulb
    int32_t mHintReward = 0;  // cells one hint reveals
    int32_t mMistakes = 0;    // mistakes allowed
};

// Grid size (cells along a side) -> its rules. The subscript of a size the
// file lacks inserts a zero record; CheckGameData refuses a catalogue that
// would ever reach one.
extern std::map<int32_t, GridConfig> gGridConfigs;

// Reads the "grid" records of properties/game.xml.
class GameStats : public Parser {
public:
    static constexpr const char* kFileName = "game.xml";

    GameStats();
    explicit GameStats(bool loadNow);
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);

protected:
    bool OnElementStart(const XMLElement& element) override;
};
