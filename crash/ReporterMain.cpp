#include "crash/ReporterMain.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/FileUtil.h"
#include "crash/CrashReporter.h"
#include "crash/HTTPTransfer.h"
#include "crash/ReportAnnotation.h"
#include "crash/ReportPost.h"
#include "crash/ReporterArgs.h"
#include "crash/ReporterFlow.h"
#include "platform/ButtonBox.h"
#include "platform/System.h"

namespace {

// A message box cannot scroll: it shows the head of the report.
constexpr size_t kBoxLines = 24;
constexpr size_t kBoxWidth = 100;

std::vector<std::string> Labels(const std::vector<ReporterButton>& buttons) {
    // Message boxes cannot grey a button out; a disabled one is left out.
    std::vector<std::string> labels;
    for (const auto& b : buttons)
        if (b.enabled) labels.push_back(b.label);
    return labels;
}

bool Chose(int index, const std::vector<std::string>& labels, const char* label) {
    return index >= 0 && index < static_cast<int>(labels.size()) && labels[index] == label;
}

// Posts the report once, polling the transfer as the progress window does.
int Upload(const ReporterArgs& args, const std::string& report, const std::string& userText) {
    ReportPostFields fields;
    fields.custom = args.fields;
    fields.product = args.product;
    fields.version = args.version;
    fields.userText = userText.substr(0, kMaxUserText);
    fields.errorTitle = args.title;
    fields.errorText = report;
    HTTPTransfer::UrlParts url = HTTPTransfer::SplitUrl(args.host);
    std::string host = url.host + (url.port != 80 ? ":" + std::to_string(url.port) : "");
    gHTTPTransfer.Send(args.host, BuildReportRequest(fields, host));
    int seconds = 0;
    auto tick = std::chrono::steady_clock::now();
    while (ProgressStepFor(gHTTPTransfer.GetResult()) == ProgressStep::Wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::chrono::steady_clock::now() - tick >= std::chrono::seconds(1)) {
            tick += std::chrono::seconds(1);
            std::fprintf(stderr, "%s\n", ProgressText(++seconds).c_str());
        }
    }
    gHTTPTransfer.WaitForCompletion();
    return gHTTPTransfer.GetResult();
}

}  // namespace

int RunCrashReporter(const std::vector<std::string>& list) {
    ReporterArgs args;
    if (!ParseReporterArgs(list, args)) return 2;
    // Tests run the reporter without windows (the crashed program may not
    // know it is under test: the game itself).
    if (args.mode.empty()) args.mode = PlatformGetEnv("QUILTRO7_CRASH_UI");
    // The crashed process wrote it relative to the folder it left us in.
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(args.reportPath, error);
    if (!error) args.reportPath = absolute.string();
    std::string report;
    if (!ReadFileToString(args.reportPath, report)) return 2;
    if (!report.empty() && report.back() == '\n') report.pop_back();

    report = AnnotateReport(report, OwnModuleLookup());
    WriteStringToFile(args.reportPath, report + "\n");
    if (args.mode == "auto-close") return 0;
    if (args.mode == "auto-send") return Upload(args, report, args.userText);

    // Also for a terminal or a log, and for a machine without a display.
    std::fprintf(stderr, "%s\n%s\n", CrashReporter::kHeaderText, report.c_str());

    PlatformCopyTextStandalone(report);
    std::vector<std::string> labels = Labels(ReportWindowButtons(!args.host.empty(), args.hasApp));
    int chosen = PlatformButtonBox(
        "Fatal Error!", ReportBoxText(CrashReporter::kHeaderText, report, args.reportPath, kBoxLines, kBoxWidth), labels,
        true);
    if (!Chose(chosen, labels, "Send Report")) return 0;

    std::vector<std::string> details = Labels(DetailsWindowButtons(args.hasApp));
    if (!Chose(PlatformButtonBox("Error Details", CrashReporter::kPromptText, details, false), details, "Continue"))
        return 0;
    for (;;) {
        int result = Upload(args, report, "");
        if (ProgressStepFor(result) == ProgressStep::Finish) return result;
        std::vector<std::string> retry = {"Retry", "Cancel"};
        if (!Chose(PlatformButtonBox("Connection Failed", CrashReporter::kFailureText, retry, true), retry, "Retry"))
            return result;
    }
}
