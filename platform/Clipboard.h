#pragma once
#include <string>

// The text on the system clipboard (UTF-8); empty when there is none or no
// display is open.
std::string PlatformGetClipboardText();
