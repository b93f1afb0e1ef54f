#pragma once
#include <string>
#include <vector>

// The decisions of the report windows, free of any window code.

struct ReporterButton {
    std::string label;
    bool enabled = true;
};
// "Send Report" (enabled only when the crashed process had its application)
// and "Close Now" when there is an endpoint; "Close Now" alone otherwise.
std::vector<ReporterButton> ReportWindowButtons(bool hasHost, bool hasApp);
// "Continue" follows the application flag as "Send Report" does.
std::vector<ReporterButton> DetailsWindowButtons(bool hasApp);

// What a plain message box can show of the report: the header, then at most
// `maxLines` lines of the report, each cut to `maxWidth` characters, and where
// the whole report is.
std::string ReportBoxText(const std::string& header, const std::string& report, const std::string& path,
                          size_t maxLines, size_t maxWidth);

// "Please Wait" and " ." once per second, cycling after nine.
std::string ProgressText(int seconds);

enum class ProgressStep { Wait, Finish, AskRetry };
// What the progress window does with a transfer result.
ProgressStep ProgressStepFor(int transferResult);

// The user's text is kept to this many characters.
inline constexpr size_t kMaxUserText = 8191;
// The first kMaxUserText characters of UTF-8 text, never cut inside one.
std::string LimitUserText(const std::string& utf8);
