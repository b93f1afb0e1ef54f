#include <gtest/gtest.h>

#include "audio/SoundPlayer.h"
#include "tests/support/FakeAudio.h"

namespace {

struct SoundPlayerFixture : ::testing::Test {
    FakeSoundManager manager;
    SoundPlayer player{[this] { return &manager; }};
    void Step(int n) {
        for (int i = 0; i < n; ++i) player.Update();
    }
};

TEST_F(SoundPlayerFixture, TheRepeatGuardCountsUpdatesEvenForFailedRequests) {
    Step(10);
    player.PlaySound(4, 5, 1.0);
    Step(5);
    player.PlaySound(4, 5, 1.0);
    Step(1);
    player.PlaySound(4, 5, 1.0);
    EXPECT_EQ(manager.mPlayed, (std::vector<int>{4, 4}));
    for (int id : {-1, SoundManager::kMaxSounds}) player.PlaySound(id, 0, 1.0);  // ignored, not a crash
    EXPECT_EQ(manager.mRequested.size(), 2u);
}

TEST_F(SoundPlayerFixture, LoopsAreCountedAndFadesOfAHundredthEndOnTheHundredthUpdate) {
    player.PlayLooping(2, 0.0);
    player.PlayLooping(2, 0.0);
    player.StopLooping(2, 0.0);
    EXPECT_TRUE(player.IsLooping(2));
    player.StopLooping(2, 0.5);
    player.PlayLooping(2, 0.0);  // during the fade-out: only counted
    EXPECT_EQ(manager.mRequested.size(), 1u);
    Step(2);
    EXPECT_FALSE(player.IsLooping(2));

    // Fades of a hundredth end on the hundredth update.
    player.PlayLooping(1, 0.01);
    Step(99);
    EXPECT_LT(player.GetLoopVolume(1), 1.0);
    Step(1);
    EXPECT_EQ(player.GetLoopVolume(1), 1.0);
    player.StopLooping(1, 0.01);
    Step(99);
    EXPECT_TRUE(player.IsLooping(1));
    Step(1);
    EXPECT_FALSE(player.IsLooping(1));
}

TEST_F(SoundPlayerFixture, LoopsEndAtTheirOwnLevelAfterFadesAndMuting) {
    // The manager applies the effects volume once; the loop's own level is
    // what reaches the instance, so fading or unmuting never squares it.
    player.PlayLooping(1, 0.5);
    Step(2);
    FakeSoundInstance* loop = manager.Instance(0);
    EXPECT_EQ(loop->mVolume, 1.0);
    player.SetLoopsMuted(true, {1, 9});
    EXPECT_EQ(loop->mVolume, 0.0);
    player.SetLoopsMuted(false, {1, 9});
    EXPECT_EQ(loop->mVolume, 1.0);
    EXPECT_FALSE(player.IsLooping(9));
}

}  // namespace
