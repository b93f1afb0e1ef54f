#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ClosedScreenPictures.h"
#include "app/FramePacer.h"
#include "core/Geometry.h"
#include "app/Settings.h"
#include "core/CommandLine.h"
#include "core/WeakHandle.h"
#include "crash/CrashHandlerApp.h"
#include "widgets/AppServices.h"
#include "platform/Clock.h"
#include "platform/InputEvent.h"
#include "platform/InstanceLock.h"
#include "widgets/WidgetManager.h"

class D3DInterface;
class Graphics;
class Image;
class PlatformWindow;
struct Picture;
class AudioOutput;
class SoundManager;
class TrackInterface;
class HandleTarget;
class Widget;
class WidgetManager;

// How a run is booted. The game uses the defaults; the test harness injects
// its clock, forces the null video path and points at its own folders.
struct AppBootOptions {
    Clock* clock = nullptr;           // not owned; a real clock when null
    bool headless = false;            // no window, no GL context
    std::string userDataFolder;       // replaces the per-user folder when set
    bool singleInstance = true;
    bool handleSignals = true;        // SIGINT/SIGTERM request a quit
    bool startupScreens = true;       // the logo and the distributor splashes
    bool titleScreen = true;          // the title screen, whose play button starts the game
    // A still screen sleeps through the steps nothing needs on time. The
    // harness turns it off (its tests count a step a pass) unless asked.
    bool idleSleep = true;
};

// The application object of the framework: window, main loop, settings,
// command line, volumes and the services every screen reaches through gAppBase.
class PomoAppBase : public AppServices, public CrashHandlerApp {
public:
    static constexpr uint64_t kUpdateStepMicros = 10000;  // 100 update steps a second
    static constexpr int kMaxCatchUpSteps = 100;
    // How often the crash report's copy of the session information is renewed.
    static constexpr int kSessionInfoSteps = 100;
    // A still screen wakes at least once a second (99 steps late and the
    // 100th on time), for a quit signal, which cannot wake the loop; input,
    // a main-thread call and a quit from another thread wake it at once. The
    // play screen's clock ticks once a second too: it sleeps tick to tick.
    static constexpr int kMaxIdleSteps = 99;
    // While a loader runs, 4 times a second: its end wakes nothing.
    static constexpr int kMaxLoadingIdleSteps = 25;
    static constexpr uint64_t kIdleTextureCheckMicros = 2000000;

    PomoAppBase();
    virtual ~PomoAppBase();
    PomoAppBase(const PomoAppBase&) = delete;
    PomoAppBase& operator=(const PomoAppBase&) = delete;

    // --- Life cycle ---------------------------------------------------------
    void SetBootOptions(const AppBootOptions& options) { mBoot = options; }
    // Start-up up to the main loop. False on a fatal problem; mExitCode says how
    // the process should end (0 for a quiet end such as a second instance).
    virtual bool Init(const std::vector<std::string>& args);
    // Runs the main loop until a quit, then shuts down.
    virtual void Start();
    // Ends the main loop; from any thread this only raises a flag.
    void Shutdown();
    bool IsShutdownRequested() const { return mShutdownRequested.load(); }
    // The shutdown order after the loop has ended: sounds, window, settings.
    void DoShutdown();
    // One pass of the main loop: pump, one input message, due update steps,
    // UpdateFramesF, a frame when something visible changed, then sleep until
    // the next step or event. Public for the test harness.
    void RunPass();
    // Something visible changed outside the widget tree (the window was
    // exposed or resized): the next pass draws a frame. Thread-safe.
    void RequestRedraw() { mRedrawRequested.store(true); }

