#pragma once
#include <string>

class CrashHandlerApp;

// The endpoint the report is posted to ("host[:port]", optionally with a
// scheme and a path). Empty: the report window offers only "Close Now".
extern std::string gCrashSubmitHost;

// The fault side of crash reporting. A fatal signal writes crash.txt (in the
// current folder, or the user data folder when that fails) with signal-safe
// calls, starts this program again as the reporter (windows, annotation,
// upload) and ends the process by the same signal.
class CrashReporter {
public:
    static const char* const kHeaderText;
    static const char* const kPromptText;
    static const char* const kFailureText;

    static void Install();
    static void Uninstall();
    // Takes the loaded-module table again (after libraries were loaded).
    static void RefreshModules();
    // The application the report describes; nullptr when it goes away. Reads
    // its product, version and fields at once, and its session information.
    static void SetApp(CrashHandlerApp* app);
    // Takes the application's session information again (call at safe points).
    static void RefreshSessionInfo();
    // A system line captured at start-up ("GL Ver: " and the value); a
    // label given again replaces its line.
    static void AddSystemLine(const std::string& label, const std::string& value);
    static void SetFallbackFolder(const std::string& folder);
    // The reporter's window mode, for tests: "" (windows), "auto-close",
    // "auto-send"; and the user text auto-send posts.
    static void SetReporterMode(const std::string& mode, const std::string& userText = "");

    // A deliberate access violation (the "-crash" command-line option).
    static void CrashOnPurpose();
};
