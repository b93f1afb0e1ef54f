#include <string>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Config.h"
#include "data/Constants.h"
#include "data/ConstantsLoader.h"
#include "render/Fonts.h"

// The framework's part of start-up loading, on the loading thread. Every
// table is built aside and published whole, so the main thread keeps drawing
// the title screen meanwhile.

void GameApp::BeginLoading() {
    mLoadingFinished = false;
    RegisterScriptCommands(ScriptCommandRegistry::Instance());
    SetLoadingTotal(kFrameworkLoadingSteps + GetLoadingStepCount() + 1);
    StartLoadingThread();
}

void GameApp::ReportLoadError(const std::string& message) {
    DebugPrintf("%s\n", message.c_str());
    std::lock_guard<std::mutex> lock(mLoadErrorsLock);
    mLoadErrors.push_back(message);
}

std::vector<std::string> GameApp::GetLoadErrors() {
    std::lock_guard<std::mutex> lock(mLoadErrorsLock);
    return mLoadErrors;
}

void GameApp::LoadGameData() {
    std::string error;
    if (!Fonts::LoadFontsFile("properties/fonts.xml", &error)) ReportLoadError(error);
    StepLoadingProgress();

    if (!LoadConstantsFile()) ReportLoadError("Cannot load properties/constants.xml");
    StepLoadingProgress();

    // config.xml is optional: nothing is lost without it.
    LoadConfigFile();
    StepLoadingProgress();

    error.clear();
    if (!gAssetManager->LoadDefinitions("properties/assets.xml", &error)) ReportLoadError(error);
    else if (!gAssetManager->LoadAlwaysGroups()) ReportLoadError("Cannot load the images of properties/assets.xml");
    StepLoadingProgress();

    error.clear();
    if (!LoadAnimationsFile("properties/animations.xml", &error)) ReportLoadError(error);
    StepLoadingProgress();

    // The short log is kept only when the constants ask for it.
    int lines = GetConstantInt(L"short_log_lines");
    if (lines > 0) ShortLog::Instance().Open(GetAppDataFolder() + "shortlog.txt", lines);
}

void GameApp::LoadingThreadProc() {
    LoadGameData();
    StepLoadingProgress();
}

void GameApp::LoadingThreadCompleted() {
    std::vector<std::string> errors = GetLoadErrors();
    if (!errors.empty()) {
        ShowErrorBox(errors.front());
        mExitCode = 1;
        Shutdown();
        return;
    }
    mLoadingFinished = true;
}
