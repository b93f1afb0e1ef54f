#include "puzzle/GameStats.h"

PublishedTable<GridConfigTable> gGridConfigs;

GridConfig FindGridConfig(int32_t size) {
    std::shared_ptr<const GridConfigTable> table = gGridConfigs.Get();
    auto found = table->find(size);
    return found == table->end() ? GridConfig() : found->second;
}

GameStats::GameStats() : GameStats(true) {}

GameStats::GameStats(bool loadNow) {
    if (!loadNow) return;
    mLoaded = LoadPropertiesFile(kFileName);
    if (mLoaded) Publish();
}

void GameStats::Publish() { gGridConfigs.Publish(std::move(mTable)); }

bool GameStats::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    mTable.clear();
    mLoaded = LoadFromString(bytes, nameForErrors);
    if (!mLoaded) mTable.clear();
    return mLoaded;
}

bool GameStats::OnElementStart(const XMLElement& element) {
    if (element.mName != L"grid") return true;
    GridConfig config;
    config.mHints = GetIntAttribute(L"hints");
    config.mHintReward = GetIntAttribute(L"hint-reward");
    config.mMistakes = GetIntAttribute(L"mistakes");
    config.mOffsetX = GetIntAttribute(L"offset-x");
    config.mOffsetY = GetIntAttribute(L"offset-y");
    mTable[GetIntAttribute(L"size")] = config;
    return true;
}
