#include "tests/support/TestPlayer.h"

#include <gtest/gtest.h>

#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"

void MakeSeasonedTestPlayer() {
    ProfileManager::CreateProfile(L"Tester");
    ASSERT_NE(gPlayerState, nullptr);
    gPlayerState->mDevice = L"ipad";
    gPlayerState->mMadeMistake = true;
    gPlayerState->mSeenHint = true;
}
