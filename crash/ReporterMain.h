#pragma once
#include <string>
#include <vector>

#include "crash/DialogFace.h"

// The reporter process: names the addresses of crash.txt, rewrites it, puts
// the report on the clipboard, shows the report windows and posts the report.
// `args` are the program's arguments without its name; `loadFaces` makes the
// windows' faces (the entry point hands in the renderer's; without it, or
// without a display, the desktop's message boxes serve). Returns the exit
// status (the last transfer result when a report was sent, else 0).
int RunCrashReporter(const std::vector<std::string>& args, DialogFaceLoader loadFaces = nullptr);