    // --- Screen -------------------------------------------------------------
    int GetWidth() const override { return mWidth; }
    int GetHeight() const override { return mHeight; }
    bool IsScreenSaverMode() const override { return mScreenSaverMode; }
    SoundManager* GetSoundManager() const override { return mSoundManager; }
    TrackInterface* GetMusicInterface() const override { return mMusicInterface; }
    void SwitchScreenMode(bool windowed, bool force);
    void SetStretchScreen(bool stretch);
    void SetCustomCursorsEnabled(bool enabled);
    virtual void UpdateCursor();
    void SetCursor(int id) override;
    int GetCursor() const { return mCursorId; }
    // Draws the widget as the mouse cursor (at the pointer, offset by the
    // widget's own position) and hides the system cursor; null restores it.
    void SetCursorImage(Widget* cursor);
    Widget* GetCursorImage() const;
    bool HasWindow() const { return mWindow != nullptr; }
    PlatformWindow* GetWindow() const { return mWindow.get(); }
    // The renderer (the null one without a window); made in Init.
    D3DInterface* GetD3DInterface() const { return mD3DInterface; }
    // Writes the current frame as a numbered PNG in "_screenshots" in the user
    // data folder (F12); returns its path, empty on failure.
    std::string TakeScreenshot();
    ImageSurface* CopyScreenImage() override;

    // --- Input --------------------------------------------------------------
    // Thread-safe, and wakes a sleeping loop; the main loop handles every
    // message queued since its last pass. A pointer motion queued right
    // behind another replaces it, as a desktop queue merges them. A window
    // exposure is no message: it asks for a frame.
    void PushInputEvent(const InputEvent& event);
    size_t PendingInputCount();

    // --- Dialogs ------------------------------------------------------------
    // Registers the widget under its id (a different dialog registered under
    // that id is killed first), adds it to the widget manager with the focus,
    // and makes a modal one the modal base.
    void AddDialog(Widget* dialog) override;
    void AddDialogWithId(int id, Widget* dialog);
    // Unregisters the dialog; `remove` takes it out of the tree, `doDelete`
    // flags it for deletion after the current update step. False (and
    // nothing changed) for an id that is not registered.
    bool KillDialogEx(int id, bool remove, bool doDelete);
    bool KillDialog(int id) { return KillDialogEx(id, true, true); }
    bool KillDialogWidget(Widget* dialog) override;
    Widget* GetDialog(int id) const;
    size_t GetDialogCount() const { return mDialogList.size(); }
    virtual void DialogAddedHook(Widget* /*dialog*/) {}
    virtual void DialogRemovedHook(Widget* /*dialog*/) {}

    // --- Volumes and sound slots ---------------------------------------------
    double GetSfxVolume() const { return mSfxVolume; }
    void SetSfxVolume(double volume);
    double GetMasterVolume();
    void SetMasterVolume(double volume);
    double GetMusicGroupVolume(const std::wstring& group) const;
    void SetMusicGroupVolume(const std::wstring& group, double volume);
    void EnsureMusicGroupVolume(const std::wstring& group);
    void SetMuted(bool muted);
    bool IsMuted() const { return mMuted; }
    void PlaySample(int soundId) override;
    void PlaySampleWithPan(int soundId, int pan);
    void PlayMusic(int trackId, int startPosition, bool loop);
    // Null, with the reason in mMusicError, when the music library is missing.
    virtual TrackInterface* CreateMusicInterface();
    virtual SoundManager* CreateSoundManager();

    // --- Mouse speed (kept and saved; the desktop setting is never touched) --
    int GetMouseSpeed() const { return mMouseSpeed; }
    void SetMouseSpeed(int speed);

    // --- Pictures by file name ------------------------------------------------
    // An image read from the data folder (extension optional), owned by the
    // caller; null when it is missing, unreadable or of no size.
    std::unique_ptr<Image> GetImage(const std::string& fileName);

    // --- Messages -----------------------------------------------------------
    void ShowErrorBox(const std::string& text);
    void ShowMessageBox(const std::string& text, const std::string& caption) override;
    bool CopyToClipboard(const std::string& text) override;

    // --- Loading progress ---------------------------------------------------
    double GetLoadingProgress() const;
    // Main thread, when a load has ended: pictures that can be decoded again
    // give back their memory copies, and the heap its free pages.
    void ReleaseLoadingMemory();
    void SetLoadingTotal(int total) { mLoadingStepsTotal = total; }
    void AddLoadingSteps(int steps) { mLoadingStepsDone += steps; }
    int GetLoadingStepsDone() const { return mLoadingStepsDone.load(); }

