#pragma once
#include <SDL.h>

#include <vector>

#include "platform/InputEvent.h"

// The platform library's keys and text input as our events; shared by the
// game window and the plain surface windows.
int PlatformTranslateKey(int sdlKeycode);
// Decodes a UTF-8 text input into one Char event per code point.
void PlatformAppendTextEvents(const char* utf8, std::vector<InputEvent>& out);
// Our events for one SDL event, mouse positions in window points (the game
// window maps them to its logical frame); none for what we have no use for.
void PlatformTranslateEvent(const SDL_Event& ev, std::vector<InputEvent>& out);
