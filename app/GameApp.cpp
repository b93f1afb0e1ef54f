#include "app/GameApp.h"

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

void GameApp::UpdateFrames() { PomoAppBase::UpdateFrames(); }
