#include <string>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Config.h"
#include "data/Constants.h"
#include "data/ConstantsLoader.h"
#include "data/PakInterface.h"
#include "render/Fonts.h"
#include "widgets/NoticeMenu.h"
#include "widgets/TitleScreen.h"

// The framework's part of start-up loading, on the loading thread. Every
// table is built aside and published whole, so the main thread keeps drawing
// the title screen meanwhile.

void GameApp::BeginLoading() {
    mLoadingFinished = false;
    NoticeMenu::RegisterScriptCommand(ScriptCommandRegistry::Instance());
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
    // Every message carries what the log knows: the file, the line and the
    // reason. A damaged archive comes first, since every file after it fails
    // only because of it.
    std::string error = gPakInterfaceP ? gPakInterfaceP->GetLastPakError() : std::string();
    if (!error.empty()) ReportLoadError("Cannot read the game data archive: " + error);

    error.clear();
    if (!Fonts::LoadFontsFile("properties/fonts.xml", &error)) ReportLoadError(error);
    StepLoadingProgress();

    error.clear();
    if (!LoadConstantsFile(&error)) ReportLoadError(error);
    StepLoadingProgress();

    // config.xml may be absent; present, it must be sound like every file.
    error.clear();
    if (!LoadConfigFile(&error)) ReportLoadError(error);
    StepLoadingProgress();

    error.clear();
    if (!gAssetManager->LoadDefinitions("properties/assets.xml", &error)) ReportLoadError(error);
    else if (!gAssetManager->LoadAlwaysGroups(std::string(), &error))
        ReportLoadError("Cannot load a start-up asset of properties/assets.xml: " + error);
    StepLoadingProgress();

    error.clear();
    if (!LoadAnimationsFile("properties/animations.xml", &error)) ReportLoadError(error);
    StepLoadingProgress();

    // The short log is kept only when the constants ask for it.
    int lines = GetConstantInt(L"short_log_lines");
    if (lines > 0) ShortLog::Instance().Open(GetAppDataFolder() + "shortlog.txt", lines);
}

void GameApp::LoadingThreadProc() {
    LoadDeferredStartupAssets();
    LoadGameData();
    StepLoadingProgress();
}

void GameApp::LoadingThreadCompleted() {
    // Files that failed because the archive changed under them say less.
    if (EndIfArchiveChanged()) return;
    std::vector<std::string> errors = GetLoadErrors();
    if (!errors.empty()) {
        ShowErrorBox(errors.front());
        mExitCode = 1;
        Shutdown();
        return;
    }
    mLoadingFinished = true;
    ReleaseLoadingMemory();
    if (TitleScreen* title = mLoadingScreen.Get()) {
        title->LoadingComplete();
        title->MarkDirty();
    }
    if (mStartGameWhenLoaded) StartGame();
}
