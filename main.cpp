#include <string>
#include <vector>

#include "platform/System.h"
#include "screens/QuiltroApp.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int code;
    {
        QuiltroApp app;
        if (app.Init(args)) app.Start();
        code = app.mExitCode;
    }
    PlatformShutdown();
    return code;
}