    // --- Deferred deletes ---------------------------------------------------
    // The object is deleted after the current update step, so code still on
    // the stack may keep using it until then.
    void SafeDelete(HandleTarget* object) override;
    // Takes a queued object off the list again (a widget added back to the
    // tree before its delete ran); false when it was not queued.
    bool CancelSafeDelete(HandleTarget* object) override;
    bool IsSafeDeletePending(const HandleTarget* object) const;
    // Deletes what was queued. When a menu was among it (a screen or dialog
    // closed), the heap gives back its free pages and the closed screen's
    // pictures are released once the screens left have been drawn without
    // them (ReleaseClosedScreenPictures).
    void ProcessDeferredDeletes();
    // Called with the renderer's idle pass; main thread.
    void ReleaseClosedScreenPictures(uint64_t nowMicros);

    // --- Settings -----------------------------------------------------------
    std::string GetSettingsPath() const { return mAppDataFolder + "settings.xml"; }
    void ReadSettings();
    // False when settings.xml could not be written, with why in *reason.
    bool WriteSettings(std::string* reason = nullptr);
    AppSettings CurrentSettings() const;
    // Whether the last run could not write settings.xml when it ended (it
    // left a marker, which this start read and removed); *reason gets the
    // reason the marker kept, empty when there was no room for one.
    bool WereSettingsLostAtLastExit(std::string* reason) const;

    // --- Crash support ------------------------------------------------------
    void HideApp() override;
    void GetSessionInfo(std::string& out) override;
    void AddCrashReportFields(std::map<std::string, std::string>& fields) override {}
    std::string GetProductVersion(const std::string& path) override;
    std::string GetCrashProductName() const override { return mProductName; }
    std::string GetCrashVersionText() const override { return mProductVersion; }

    // --- Counters -----------------------------------------------------------
    int64_t GetUpdateCount() const { return mUpdateCount.load(); }
    int64_t GetFrameCount() const { return mFrameCount.load(); }
    Clock* GetClock() const override { return mClock; }

    // Identity.
    std::string mCompanyName = "Pomo";
    std::string mProductName;
    std::string mTitle;
    std::string mProductVersion;

    // Screen and state.
    int mWidth = 1024;
    int mHeight = 768;
    bool mIsWindowed = true;
    bool mNoWindowedMode = false;
    bool mStretchScreen = false;
    bool mCustomCursorsEnabled = false;
    bool mVSyncEnabled = true;
    // Loaders at work beside the main loop (loading screens' workers); they
    // may overlap, so each counts itself in and out.
    std::atomic<int> mLoaderRunning{0};
    bool mScreenSaverMode = false;
    intptr_t mPreviewWindow = 0;
    bool mCrashTest = false;
    std::string mAppDataFolder;  // ends in '/'
    int mExitCode = 0;

    // The widget tree (owned; made by the constructor).
    WidgetManager* mWidgetManager = nullptr;

    // Audio objects (owned).
    // The mixer on the audio device; null without a device (sound runs inert).
    std::unique_ptr<AudioOutput> mAudioOutput;
    std::string mMusicError;  // why CreateMusicInterface made none
    SoundManager* mSoundManager = nullptr;
    TrackInterface* mMusicInterface = nullptr;

protected:
    // Hooks the layers above fill in.
    virtual void InitHook() {}                      // after window, renderer and sound
    // Around the opening of the window, which waits mostly on the system's
    // GL libraries: work that needs no window nor renderer starts on a
    // thread before, and is joined after (before the renderer is installed).
    virtual void BeforeWindowHook() {}
    virtual void AfterWindowHook() {}
    // The picture the first frame will show, shown through the window
    // system before GL is up (after AfterWindowHook): whether there is
    // one, and the picture, opaque, of the window's size.
    virtual bool WantsFirstPicture() const { return false; }
    virtual bool GetFirstPicture(Picture& /*picture*/) { return false; }
    virtual void UpdateFrames();                    // one fixed update step
    virtual void UpdateFramesF(float elapsedSteps);  // once per drawn frame
    virtual void DrawFrame();                       // one frame into the window
    void RequestWholeFrame();
    virtual void DrawScreen(Graphics& g);           // the frame's contents, in DrawFrame
    virtual void HandleInputEvent(const InputEvent& event);
    // How many coming update steps may run late, together, because nothing
    // needs them on time (Widget::StepsUntilDue); 0 keeps the 10 ms pace.
    virtual int StepsUntilDue();
    virtual void ShutdownHook() {}                  // before the window goes
    virtual void LoadingThreadProc() {}
    virtual void LoadingThreadCompleted() {}
    // The game data archive was cut short or written over while the game ran:
    // the message is shown, the exit code is 1 and the loop ends. True then.
    bool EndIfArchiveChanged();
    // Says on stderr that the window could not take full screen, and why.
    void TellFullScreenRefused();

