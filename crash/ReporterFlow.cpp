#include "crash/ReporterFlow.h"

#include "crash/HTTPTransfer.h"

std::vector<ReporterButton> ReportWindowButtons(bool hasHost, bool hasApp) {
    if (!hasHost) return {{"Close Now", true}};
    return {{"Send Report", hasApp}, {"Close Now", true}};
}

std::vector<ReporterButton> DetailsWindowButtons(bool hasApp) { return {{"Continue", hasApp}, {"Abort", true}}; }

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
