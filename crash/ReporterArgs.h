#pragma once
#include <map>
#include <string>
#include <vector>

// The command line a crashed process starts its reporter with.
inline constexpr const char* kReporterOption = "--crash-report";
inline constexpr const char* kTitleOption = "--crash-title";
inline constexpr const char* kAppOption = "--crash-app";
inline constexpr const char* kProductOption = "--crash-product";
inline constexpr const char* kVersionOption = "--crash-version";
inline constexpr const char* kHostOption = "--crash-host";
inline constexpr const char* kModeOption = "--crash-ui";
inline constexpr const char* kUserTextOption = "--crash-user-text";
inline constexpr const char* kFieldOption = "--crash-field";

struct ReporterArgs {
    std::string reportPath;
    std::string title;
    bool hasApp = false;
    std::string product;
    std::string version;
    std::string host;
    std::string mode;  // "", "auto-close" or "auto-send"
    std::string userText;
    std::map<std::string, std::string> fields;
};

// True when the arguments (without the program name) start the reporter.
bool IsReporterCommand(const std::vector<std::string>& args);
bool ParseReporterArgs(const std::vector<std::string>& args, ReporterArgs& out);
