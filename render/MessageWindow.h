#pragma once
#include <string>

#include "platform/PictureWindow.h"

// The game's own message window, for when the desktop cannot show its box:
// the caption as a heading and the text wrapped below it, drawn with our own
// font code (DejaVu Sans) on the game's colours.

// The picture of the message, `width` pixels wide; empty (0 x 0) when the
// face cannot be found.
Picture DrawMessagePicture(const std::string& caption, const std::string& text, int width);

// Shows it until closed or a key is pressed; false when it cannot be shown
// (no display), so the caller knows stderr was all.
bool ShowMessageWindow(const std::string& caption, const std::string& text);