    // Takes the user data folder's lock and clears what killed runs left;
    // false (with the message shown and mExitCode set) when it cannot.
    bool ClaimUserDataFolder();
    void StartLoadingThread();
    // Called with mInputLock held.
    void QueueInputLocked(const InputEvent& event);
    // Runs that many update steps (fewer once a quit is asked).
    void RunUpdateSteps(uint64_t count);
    // Script clocks and controllers move on to `until` (UpdateFramesF).
    void AdvanceFrameTime(uint64_t until);
    // Sleeps up to the given time on the loop's clock; with a window, events
    // end the wait early.
    void WaitUntil(uint64_t wakeMicros);
    // Paces frames by the display's refresh rate when vsync does not.
    void UpdateFramePace();
    bool IsLoadingThreadRunning() const { return mLoadingThread.joinable() && !mLoadingDone; }
    void ApplyVolumes();

    AppBootOptions mBoot;
    Clock* mClock = nullptr;
    std::unique_ptr<Clock> mOwnedClock;
    std::unique_ptr<PlatformWindow> mWindow;
    D3DInterface* mD3DInterface = nullptr;  // owned
    InstanceLock mInstanceLock;

    std::mutex mInputLock;
    std::deque<InputEvent> mInputQueue;
    std::deque<InputEvent> mHandling;  // the pass's messages, taken from the queue
    std::vector<InputEvent> mPumpBuffer;

    FramePacer mFramePacer;
    // The next frame is drawn whole (an exposure, a resize), else only
    // where the widget tree marked changes (taken as the frame begins).
    bool mWholeFrame = true;
    WidgetManager::Changes mFrameChanges;
    std::atomic<bool> mRedrawRequested{false};
    std::atomic<bool> mShutdownRequested{false};
    std::atomic<bool> mSignalQuit{false};
    bool mArchiveChangeShown = false;  // main thread only
    bool mInitialized = false;
    bool mShutDown = false;
    uint64_t mLastStepTime = 0;
    uint64_t mIdleStepsSlept = 0;  // the steps the last pass chose to sleep through
    uint64_t mLastIdleTextureCheck = 0;
    uint64_t mLastFrameTime = 0;
    std::atomic<int64_t> mUpdateCount{0};
    std::atomic<int64_t> mFrameCount{0};

    double mSfxVolume = 0.8;
    std::map<std::wstring, double> mMusicGroupVolumes;
    bool mMuted = false;
    bool mSettingsSaveBlocked = false;  // a damaged settings.xml could not be moved aside
    bool mSettingsLostAtLastExit = false;
    std::string mSettingsLostReason;
    int mMouseSpeed = 10;
    int mCursorId = 0;

    std::atomic<int> mLoadingStepsDone{0};
    int mLoadingStepsTotal = 1;
    std::thread mLoadingThread;
    std::atomic<bool> mLoadingDone{false};
    bool mLoadingCompletionSeen = false;

    std::vector<HandleTarget*> mDeleteList;
    ClosedScreenPictures mClosedScreenPictures;

    // The dialog registry; entries are weak, a dialog deleted elsewhere
    // simply reads as gone.
    std::map<int, WeakHandle<Widget>> mDialogMap;
    std::vector<WeakHandle<Widget>> mDialogList;
    WeakHandle<Widget> mCursorWidget;
};

extern PomoAppBase* gAppBase;
