#include "app/GameApp.h"

#include "data/AssetManager.h"

GameApp* gGameApp = nullptr;

GameApp::GameApp(const std::string& title, const std::string& version, int width, int height) {
    mTitle = title;
    mProductName = title;
    mCompanyName = "Quiltro";
    mProductVersion = version;
    mWidth = width;
    mHeight = height;
    mCustomCursorsEnabled = true;
    gGameApp = this;
}

GameApp::~GameApp() {
    if (gGameApp == this) gGameApp = nullptr;
}

void GameApp::StepLoadingProgress() { AddLoadingSteps(1); }

void GameApp::StartGame() { gAssetManager->RunQueuedRequests(); }

void GameApp::RunOnMainThread(std::function<void()> call) {
    if (IsMainThread()) {
        call();
        return;
    }
    std::lock_guard<std::mutex> lock(mMainThreadCallsLock);
    mMainThreadCalls.push_back(std::move(call));
}

void GameApp::RunMainThreadCalls() {
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> lock(mMainThreadCallsLock);
        calls.swap(mMainThreadCalls);
    }
    for (auto& call : calls) call();
}

void GameApp::UpdateFrames() {
    RunMainThreadCalls();
    PomoAppBase::UpdateFrames();
}
