#include "tests/support/MenuData.h"

#include <string>

#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/ConstantsLoader.h"
#include "render/Fonts.h"

::testing::AssertionResult LoadMenuData() {
    std::string error;
    if (gAssetManager->LoadDefinitions("properties/assets.xml", &error) &&
        gAssetManager->LoadAlwaysGroups(std::string(), &error) && LoadConstantsFile(&error) &&
        Fonts::LoadFontsFile("properties/fonts.xml", &error) && LoadAnimationsFile("properties/animations.xml", &error))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}
