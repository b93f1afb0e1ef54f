#pragma once
#include <string>
#include <vector>

struct CommandLineOptions {
    bool crash = false;         // "-crash": the crash reporter's own test
    bool screenSaver = false;   // "-screensaver"
    bool screenSaverPreview = false;  // "/p <window>"
    bool screenSaverConfig = false;   // "/c"
    std::string changeDir;      // "-changedir <folder>"
};

// Reads the arguments after the program name. On an unknown parameter returns
// false with the message "Invalid command line parameter: <it>" in *error.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string* error);
