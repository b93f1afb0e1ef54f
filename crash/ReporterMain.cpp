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
#include "crash/ReporterWindows.h"
#include "platform/ButtonBox.h"
#include "platform/SurfaceWindow.h"
#include "platform/System.h"

namespace {

// A message box cannot scroll: it shows the head of the report.
constexpr size_t kBoxLines = 24;
constexpr size_t kBoxWidth = 100;
// Where the windows open, as the desktop counts from its top-left corner.
constexpr int kReportAt = 64;
constexpr int kDetailsAt = 80;

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

bool AskRetry(void* owner) {
    std::vector<std::string> retry = {"Retry", "Cancel"};
    return Chose(PlatformButtonBox("Connection Failed", CrashReporter::kFailureText, retry, true, owner), retry,
                 "Retry");
}

// The report posted through the process's one transfer.
class TransferUpload : public ReporterUpload {
public:
    TransferUpload(const ReporterArgs& args, const std::string& report) : mArgs(args), mReport(report) {}

    void Start(const std::string& userText) override {
        ReportPostFields fields;
        fields.custom = mArgs.fields;
        fields.product = mArgs.product;
        fields.version = mArgs.version;
        fields.userText = LimitUserText(userText);
        fields.errorTitle = mArgs.title;
        fields.errorText = mReport;
        HTTPTransfer::UrlParts url = HTTPTransfer::SplitUrl(mArgs.host);
        std::string host = url.host + (url.port != 80 ? ":" + std::to_string(url.port) : "");
        gHTTPTransfer.Send(mArgs.host, BuildReportRequest(fields, host));
    }
    int Result() override { return gHTTPTransfer.GetResult(); }
    void Abort() override { gHTTPTransfer.Abort(); }
    void Reset() override { gHTTPTransfer.Reset(); }

private:
    const ReporterArgs& mArgs;
    const std::string& mReport;
};

// Posts the report once, polling the transfer as the progress window does.
int Upload(const ReporterArgs& args, const std::string& report, const std::string& userText) {
    TransferUpload upload(args, report);
    upload.Start(userText);
    int seconds = 0;
    auto tick = std::chrono::steady_clock::now();
    while (ProgressStepFor(upload.Result()) == ProgressStep::Wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::chrono::steady_clock::now() - tick >= std::chrono::seconds(1)) {
            tick += std::chrono::seconds(1);
            std::fprintf(stderr, "%s\n", ProgressText(++seconds).c_str());
        }
    }
    gHTTPTransfer.WaitForCompletion();
    return upload.Result();
}

int64_t NowMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The three windows on the desktop. False when they cannot be opened (no
// display, no faces), before anything was shown.
bool RunWindows(const ReporterArgs& args, const std::string& report, DialogFaceLoader loadFaces, int& status) {
    if (!loadFaces) return false;
    DialogFaces faces = loadFaces();
    if (!faces.Complete()) return false;
    TransferUpload upload(args, report);
    PlatformSurfaceWindow* owner = nullptr;
    ReporterWindows flow({CrashReporter::kHeaderText, report, CrashReporter::kPromptText, !args.host.empty(),
                          args.hasApp},
                         faces, upload, [&owner] { return AskRetry(owner ? owner->Native() : nullptr); });
    std::unique_ptr<PlatformSurfaceWindow> windows[3];
    const int at[3] = {kReportAt, kDetailsAt, kReportAt};
    for (int i = 0; i < 3; ++i) {
        Dialog& dialog = flow.Window(static_cast<ReporterWindows::Stage>(i));
        windows[i] = PlatformSurfaceWindow::Create(dialog.Title(), at[i], at[i], dialog.Width(), dialog.Height());
        if (!windows[i]) return false;
    }
    std::vector<SurfaceWindowEvent> events;
    while (!flow.Finished()) {
        const int shown = flow.GetStage();
        owner = windows[shown].get();
        for (int i = 0; i < 3; ++i)
            if (i != shown && windows[i]->IsVisible()) windows[i]->Hide();
        if (!owner->IsVisible()) {
            owner->Show();
            flow.Current()->Invalidate();
        }
        if (flow.Current()->NeedsPaint()) owner->Present(flow.Current()->Paint());

        int64_t next = flow.NextTimer();
        int wait = next < 0 ? 250 : static_cast<int>(std::clamp<int64_t>(next - NowMillis(), 0, 250));
        events.clear();
        PlatformWaitSurfaceEvents(wait, events);
        for (const SurfaceWindowEvent& e : events) {
            bool quit = e.window == 0 && e.event.type == InputEvent::Quit;
            if ((e.window == owner->Id() || quit) && flow.GetStage() == shown) flow.Handle(e.event, NowMillis());
        }
        flow.Tick(NowMillis());
    }
    if (flow.Sent()) {
        gHTTPTransfer.WaitForCompletion();
        status = flow.LastResult();
    }
    return true;
}

// The desktop's message boxes, where no window of our own can be opened.
int RunMessageBoxes(const ReporterArgs& args, const std::string& report) {
    std::vector<std::string> labels = Labels(ReportWindowButtons(!args.host.empty(), args.hasApp));
    int chosen = PlatformButtonBox(
        "Fatal Error!", ReportBoxText(CrashReporter::kHeaderText, report, args.reportPath, kBoxLines, kBoxWidth), labels,
        true);
    if (!Chose(chosen, labels, "Send Report")) return 0;

    std::vector<std::string> details = Labels(DetailsWindowButtons(args.hasApp));
    if (!Chose(PlatformButtonBox("Error Details", CrashReporter::kPromptText, details, false), details, "Continue"))
        return 0;
    for (;;) {
        // A message box takes no text: the user's text stays empty.
        int result = Upload(args, report, "");
        if (ProgressStepFor(result) == ProgressStep::Finish || !AskRetry(nullptr)) return result;
    }
}

}  // namespace

int RunCrashReporter(const std::vector<std::string>& list, DialogFaceLoader loadFaces) {
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
    int status = 0;
    if (RunWindows(args, report, loadFaces, status)) return status;
    return RunMessageBoxes(args, report);
}
