#include <string>
#include <vector>

#include "app/ReporterFaces.h"
#include "crash/CrashReporter.h"
#include "crash/ReporterArgs.h"
#include "crash/ReporterMain.h"
#include "platform/System.h"
#include "screens/MyGameApp.h"

int main(int argc, char** argv) {
    PlatformMapLargeAllocations();
    std::vector<std::string> args(argv + 1, argv + argc);
    // A crashed copy of the game starts us again to show and send its report.
    if (IsReporterCommand(args)) return RunCrashReporter(args, LoadReporterFaces);

    CrashReporter::Install();
    int code;
    {
        MyGameApp app;
        if (app.Init(args)) app.Start();
        code = app.mExitCode;
    }
    CrashReporter::Uninstall();
    PlatformShutdown();
    return code;
}
