#include <gtest/gtest.h>

#include <memory>

#include "data/BasicPlayerState.h"

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
