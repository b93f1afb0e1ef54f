#include <gtest/gtest.h>

#include <memory>

#include "data/BasicPlayerState.h"

TEST(BasicPlayerState, FormatPlayTime) {
    BasicPlayerState state;
    state.mStarted = 1;
    state.mHours = 12;
    state.mMinutes = 59;
    state.mCentiseconds = -3;
    EXPECT_EQ(state.FormatPlayTime(),
              L"started=\"1\" hours=\"12\" minutes=\"59\" centiseconds=\"-3\"");
}

TEST(BasicPlayerState, CurrentStateIsClearedWhenItDies) {
    auto first = std::make_unique<BasicPlayerState>();
    auto second = std::make_unique<BasicPlayerState>();
    first->MakeCurrent();
    EXPECT_EQ(gCurrentPlayerState, first.get());
    second.reset();  // not the current one: leaves it alone
    EXPECT_EQ(gCurrentPlayerState, first.get());
    first.reset();
    EXPECT_EQ(gCurrentPlayerState, nullptr);
}
