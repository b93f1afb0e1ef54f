#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/PomoAppBase.h"
#include "core/WeakHandle.h"
#include "widgets/ScriptCommandRegistry.h"

class AnimationCommand;
class AnimationWidget;
class Board;
class ButtonWidget;
class Menu;
class TitleScreen;
class SoundPlayer;

// The game framework's application: loading, menus, typed codes and the
// script hook on top of the plain application object.
class GameApp : public PomoAppBase {
public:
    GameApp(const std::string& title, const std::string& version, int width, int height);
    ~GameApp() override;

    // Virtual operations the game overrides.
    // Runs on the loading thread: fonts, constants, config, assets and
    // animations, then the short log. The game's override calls this first.
    virtual void LoadGameData();
    virtual int GetLoadingStepCount() { return 0; }
    // The base forgets the loading screen and runs the asset loads queued
    // during start-up.
    void StartGame() override;
    // A menu button centred on (x, y): the game's; null in the framework.
    ButtonWidget* CreateMenuButton(int x, int y, const std::wstring& label, bool localize) override;
    // A button that is only its label, centred on x with its top at y.
    virtual ButtonWidget* CreateTextButton(int x, int y, const std::wstring& label, bool localize);
    // The framework's transition plays "transition" over the last frame.
    Menu* CreateTransition(Menu* menu) override;
    void HandleTypedCode(const std::wstring& code) override {}
    // The screen with the loading bar; null when the game has none yet.
    virtual TitleScreen* CreateTitleScreen() { return nullptr; }
    // The start-up screens in turn: after the splashes, the title screen,
    // which is told at once when loading has already finished. Without a
    // title screen the game starts as soon as loading has finished.
    void ShowNextSplash();
    // What the start-up shows before the loading thread has read anything,
    // read on the main thread before it starts: the logo screen's pictures
    // and sounds (the asset group "LogoAssets") when the logo shows, the
    // title screen's pictures ("TitleAssets") when the title shows. When the
    // logo opens on the publisher's picture only that one is read here, so
    // the first frame comes at once; the loading thread reads the rest first.
    void LoadStartupAssets();
    // The logo's and the title's pictures are there (false only while the
    // loading thread still reads them behind the publisher's picture).
    bool StartupPicturesReady() const { return mStartupPicturesReady.load(); }
    // The loading thread's first work: the pictures LoadStartupAssets left.
    void LoadDeferredStartupAssets();
    // LoadStartupAssets on a thread while the window opens.
    void BeforeWindowHook() override;
    void AfterWindowHook() override;
    // The publisher's picture on white, as the logo screen's first frame
    // draws it.
    bool WantsFirstPicture() const override;
    bool GetFirstPicture(Picture& picture) override;
    // The first start-up screen: the logo, or in screen-saver mode straight
    // on past the logo and the splashes.
    void ShowStartupScreens();
    TitleScreen* GetLoadingScreen() const;
    // The game's script commands: registered here by name, on the main thread
    // before the animations load (the loader checks names against them).
    virtual void RegisterScriptCommands(ScriptCommandRegistry& /*registry*/) {}
    // Runs the game's command of the record's name; NotMine when it has none.
    ScriptStep HandleScriptCommand(const AnimationCommand& command, AnimationWidget* widget);

    // --- Open menus ------------------------------------------------------------
    // Menus register here while they are in the widget tree; the active one
    // has the focus. Removing the active menu gives the focus to the last
    // menu still open.
    void AddMenu(Menu* menu) override;
    void RemoveMenu(Menu* menu) override;
    void SetActiveMenu(Menu* menu) override;
    int GetPauseCount() const override { return mPauseCount; }
    std::wstring GetPlayerName() const override { return mPlayerName; }
    Menu* GetActiveMenu() const;
    std::vector<Menu*> GetOpenMenus() const;
    // Remembers the menus open now, so that they can be closed later in one
    // go (after the next screen has opened).
    void CollectOpenMenus();
    void KillCollectedMenus();

    // One loader finished: the loading bar moves on.
    void StepLoadingProgress();
    // Starts the loading thread; the bar's total is the framework's own steps,
    // the game's, and one for the finish.
    void BeginLoading();
    bool IsLoadingFinished() const { return mLoadingFinished; }
    // A loader found broken data: the message names the file (and line). At
    // the end of loading the first such problem is shown and the game ends.
    void ReportLoadError(const std::string& message);
    std::vector<std::string> GetLoadErrors();
    static constexpr int kFrameworkLoadingSteps = 5;

    // Runs the call on the main thread: at once when called there, else at
    // the start of the next update step (loaders run on a worker thread).
    void RunOnMainThread(std::function<void()> call);
    bool IsMainThread() const { return std::this_thread::get_id() == mMainThreadId; }
    // The publisher's, the logo and the distributor screens are over: the
    // title (or the game) is showing.
    bool IsPastStartupScreens() const { return mTitleShown; }

    // The game's board under every screen (made by StartGame, owned by the tree).
    Board* mBoard = nullptr;
    // --- Sound effects through the player ------------------------------------
    // Skipped when the same id started at most minimumGap update steps ago.
    void PlaySound(int soundId, int minimumGap, double volumeFactor);
    void PlaySoundByName(const std::wstring& name);  // an unknown name plays nothing
    void StopAllLoopingSounds();
    SoundPlayer* GetSoundPlayer() const override { return mSoundPlayer.get(); }

    std::unique_ptr<SoundPlayer> mSoundPlayer;
    std::wstring mPlayerName;
    bool mHideMouseSpeed = true;
    int mPauseCount = 0;

protected:
    void UpdateFrames() override;
    int StepsUntilDue() override;
    void RunMainThreadCalls();
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;

private:
    std::vector<WeakHandle<Menu>> mOpenMenus;
    std::vector<WeakHandle<Menu>> mCollectedMenus;
    WeakHandle<Menu> mActiveMenu;
    std::thread::id mMainThreadId = std::this_thread::get_id();
    std::thread mStartupAssetsThread;
    std::mutex mMainThreadCallsLock;
    std::vector<std::function<void()>> mMainThreadCalls;
    std::mutex mLoadErrorsLock;
    std::vector<std::string> mLoadErrors;
    bool mLoadingFinished = false;
    std::atomic<bool> mStartupPicturesReady{true};
    // The logo's and the title's groups are left to the loading thread.
    bool mStartupGroupsOnLoader = false;
    void LoadStartupGroups(bool logo);
    WeakHandle<TitleScreen> mLoadingScreen;
    int mSplashCount = 0;
    bool mTitleShown = false;
    bool mStartGameWhenLoaded = false;
};

extern GameApp* gGameApp;
