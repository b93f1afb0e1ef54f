#include <gtest/gtest.h>

#include <algorithm>

#include "platform/PictureWindow.h"
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
// until it is released and pressed again; any other key closes it at once,
// as do a quit and the close button. These are the window loop's own
// decisions, event by event.
namespace {
PictureWindowEvent Key(PictureWindowEvent::Kind kind, int key, bool fromServer, bool repeat = false) {
    PictureWindowEvent event;
    event.kind = kind;
    event.key = key;
    event.fromServer = fromServer;
    event.repeat = repeat;
    return event;
}
PictureWindowEvent Event(PictureWindowEvent::Kind kind) {
    PictureWindowEvent event;
    event.kind = kind;
    return event;
}
}  // namespace

TEST(MessageWindow, OnlyAKeyPressedAfterTheWindowShowedClosesIt) {
    using Kind = PictureWindowEvent::Kind;
    const int space = 65, shift = 50, enter = 36;
    {
        SCOPED_TRACE("SDL's key events");
        PictureWindowInput input({space, shift}, false);
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, false, true)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, shift, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyUp, space, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, false, true)));
        EXPECT_TRUE(input.Closes(Key(Kind::KeyDown, space, false)));
        EXPECT_TRUE(input.Closes(Key(Kind::KeyDown, enter, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, enter, false, true)));
        EXPECT_FALSE(input.Closes(Event(Kind::Other)));
    }
    {
        // SDL forgets a held key when the focus comes: its own key-down for
        // the held key, and any other of its key events, are not the
        // window's to read here.
        SCOPED_TRACE("the X server's key events");
        PictureWindowInput input({space}, true);
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, enter, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, true)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyUp, space, false)));
        EXPECT_FALSE(input.Closes(Key(Kind::KeyDown, space, true))) << "released only for SDL";
        EXPECT_FALSE(input.Closes(Key(Kind::KeyUp, space, true)));
        EXPECT_TRUE(input.Closes(Key(Kind::KeyDown, space, true)));
    }
    for (bool serverKeys : {false, true}) {
        PictureWindowInput input({space}, serverKeys);
        EXPECT_TRUE(input.Closes(Event(Kind::Quit)));
        EXPECT_TRUE(input.Closes(Event(Kind::Close)));
        EXPECT_TRUE(PictureWindowInput({}, serverKeys).Closes(Key(Kind::KeyDown, space, serverKeys)));
    }
}
