#include "crash/CrashReporter.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/Log.h"
#include "crash/CrashHandlerApp.h"
#include "crash/CrashReport.h"
#include "crash/ReporterArgs.h"
#include "crash/SafeFormat.h"
#include "platform/CrashSignals.h"

CrashHandlerApp* gCrashHandlerApp = nullptr;
std::string gCrashSubmitHost;

const char* const CrashReporter::kHeaderText = "An unexpected error has occured!";
const char* const CrashReporter::kPromptText =
    "Please help out by providing as much information as you can about this crash.";
const char* const CrashReporter::kFailureText = "Failed to connect to server.";

namespace {

// Everything the signal handler reads is prepared here in advance, in fixed
// buffers, because the handler may neither allocate nor lock.
// Two tables: a refresh fills the one the handler is not reading, then
// publishes it.
CrashModules gModules[2];
std::atomic<int> gModulesIndex{0};
char gSystemInfo[2048];
char gLinuxVersion[1024];
std::vector<std::pair<std::string, std::string>> gSystemLines;
char gSession[2][4096];
std::atomic<int> gSessionIndex{0};
char gAbortReason[1024];
char gProduct[256];
char gVersion[256];
char gFields[4096];  // "name=value" entries, NUL-separated
int gFieldCount = 0;
std::atomic<bool> gHasApp{false};
char gFallbackFolder[1024];
char gMode[32];
char gUserText[2048];
std::terminate_handler gPreviousTerminate = nullptr;
bool gInstalled = false;

char gReport[256 * 1024];
char gTitle[64];
char gPath[1200];

void Copy(char* out, size_t size, const std::string& text) { SafeFormat(out, size, "%s", text.c_str()); }

void OnCrash(const CrashMachineState& state) {
    CrashReportExtras extras;
    extras.systemInfo = gSystemInfo;
    extras.sessionInfo = gHasApp.load() ? gSession[gSessionIndex.load()] : "";
    extras.abortReason = gAbortReason;
    size_t n = FormatCrashReport(state, gModules[gModulesIndex.load()], extras, gReport, sizeof gReport - 1, gTitle, sizeof gTitle);
    gReport[n++] = '\n';

    const char* path = "crash.txt";
    if (!PlatformWriteFileSignalSafe(path, gReport, n) && gFallbackFolder[0]) {
        SafeFormat(gPath, sizeof gPath, "%scrash.txt", gFallbackFolder);
        path = gPath;
        if (!PlatformWriteFileSignalSafe(path, gReport, n)) return;
    }

    static const char* argv[48];
    int a = 0;
    argv[a++] = "quiltro7";
    argv[a++] = kReporterOption;
    argv[a++] = path;
    argv[a++] = kTitleOption;
    argv[a++] = gTitle;
    argv[a++] = kAppOption;
    argv[a++] = gHasApp.load() ? "1" : "0";
    argv[a++] = kProductOption;
    argv[a++] = gProduct;
    argv[a++] = kVersionOption;
    argv[a++] = gVersion;
    argv[a++] = kHostOption;
    argv[a++] = gCrashSubmitHost.c_str();
    argv[a++] = kModeOption;
    argv[a++] = gMode;
    argv[a++] = kUserTextOption;
    argv[a++] = gUserText;
    const char* field = gFields;
    for (int i = 0; i < gFieldCount && a + 3 < 48; ++i) {
        argv[a++] = kFieldOption;
        argv[a++] = field;
        field += std::strlen(field) + 1;
    }
    argv[a] = nullptr;
    PlatformSpawnSelfSignalSafe(argv);
}

[[noreturn]] void OnTerminate() {
    std::string reason = "std::terminate without an active exception";
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            reason = std::string("uncaught exception: ") + e.what();
        } catch (...) {
            reason = "uncaught exception of an unknown type";
        }
    }
    Copy(gAbortReason, sizeof gAbortReason, reason);
    std::abort();
}

}  // namespace

void CrashReporter::Install() {
    if (gInstalled) return;
    RefreshModules();
    PlatformDescribeSystem(gLinuxVersion, sizeof gLinuxVersion);
    AddSystemLine("", "");
    gPreviousTerminate = std::set_terminate(OnTerminate);
    PlatformInstallCrashSignals(OnCrash);
    gInstalled = true;
}

void CrashReporter::Uninstall() {
    if (!gInstalled) return;
    PlatformRemoveCrashSignals();
    std::set_terminate(gPreviousTerminate);
    gInstalled = false;
}

void CrashReporter::RefreshModules() {
    int next = 1 - gModulesIndex.load();
    PlatformSnapshotModules(gModules[next]);
    gModulesIndex.store(next);
}

void CrashReporter::SetApp(CrashHandlerApp* app) {
    gCrashHandlerApp = app;
    gHasApp.store(false);
    if (!app) return;
    Copy(gProduct, sizeof gProduct, app->GetCrashProductName());
    Copy(gVersion, sizeof gVersion, app->GetCrashVersionText());
    std::map<std::string, std::string> fields;
    app->AddCrashReportFields(fields);
    size_t used = 0;
    gFieldCount = 0;
    for (const auto& [name, value] : fields) {
        std::string entry = name + "=" + value;
        if (used + entry.size() + 1 > sizeof gFields) break;
        std::memcpy(gFields + used, entry.c_str(), entry.size() + 1);
        used += entry.size() + 1;
        ++gFieldCount;
    }
    RefreshSessionInfo();
    gHasApp.store(true);
}

void CrashReporter::RefreshSessionInfo() {
    if (!gCrashHandlerApp) return;
    std::string info;
    gCrashHandlerApp->GetSessionInfo(info);
    // The report ends with one line feed of its own.
    while (!info.empty() && (info.back() == '\n' || info.back() == '\r')) info.pop_back();
    // Written into the buffer the handler is not reading, then published.
    int next = 1 - gSessionIndex.load();
    Copy(gSession[next], sizeof gSession[next], info);
    gSessionIndex.store(next);
}

void CrashReporter::AddSystemLine(const std::string& label, const std::string& value) {
    if (!label.empty()) {
        auto same = [&](const auto& line) { return line.first == label; };
        std::erase_if(gSystemLines, same);
        gSystemLines.emplace_back(label, value);
    }
    std::string text = std::string("Linux Ver: ") + gLinuxVersion + "\r\n";
    for (const auto& [name, line] : gSystemLines) text += name + line + "\r\n";
    Copy(gSystemInfo, sizeof gSystemInfo, text);
}

void CrashReporter::SetFallbackFolder(const std::string& folder) { Copy(gFallbackFolder, sizeof gFallbackFolder, folder); }

void CrashReporter::SetReporterMode(const std::string& mode, const std::string& userText) {
    Copy(gMode, sizeof gMode, mode);
    Copy(gUserText, sizeof gUserText, userText);
}

// Read at run time, so the compiler cannot see the store below is to null and
// put a trap in its place.
volatile uintptr_t gNowhere = 0;

// Kept from the undefined-behaviour sanitizer, which would stop the store
// itself and end the program without a crash report to see.
__attribute__((noinline, no_sanitize("undefined"))) void CrashReporter::CrashOnPurpose() {
    // Also makes this a function with a frame of its own, so the report's
    // stack shows who asked for the crash.
    DebugPrintf("Crashing on purpose.\n");
    volatile int* nowhere = reinterpret_cast<volatile int*>(gNowhere);
    *nowhere = 0;
}
