#include "screens/QuiltroApp.h"

#include "data/AssetManager.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

QuiltroApp::QuiltroApp() : GameApp("Grand Quiltro 7", "v1.2", 1024, 768) {}

void QuiltroApp::InitHook() {
    GameApp::InitHook();
    BeginLoading();
}

void QuiltroApp::LoadGameData() {
    GameApp::LoadGameData();
    // The catalogues, then the names, then the profiles that refer to them.
    PuzzleStats puzzles;
    StepLoadingProgress();
    SetStats sets;
    StepLoadingProgress();
    GameStats rules;
    StepLoadingProgress();
    MyLocalization names;
    StepLoadingProgress();
    ProfileManager profiles;
    StepLoadingProgress();
    std::string message;
    if (!CheckGameData(message)) ReportLoadError(message);
    StepLoadingProgress();
}

void QuiltroApp::ShutdownHook() {
    GameApp::ShutdownHook();
    // Images go while the renderer that made their textures still exists.
    gAssetManager->Clear();
}
