#include <gtest/gtest.h>

#include "core/Color.h"

TEST(Color, FromFloatsRoundsAndClamps) {
    EXPECT_EQ(Color::FromFloats(0.5f, 0.5f, 0.5f, 0.5f), Color(128, 128, 128, 128));
    EXPECT_EQ(Color::FromFloats(1.7f, -0.2f, 0.0f, 1.0f), Color(255, 0, 0, 255));
    EXPECT_EQ(Color::FromFloats(0.0f, 1.0f, 0.999f, 0.002f).mBlue, 255);
    EXPECT_EQ(Color::FromFloats(0.0f, 1.0f, 0.999f, 0.001f).mAlpha, 0);
}

TEST(Color, PackingAndProduct) {
    EXPECT_EQ(Color(1, 2, 3, 4).ToARGB(), 0x04010203u);
    // A packed alpha of 0 reads as opaque.
    EXPECT_EQ(Color::FromARGB(0x00102030u), Color(0x10, 0x20, 0x30, 255));
    EXPECT_EQ(Color(255, 128, 0, 255) * Color(128, 255, 255, 128), Color(128, 128, 0, 128));
    EXPECT_EQ(Color::White * Color(7, 8, 9, 10), Color(7, 8, 9, 10));
}
