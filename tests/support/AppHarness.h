#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/PomoAppBase.h"
#include "platform/Clock.h"
#include "platform/InputEvent.h"

// Boots the real application for a test: the test clock, no display (unless
// asked), a fresh temporary user data folder and the game's data folder.
// Later layers add their own helpers on top (finding widgets, ...).
class AppHarness {
public:
    struct Options {
        bool headless = true;
        // The logo and the splashes; tests of other screens go without them.
        bool startupScreens = false;
        // The title screen; without it the game starts once loaded.
        bool titleScreen = false;
        // A still screen sleeps through the steps nothing needs, as the game
        // does (the test clock jumps over them); by default each pass runs
        // one step, as most tests count them.
        bool sleepWhenIdle = false;
        // The data folder to run in; the source tree's gamedata/ when empty.
        std::string dataFolder;
        // Reuse a user data folder (to test what a previous run left).
        std::string userDataFolder;
        std::vector<std::string> args;
    };

    AppHarness();
    explicit AppHarness(Options options);
    ~AppHarness();

    // Creates the application (constructor arguments forwarded), boots it
    // with the harness's clock and folders, and runs Init. Returns the app;
    // InitSucceeded() tells how Init went.
    template <class App, class... Args>
    App& Boot(Args&&... args) {
        auto app = std::make_unique<App>(std::forward<Args>(args)...);
        App& ref = *app;
        Adopt(std::move(app));
        return ref;
    }

    bool InitSucceeded() const { return mInitOk; }
    PomoAppBase& App() { return *mApp; }
    TestClock& Clock() { return mClock; }
    const std::string& UserDataFolder() const { return mUserData; }
    // The contents of a file in the user data folder; empty when unreadable.
    std::string UserFile(const std::string& name) const;
    const std::string& DataFolder() const { return mDataFolder; }

    // Runs main-loop passes until n more update steps have happened. Each pass
    // also draws a frame and handles at most one queued input message.
    void RunSteps(int n);
    // Runs one step at a time, each with a millisecond of real time for the
    // game's worker threads (loading), until done() holds, the game quits or
    // maxSteps have passed; returns done().
    bool RunUntil(const std::function<bool()>& done, int maxSteps = 20000);
    // Runs passes until every queued input message has been handled.
    void DrainInput(int maxPasses = 1000);

    // Input, in logical screen coordinates.
    void MouseMove(int x, int y);
    void MouseDown(int x, int y, MouseButton button = MouseButton::Left, int clicks = 1);
    void MouseUp(int x, int y, MouseButton button = MouseButton::Left);
    void Click(int x, int y, MouseButton button = MouseButton::Left);
    void KeyDown(int key);
    void KeyUp(int key);
    void PressKey(int key);
    void TypeText(const std::wstring& text);
    void Push(const InputEvent& event);

    // Ends the loop the way the window's close button does and shuts down.
    void Quit();
    // Quits and destroys the application (which may save as it goes); the
    // user data folder stays until the harness goes.
    void Close();

private:
    void Send(InputEvent::Type type, int x, int y, MouseButton button = MouseButton::None, int clicks = 0,
              int key = 0);
    void Adopt(std::unique_ptr<PomoAppBase> app);

    Options mOptions;
    TestClock mClock;
    std::unique_ptr<PomoAppBase> mApp;
    std::string mUserData;
    std::string mDataFolder;
    std::string mPreviousDir;
    bool mOwnsUserData = false;
    bool mInitOk = false;
    bool mQuit = false;
};

// The source tree's gamedata folder (from the build), for tests that read data.
std::string TestGameDataFolder();
