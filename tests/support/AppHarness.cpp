#include "tests/support/AppHarness.h"

#include <chrono>
#include <thread>

#include "core/FileUtil.h"
#include "platform/FileSystem.h"
#include "platform/System.h"

std::string TestGameDataFolder() {
    std::string env = PlatformGetEnv("QUILTRO7_GAMEDATA");
    if (!env.empty()) return env;
#ifdef QUILTRO7_SOURCE_GAMEDATA
    return QUILTRO7_SOURCE_GAMEDATA;
#else
    return "gamedata";
#endif
}

AppHarness::AppHarness() : AppHarness(Options()) {}

AppHarness::AppHarness(Options options) : mOptions(std::move(options)) {
    mPreviousDir = PlatformCurrentDirectory();
    PlatformSetDialogsEnabled(false);
    if (mOptions.userDataFolder.empty()) {
        mUserData = PlatformMakeTempDirectory("quiltro7-user-");
        mOwnsUserData = true;
    } else {
        mUserData = mOptions.userDataFolder;
    }
    mDataFolder = mOptions.dataFolder.empty() ? TestGameDataFolder() : mOptions.dataFolder;
}

AppHarness::~AppHarness() {
    Close();
    if (!mPreviousDir.empty()) PlatformChangeDirectory(mPreviousDir);
    if (mOwnsUserData && !mUserData.empty()) PlatformRemoveTree(mUserData);
}

void AppHarness::Close() {
    if (mApp && mInitOk && !mQuit) Quit();
    mApp.reset();
}

std::string AppHarness::UserFile(const std::string& name) const {
    std::string bytes;
    ReadFileToString(JoinPath(mUserData, name), bytes);
    return bytes;
}

void AppHarness::Adopt(std::unique_ptr<PomoAppBase> app) {
    mApp = std::move(app);
    AppBootOptions boot;
    boot.clock = &mClock;
    boot.headless = mOptions.headless;
    boot.startupScreens = mOptions.startupScreens;
    boot.titleScreen = mOptions.titleScreen;
    boot.idleSleep = mOptions.sleepWhenIdle;
    boot.userDataFolder = mUserData;
    boot.singleInstance = true;
    boot.handleSignals = false;
    mApp->SetBootOptions(boot);
    PlatformChangeDirectory(mDataFolder);
    mInitOk = mApp->Init(mOptions.args);
}

void AppHarness::RunSteps(int n) {
    if (!mApp || !mInitOk) return;
    int64_t target = mApp->GetUpdateCount() + n;
    // A pass sleeps on the test clock up to the next step, so each pass makes
    // at least one step of progress; the guard only stops a broken loop.
    for (int guard = 0; mApp->GetUpdateCount() < target && guard < n * 4 + 100; ++guard) {
        if (mApp->IsShutdownRequested()) break;
        mApp->RunPass();
    }
}

void AppHarness::DrainInput(int maxPasses) {
    for (int i = 0; i < maxPasses && mApp && mApp->PendingInputCount() > 0; ++i) mApp->RunPass();
}

void AppHarness::Push(const InputEvent& event) {
    if (mApp) mApp->PushInputEvent(event);
}

bool AppHarness::RunUntil(const std::function<bool()>& done, int maxSteps) {
    for (int i = 0; i < maxSteps && !done() && mApp && !mApp->IsShutdownRequested(); ++i) {
        RunSteps(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

void AppHarness::Send(InputEvent::Type type, int x, int y, MouseButton button, int clicks, int key) {
    InputEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = button;
    e.clicks = clicks;
    e.key = key;
    Push(e);
    DrainInput();
}

void AppHarness::MouseMove(int x, int y) { Send(InputEvent::MouseMove, x, y); }

void AppHarness::MouseDown(int x, int y, MouseButton button, int clicks) {
    Send(InputEvent::MouseDown, x, y, button, clicks);
}

void AppHarness::MouseUp(int x, int y, MouseButton button) { Send(InputEvent::MouseUp, x, y, button, 0); }

void AppHarness::Click(int x, int y, MouseButton button) {
    MouseMove(x, y);
    MouseDown(x, y, button);
    MouseUp(x, y, button);
}

void AppHarness::KeyDown(int key) { Send(InputEvent::KeyDown, 0, 0, MouseButton::None, 0, key); }

void AppHarness::KeyUp(int key) { Send(InputEvent::KeyUp, 0, 0, MouseButton::None, 0, key); }

void AppHarness::PressKey(int key) {
    KeyDown(key);
    KeyUp(key);
}

void AppHarness::TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        InputEvent e;
        e.type = InputEvent::Char;
        e.character = c;
        Push(e);
    }
    DrainInput();
}

void AppHarness::Quit() {
    if (!mApp || !mInitOk || mQuit) return;
    mQuit = true;
    InputEvent e;
    e.type = InputEvent::Quit;
    Push(e);
    for (int i = 0; i < 1000 && !mApp->IsShutdownRequested(); ++i) mApp->RunPass();
    mApp->DoShutdown();
}
