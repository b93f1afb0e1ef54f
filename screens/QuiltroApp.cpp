#include "screens/QuiltroApp.h"

#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "platform/System.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"
#include "widgets/AnimationWidget.h"
#include "widgets/WidgetManager.h"

QuiltroApp::QuiltroApp() : GameApp("Grand Quiltro 7", "v1.2", 1024, 768) {}

void QuiltroApp::InitHook() {
    GameApp::InitHook();
    BeginLoading();
}

void QuiltroApp::LoadGameData() {
    GameApp::LoadGameData();
    // The catalogues, then the names, then the profiles that refer to them. A
    // file that fails stops the start-up with its own file, line and reason;
    // the check of how the tables fit together runs only on tables that loaded.
    bool loaded = true;
    auto report = [&](const auto& loader) {
        if (!loader.Succeeded()) {
            ReportLoadError(loader.GetErrorText());
            loaded = false;
        }
        StepLoadingProgress();
    };
    report(PuzzleStats());
    report(SetStats());
    report(GameStats());
    report(MyLocalization());
    ProfileManager profiles;
    StepLoadingProgress();
    std::string message;
    if (loaded && !CheckGameData(message)) ReportLoadError(message);
    StepLoadingProgress();
}

void QuiltroApp::ShutdownHook() {
    GameApp::ShutdownHook();
    // Images go while the renderer that made their textures still exists.
    gAssetManager->Clear();
}

void QuiltroApp::LoadingThreadCompleted() {
    GameApp::LoadingThreadCompleted();
    // Until the title screen exists nothing moves on screen; the idle-cost
    // measurement names an animation to run over the whole window here.
    std::string name = PlatformGetEnv("QUILTRO7_PLAY_ANIMATION");
    if (name.empty() || !IsLoadingFinished()) return;
    auto* widget = new AnimationWidget(0.0f, 0.0f, FindImage(L"sample_cels"), 1.0f);
    mWidgetManager->AddWidget(widget);
    widget->PlayAnimationByName(StringToWString(name));
}
