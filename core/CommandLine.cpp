#include "core/CommandLine.h"

bool ParseCommandLine(const std::vector<std::string>& args, CommandLineOptions& options,
                      std::string* error) {
    auto refuse = [&](const std::string& param) {
        if (error) *error = "Invalid command line parameter: " + param;
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-crash") {
            options.crash = true;
        } else if (a == "-screensaver") {
            options.screenSaver = true;
        } else if (options.screenSaver && (a == "/p" || a == "/P")) {
            options.screenSaverPreview = true;
            // The preview window's handle follows; there is no such window here.
            if (i + 1 < args.size() && !args[i + 1].empty() && args[i + 1][0] != '-' &&
                args[i + 1][0] != '/')
                ++i;
        } else if (options.screenSaver && (a == "/c" || a == "/C")) {
            options.screenSaverConfig = true;
        } else if (a == "-changedir") {
            if (i + 1 >= args.size()) return refuse(a);
            options.changeDir = args[++i];
        } else {
            return refuse(a);
        }
    }
    return true;
}
