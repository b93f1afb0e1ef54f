// A program the crash tests make crash in chosen ways. Started again by its
// own crash handler, it is also the reporter.
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/ReporterFaces.h"
#include "crash/CrashHandlerApp.h"
#include "crash/CrashReporter.h"
#include "crash/ReporterArgs.h"
#include "crash/ReporterMain.h"
#include "platform/CrashSignals.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

namespace {

class ChildApp : public CrashHandlerApp {
public:
    void HideApp() override {}
    void GetSessionInfo(std::string& out) override { out = "crash child session"; }
    void AddCrashReportFields(std::map<std::string, std::string>& fields) override { fields["build"] = "test"; }
    std::string GetProductVersion(const std::string&) override { return "v1.2"; }
    bool CopyToClipboard(const std::string&) override { return false; }
    std::string GetCrashProductName() const override { return "Grand Quiltro 7"; }
    std::string GetCrashVersionText() const override { return "v1.2"; }
};

}  // namespace

// Outside the unnamed namespace, so their names are exported for the report.
volatile int gZero = 0;
volatile int gDeepest = 1 << 30;

// The division itself, not the sanitizer's check before it, must stop us.
__attribute__((noinline, no_sanitize("undefined"))) int DivideByZero() { return 100 / gZero; }

__attribute__((noinline)) int Recurse(int depth) {
    volatile char pad[512];
    pad[0] = static_cast<char>(depth);
    if (depth > gDeepest) return 0;
    return Recurse(depth + 1) + pad[0];
}

__attribute__((noinline)) void Throw() { throw std::runtime_error("test terminate reason"); }

void TerminateWithException() noexcept { Throw(); }

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (IsReporterCommand(args)) return RunCrashReporter(args, LoadReporterFaces);
    if (args.empty()) return 2;

    CrashReporter::Install();
    ChildApp app;
    CrashReporter::SetApp(&app);
    CrashReporter::SetReporterMode(PlatformGetEnv("QUILTRO7_CRASH_UI"), "test user text");
    gCrashSubmitHost = PlatformGetEnv("QUILTRO7_CRASH_HOST");
    CrashReporter::SetFallbackFolder(PlatformGetEnv("QUILTRO7_USER_DATA"));

    const std::string& how = args[0];
    if (how == "segv") CrashReporter::CrashOnPurpose();
    if (how == "fpe") return DivideByZero();
    if (how == "overflow") return Recurse(0);
    if (how == "terminate") TerminateWithException();
    if (how == "thread") {
        std::thread worker([] {
            PlatformPrepareThreadForCrash();
            CrashReporter::CrashOnPurpose();
        });
        worker.join();
    }
    if (how == "nospawn") {
        PlatformSetSpawnFailsForTest(true);
        CrashReporter::CrashOnPurpose();
    }
    if (how == "handlerfault") {
        PlatformSetHandlerFaultsForTest(true);
        return DivideByZero();
    }
    if (how == "nofolder") {
        // The current folder vanishes, so crash.txt cannot be written there.
        std::string gone = PlatformMakeTempDirectory("crashgone");
        PlatformChangeDirectory(gone);
        PlatformRemoveTree(gone);
        CrashReporter::CrashOnPurpose();
    }
    return 3;
}
