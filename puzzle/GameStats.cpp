#include "puzzle/GameStats.h"

#include "core/Log.h"

std::map<int32_t, GridConfig> gGridConfigs;

GameStats::GameStats() : GameStats(true) {}

GameStats::GameStats(bool loadNow) {
    if (loadNow && !LoadPropertiesFile(kFileName)) DebugPrintf("%s\n", GetErrorText().c_str());
}

bool GameStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    return LoadFromString(bytes, nameForErrors);
}

bool GameStats::OnElementStart(const XMLElement& element) {
    if (element.mName != L"grid") return true;
    GridConfig config;
    config.mHints = GetIntAttribute(L"hints");
    config.mHintReward = GetIntAttribute(L"hint-reward");
    config.mMistakes = GetIntAttribute(L"mistakes");
    config.mOffsetX = GetIntAttribute(L"offset-x");
    config.mOffsetY = GetIntAttribute(L"offset-y");
    gGridConfigs[GetIntAttribute(L"size")] = config;
    return true;
}
