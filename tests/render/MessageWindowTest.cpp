#include <gtest/gtest.h>

#include <algorithm>

#include "render/MessageWindow.h"

// The game's own message window draws the text it is given, broken into lines
// that fit: a long path is broken, not cut off at the edge.
TEST(MessageWindow, TheMessageIsDrawnWrappedInsideThePicture) {
    Picture shortOne = DrawMessagePicture("FATAL ERROR", "Short.", 400);
    Picture longOne = DrawMessagePicture("FATAL ERROR", "A path: /" + std::string(300, 'x') + " ends.", 400);
    ASSERT_EQ(shortOne.width, 400);
    ASSERT_EQ(shortOne.argb.size(), static_cast<size_t>(shortOne.width) * shortOne.height);
    EXPECT_GT(longOne.height, shortOne.height + 3 * 15);
    const uint32_t background = shortOne.argb[0];
    EXPECT_TRUE(std::any_of(shortOne.argb.begin(), shortOne.argb.end(), [&](uint32_t p) { return p != background; }));
    for (int y = 0; y < longOne.height; ++y)
        for (int x = longOne.width - 16; x < longOne.width; ++x)
            ASSERT_EQ(longOne.argb[static_cast<size_t>(y) * longOne.width + x], background) << x << "," << y;
}

// It closes on a key pressed after it showed: not on one held since before
// (reported pressed when the window takes focus) nor that key's repeats,
// until it is released and pressed again; any other key closes it at once.
TEST(MessageWindow, OnlyAKeyPressedAfterTheWindowShowedClosesIt) {
    const int space = 65, shift = 50, enter = 36;
    FreshKeyPresses keys({space, shift});
    EXPECT_FALSE(keys.Pressed(space, false));
    EXPECT_FALSE(keys.Pressed(space, true));
    EXPECT_FALSE(keys.Pressed(shift, false));
    keys.Released(space);
    EXPECT_FALSE(keys.Pressed(space, true));
    EXPECT_TRUE(keys.Pressed(space, false));
    EXPECT_TRUE(keys.Pressed(enter, false));
    EXPECT_FALSE(keys.Pressed(enter, true));
    EXPECT_TRUE(FreshKeyPresses({}).Pressed(space, false));
}
