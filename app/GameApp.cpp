#include "app/GameApp.h"

#include <algorithm>

#include "app/DistributorScreen.h"
#include "app/LogoScreen.h"
#include "audio/SoundPlayer.h"
#include "core/Log.h"
#include "platform/Window.h"
#include "widgets/Menu.h"
#include "widgets/TitleScreen.h"
#include "widgets/Transition.h"
#include "widgets/Noise.h"
#include "widgets/WidgetManager.h"

#include "data/AssetLookup.h"
#include "data/AssetManager.h"
#include "data/ImageData.h"
#include "platform/PictureWindow.h"
#include "render/Image.h"

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
    mSoundPlayer = std::make_unique<SoundPlayer>([this] { return mSoundManager; });
    // Drawn from the shared generator before any screen can use it, so the
    // noise tables are the same on every run.
    InitNoise();
}

GameApp::~GameApp() {
    AfterWindowHook();
    if (gGameApp == this) gGameApp = nullptr;
}

void GameApp::BeforeWindowHook() {
    if (!mStartupAssetsThread.joinable()) mStartupAssetsThread = std::thread([this] { LoadStartupAssets(); });
}

void GameApp::AfterWindowHook() {
    if (mStartupAssetsThread.joinable()) mStartupAssetsThread.join();
}

bool GameApp::WantsFirstPicture() const { return !mScreenSaverMode && mBoot.startupScreens; }

bool GameApp::GetFirstPicture(Picture& picture) {
    Image* splash = WantsFirstPicture() ? FindImage(L"PUBLISHER_SPLASH") : nullptr;
    ImageSurface* surface = splash ? splash->GetSurface() : nullptr;
    if (!surface) return false;
    const ImageData& pixels = surface->GetImageData();
    const Rect within = splash->GetSurfaceRect();
    if (pixels.mWidth <= 0 || within.IsEmpty()) return false;
    picture.width = mWidth;
    picture.height = mHeight;
    picture.argb.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight), 0xFFFFFFFFu);
    // Straight alpha over white, at the top-left corner (LogoScreen::Draw).
    const int width = std::min(within.mWidth, mWidth), height = std::min(within.mHeight, mHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = within.mX + x, sy = within.mY + y;
            if (sx < 0 || sy < 0 || sx >= pixels.mWidth || sy >= pixels.mHeight) continue;
            const uint32_t p = pixels.mBits[static_cast<size_t>(sy) * static_cast<size_t>(pixels.mWidth) + static_cast<size_t>(sx)];
            const uint32_t a = p >> 24;
            uint32_t out = 0xFF000000u;
            for (int shift : {16, 8, 0}) {
                const uint32_t c = (p >> shift) & 0xFFu;
                out |= ((c * a + 255u * (255u - a) + 127u) / 255u) << shift;
            }
            picture.argb[static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x)] = out;
        }
    return true;
}

ScriptStep GameApp::HandleScriptCommand(const AnimationCommand& command, AnimationWidget* widget) {
    if (!widget) return ScriptStep::NotMine;
    return ScriptCommandRegistry::Instance().RunGameCommand(*widget, command);
}

void GameApp::StepLoadingProgress() {
    AddLoadingSteps(1);
    // Called on the loading thread: the bar is redrawn by the main loop.
    RequestRedraw();
}

void GameApp::StartGame() {
    mLoadingScreen.Reset();
    mStartGameWhenLoaded = false;
    gAssetManager->RunQueuedRequests();
}

ButtonWidget* GameApp::CreateMenuButton(int, int, const std::wstring&, bool) { return nullptr; }

ButtonWidget* GameApp::CreateTextButton(int x, int y, const std::wstring& label, bool localize) {
    return CreateMenuButton(x, y, label, localize);
}

Menu* GameApp::CreateTransition(Menu* menu) { return new Transition(L"transition", menu, false); }

TitleScreen* GameApp::GetLoadingScreen() const { return mLoadingScreen.Get(); }

void GameApp::LoadStartupAssets() {
    const bool logo = !mScreenSaverMode && mBoot.startupScreens;
    if (!logo && !mBoot.titleScreen) return;
    // The loading thread reads the definitions again and reports what is wrong.
    std::string error;
    if (!gAssetManager->LoadDefinitions("properties/assets.xml", &error)) {
        DebugPrintf("The start-up pictures are not there: %s\n", error.c_str());
        return;
    }
    AssetImageDef splash;
    if (logo && gAssetManager->FindImageDef(L"PUBLISHER_SPLASH", splash)) {
        // The first frame wants this one picture; decoding the others here
        // would keep the window black for them.
        AssetList list;
        gAssetManager->PrepareAssetList(std::wstring(), list);
        list.mImages = {splash.mName};
        list.mSounds.clear();
        list.mTracks.clear();
        gAssetManager->LoadAssetList(std::string(), &list, static_cast<const std::atomic<bool>*>(nullptr),
                                     "LogoAssets");
        if (gAssetManager->FindImage(splash.mName)) {
            mStartupGroupsOnLoader = true;
            mStartupPicturesReady = false;
            return;
        }
    }
    LoadStartupGroups(logo);
}

