#include "crash/ReporterArgs.h"

bool IsReporterCommand(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == kReporterOption;
}

bool ParseReporterArgs(const std::vector<std::string>& args, ReporterArgs& out) {
    if (!IsReporterCommand(args) || args.size() % 2 != 0) return false;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& key = args[i];
        const std::string& value = args[i + 1];
        if (key == kReporterOption) out.reportPath = value;
        else if (key == kTitleOption) out.title = value;
        else if (key == kAppOption) out.hasApp = value == "1";
        else if (key == kProductOption) out.product = value;
        else if (key == kVersionOption) out.version = value;
        else if (key == kHostOption) out.host = value;
        else if (key == kModeOption) out.mode = value;
        else if (key == kUserTextOption) out.userText = value;
        else if (key == kFieldOption) {
            size_t eq = value.find('=');
            if (eq == std::string::npos) return false;
            out.fields[value.substr(0, eq)] = value.substr(eq + 1);
        } else {
            return false;
        }
    }
    return !out.reportPath.empty();
}
