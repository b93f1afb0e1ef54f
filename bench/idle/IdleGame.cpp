// The game with a scripted animation playing over its window once loading
// ends, for bench/idle_cpu.sh: what a running script costs the main loop,
// beside the game alone.
//   idle_game <animation> [the game's options]
// The animation plays on a widget showing the sample cel sheet of the test
// overlay (tests/data/overlay), laid over the data folder: neither the
// picture nor this widget is part of the game.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "data/ImageData.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "render/AssetImages.h"
#include "screens/MyGameApp.h"
#include "widgets/AnimationWidget.h"
#include "widgets/WidgetManager.h"

namespace {

class IdleGameApp : public MyGameApp {
public:
    explicit IdleGameApp(std::wstring animation) : mAnimation(std::move(animation)) {}

protected:
    void InitHook() override {
        // The game has just moved into its data folder.
        gPakInterfaceP->LayFolderOver(PlatformCurrentDirectory(), QUILTRO7_TEST_OVERLAY);
        MyGameApp::InitHook();
    }

    void LoadingThreadCompleted() override {
        MyGameApp::LoadingThreadCompleted();
        if (!IsLoadingFinished()) return;
        auto* widget = new AnimationWidget(0.0f, 0.0f, LoadCels(), 1.0f);
        widget->mPriority = widget->mZOrder = 1000;
        mWidgetManager->AddWidget(widget);
        widget->PlayAnimationByName(mAnimation);
    }

private:
    // Kept by the asset manager, which the game empties while its renderer
    // still exists.
    static Image* LoadCels() {
        AssetImageDef def;
        def.mName = L"sample_cels";
        def.mFile = "images/sample_cels.png";
        def.mCols = 4;
        def.mRows = 2;
        ImageData pixels;
        std::string why;
        if (!LoadImageData(def.mFile, pixels, &why)) {
            std::fprintf(stderr, "idle_game: %s: %s\n", def.mFile.c_str(), why.c_str());
            return nullptr;
        }
        gAssetManager->AddSharedImage(def.mName, RendererImageLoader().MakeImage(std::move(pixels), def, def.mFile));
        return gAssetManager->FindImage(def.mName);
    }

    std::wstring mAnimation;
};

}  // namespace

int main(int argc, char** argv) {
    PlatformMapLargeAllocations();
    if (argc < 2) {
        std::fprintf(stderr, "usage: idle_game <animation> [the game's options]\n");
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    int code;
    {
        IdleGameApp app(StringToWString(argv[1]));
        if (app.Init(args)) app.Start();
        code = app.mExitCode;
    }
    PlatformShutdown();
    return code;
}