void GameApp::LoadDeferredStartupAssets() {
    if (!mStartupGroupsOnLoader || mStartupPicturesReady.load()) return;
    LoadStartupGroups(true);
    mStartupPicturesReady = true;
}

void GameApp::LoadStartupGroups(bool logo) {
    std::string error;
    if (logo && !gAssetManager->LoadGroup("LogoAssets", std::wstring(), std::string(), &error))
        DebugPrintf("The logo's pictures are not all there: %s\n", error.c_str());
    if (mBoot.titleScreen && !gAssetManager->LoadGroup("TitleAssets", std::wstring(), std::string(), &error))
        DebugPrintf("The title's pictures are not all there: %s\n", error.c_str());
}

void GameApp::ShowStartupScreens() {
    if (mScreenSaverMode || !mBoot.startupScreens) {
        mSplashCount = 2;
        ShowNextSplash();
        return;
    }
    AddDialog(new LogoScreen());
}

void GameApp::ShowNextSplash() {
    // The distributor splashes in turn; one whose picture is missing is not
    // shown at all, so the next one (or the title) comes at once.
    static const char* const kSplashes[] = {"splash", "splash2"};
    while (mSplashCount < 2) {
        auto* splash = new DistributorScreen(kSplashes[mSplashCount++]);
        if (splash->HasPicture()) {
            AddDialog(splash);
            return;
        }
        delete splash;
    }
    // Whatever asks again, there is one title screen.
    if (mTitleShown) return;
    mTitleShown = true;
    TitleScreen* title = mBoot.titleScreen ? CreateTitleScreen() : nullptr;
    if (!title) {
        if (mLoadingFinished) StartGame();
        else mStartGameWhenLoaded = true;
        return;
    }
    mLoadingScreen.Reset(title);
    AddDialog(title);
    if (mLoadingFinished) title->LoadingComplete();
}

void GameApp::RunOnMainThread(std::function<void()> call) {
    if (IsMainThread()) {
        call();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mMainThreadCallsLock);
        mMainThreadCalls.push_back(std::move(call));
    }
    // The loop may be asleep through steps nothing needs; the call is due now.
    PlatformWakeEventWait();
}

void GameApp::RunMainThreadCalls() {
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> lock(mMainThreadCallsLock);
        calls.swap(mMainThreadCalls);
    }
    for (auto& call : calls) call();
}

int GameApp::StepsUntilDue() {
    {
        std::lock_guard<std::mutex> lock(mMainThreadCallsLock);
        if (!mMainThreadCalls.empty()) return 0;
    }
    return PomoAppBase::StepsUntilDue();
}

void GameApp::UpdateFrames() {
    RunMainThreadCalls();
    mSoundPlayer->Update();
    PomoAppBase::UpdateFrames();
}

void GameApp::PlaySound(int soundId, int minimumGap, double volumeFactor) {
    mSoundPlayer->PlaySound(soundId, minimumGap, volumeFactor);
}

void GameApp::PlaySoundByName(const std::wstring& name) {
    const int id = gAssetManager->GetSoundId(name);
    if (id >= 0) PlaySound(id, 0, 1.0);
}

void GameApp::StopAllLoopingSounds() { mSoundPlayer->StopAllLooping(); }

// --- Open menus ---------------------------------------------------------------

void GameApp::AddMenu(Menu* menu) {
    if (!menu) return;
    for (const auto& open : mOpenMenus)
        if (open.Get() == menu) return;
    mOpenMenus.emplace_back(menu);
}

void GameApp::RemoveMenu(Menu* menu) {
    std::erase_if(mOpenMenus, [menu](const WeakHandle<Menu>& open) {
        return !open.Get() || open.Get() == menu;
    });
    if (mActiveMenu.Get() != menu) return;
    mActiveMenu.Reset();
    if (!mOpenMenus.empty() && mWidgetManager) mWidgetManager->SetFocus(mOpenMenus.back().Get());
}

void GameApp::SetActiveMenu(Menu* menu) {
    Menu* old = mActiveMenu.Get();
    mActiveMenu.Reset(menu);
    if (old && old != menu) old->SetActive(false);
    if (menu) menu->SetActive(true);
}

Menu* GameApp::GetActiveMenu() const { return mActiveMenu.Get(); }

std::vector<Menu*> GameApp::GetOpenMenus() const {
    std::vector<Menu*> menus;
    for (const auto& open : mOpenMenus)
        if (Menu* menu = open.Get()) menus.push_back(menu);
    return menus;
}

void GameApp::CollectOpenMenus() { mCollectedMenus = mOpenMenus; }

void GameApp::KillCollectedMenus() {
    auto collected = std::move(mCollectedMenus);
    mCollectedMenus.clear();
    for (const auto& handle : collected)
        if (Menu* menu = handle.Get()) menu->RemoveSelf();
}
