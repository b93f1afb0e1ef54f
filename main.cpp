#include <string>
#include <vector>

#include "app/GameApp.h"
#include "platform/System.h"

namespace {
// Stands in for the game's application until its screens exist.
class QuiltroApp : public GameApp {
public:
    QuiltroApp() : GameApp("Grand Quiltro 7", "v1.2", 1024, 768) {}
};
}  // namespace

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
