#pragma once
#include <string>
#include <vector>

// A modal message box with a row of buttons. Returns the index of the button
// chosen, or -1 when no box could be shown (no display) or it was closed.
// `owner`: the native window the box belongs to (a surface window's), or null.
int PlatformButtonBox(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                      bool error, void* owner = nullptr);

// The clipboard of a process that has no window of its own.
bool PlatformCopyTextStandalone(const std::string& utf8);
