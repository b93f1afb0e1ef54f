#include "crash/ReporterFlow.h"

#include "crash/HTTPTransfer.h"

std::vector<ReporterButton> ReportWindowButtons(bool hasHost, bool hasApp) {
    if (!hasHost) return {{"Close Now", true}};
    return {{"Send Report", hasApp}, {"Close Now", true}};
}

std::vector<ReporterButton> DetailsWindowButtons(bool hasApp) { return {{"Continue", hasApp}, {"Abort", true}}; }

std::string ReportBoxText(const std::string& header, const std::string& report, const std::string& path,
                          size_t maxLines, size_t maxWidth) {
    std::string text = header + "\n\n";
    size_t lines = 0, at = 0;
    while (at < report.size() && lines < maxLines) {
        size_t end = report.find('\n', at);
        if (end == std::string::npos) end = report.size();
        std::string line = report.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > maxWidth) line = line.substr(0, maxWidth - 3) + "...";
        text += line + "\n";
        ++lines;
        at = end + 1;
    }
    if (at < report.size()) text += "...\n";
    return text + "\nThe whole report: " + path;
}

std::string ProgressText(int seconds) {
    std::string text = "Please Wait";
    for (int i = 0; i < seconds % 10; ++i) text += " .";
    return text;
}

ProgressStep ProgressStepFor(int transferResult) {
    switch (transferResult) {
    case HTTPTransfer::kIdle:
    case HTTPTransfer::kBusy: return ProgressStep::Wait;
    case HTTPTransfer::kFinished:
    case HTTPTransfer::kAborted: return ProgressStep::Finish;
    default: return ProgressStep::AskRetry;
    }
}

std::string LimitUserText(const std::string& utf8) {
    size_t characters = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        // A character starts at every byte that does not continue one.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == kMaxUserText)
            return utf8.substr(0, i);
    }
    return utf8;
}
