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

// "Please Wait" and " ." once per second, cycling after nine.
std::string ProgressText(int seconds);

enum class ProgressStep { Wait, Finish, AskRetry };
// What the progress window does with a transfer result.
ProgressStep ProgressStepFor(int transferResult);

// The user's text is kept to this many characters.
inline constexpr size_t kMaxUserText = 8191;
