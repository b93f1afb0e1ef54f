#include "app/PomoAppBase.h"

#include <algorithm>

#include "app/AppAudioLoader.h"
#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "core/Timer.h"
#include "core/WeakHandle.h"
#include "audio/AudioOutput.h"
#include "audio/BassTrackInterface.h"
#include "audio/DSoundManager.h"
#include "crash/CrashReporter.h"
#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/AssetManager.h"
#include "data/ImageData.h"
#include "data/PakInterface.h"
#include "platform/CrashSignals.h"
#include "platform/FileSystem.h"
#include "platform/LibraryVersions.h"
#include "platform/PictureWindow.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "render/AssetImages.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/MessageWindow.h"
#include "render/Screenshot.h"
#include "widgets/Menu.h"
#include "widgets/WidgetManager.h"

PomoAppBase* gAppBase = nullptr;

namespace {
// Beside settings.xml when the last run could not write it at exit.
constexpr const char* kSettingsUnsavedSuffix = ".unsaved";
// A reason is one line of the system's words; a marker replaced by anything
// larger is not read whole into a notice.
constexpr size_t kMaxLostReason = 200;
}  // namespace

PomoAppBase::PomoAppBase() {
    gAppBase = this;
    gAppServices = this;
    SetAppDataFolderSource([] { return gAppBase ? gAppBase->mAppDataFolder : std::string(); });
    mWidgetManager = new WidgetManager();
    // The asset tables hand pixels to the renderer and sounds to this
    // application's audio, neither of which the data layer may know.
    gAssetManager->SetImageLoader(&RendererImageLoader());
    gAssetManager->SetAudioLoader(&AppAudioLoader());
}

PomoAppBase::~PomoAppBase() {
    if (mLoadingThread.joinable()) mLoadingThread.join();
    // Widgets and the renderer give their textures back to the window's GL
    // context, which another window (a message window's) may have replaced.
    if (mWindow) mWindow->MakeCurrent();
    ProcessDeferredDeletes();
    // The widgets go before the renderer whose textures they may hold.
    SetCursorImage(nullptr);
    WidgetManager* manager = mWidgetManager;
    mWidgetManager = nullptr;  // widgets being destroyed find no tree
    delete manager;
    ProcessDeferredDeletes();
    delete mMusicInterface;
    mMusicInterface = nullptr;
    delete mSoundManager;
    mSoundManager = nullptr;
    mAudioOutput.reset();
    delete mD3DInterface;  // while its GL context still exists
    mD3DInterface = nullptr;
    mWindow.reset();
    if (mBoot.handleSignals) PlatformRemoveQuitSignals();
    if (gCrashHandlerApp == this) CrashReporter::SetApp(nullptr);
    gPakInterfaceP->SetDataRoot(std::string());
    if (gAppBase == this) gAppBase = nullptr;
    if (gAppServices == this) gAppServices = nullptr;
    Timer::SetDefaultClock(nullptr);
}

bool PomoAppBase::Init(const std::vector<std::string>& args) {
    // First: a quit signal must close any FATAL ERROR box below, not find the
    // default action (which ends us and leaves the box up) or nothing at all.
    if (mBoot.handleSignals) PlatformInstallQuitSignals(&mSignalQuit);
    mClock = mBoot.clock;
    if (!mClock) {
        mOwnedClock = std::make_unique<RealClock>();
        mClock = mOwnedClock.get();
    }
    Timer::SetDefaultClock(mClock);

    // The user data folder holds settings.xml, profiles.xml and the lock.
    if (!mBoot.userDataFolder.empty()) {
        mAppDataFolder = mBoot.userDataFolder;
        if (mAppDataFolder.back() != '/') mAppDataFolder += '/';
        CreateDirectories(mAppDataFolder);
    } else {
        mAppDataFolder = PlatformUserDataFolder(mCompanyName, mProductName);
    }
    if (mAppDataFolder.empty()) {
        ShowErrorBox("Cannot create the user data folder.");
        mExitCode = 1;
        return false;
    }
    // The folder's files are ours only while the lock is held: take it before
    // settings.xml is read (and perhaps kept aside).
    if (mBoot.singleInstance && !ClaimUserDataFolder()) return false;

    ReadSettings();

    CommandLineOptions options;
    std::string error;
    if (!ParseCommandLine(args, options, &error)) {
        ShowMessageBox(error, mTitle);
        mExitCode = 1;
        return false;
    }
    mCrashTest = options.crash;
    mScreenSaverMode = options.screenSaver;
    if (!options.changeDir.empty() && !PlatformChangeDirectory(options.changeDir)) {
        ShowErrorBox("Cannot open the data folder '" + options.changeDir + "'.");
        mExitCode = 1;
        return false;
    }
    CrashReporter::SetFallbackFolder(mAppDataFolder);
    CrashReporter::SetApp(this);
    if (mCrashTest) CrashReporter::CrashOnPurpose();
    // The archive answers for every data file without a loose copy; a damaged
    // one is refused (with a debug message) and the loose files still serve.
    if (PlatformFileExists("main.pak")) gPakInterfaceP->AddPakFile("main.pak");
    // Names in data files stay inside the data folder, as the archive's do.
    gPakInterfaceP->SetDataRoot(PlatformCurrentDirectory());

    // Sound first: the music library ships beside the program, and without
    // it the installation is broken, which the player is told before any
    // window shows.
    mAudioOutput = AudioOutput::Open();
    mSoundManager = CreateSoundManager();
    mMusicInterface = CreateMusicInterface();
    if (!mMusicInterface) {
        ShowErrorBox(mMusicError);
        mExitCode = 1;
        return false;
    }
    ApplyVolumes();

    BeforeWindowHook();
    if (!mBoot.headless) {
        WindowConfig config;
        config.title = mTitle;
        config.logicalWidth = mWidth;
        config.logicalHeight = mHeight;
        config.windowed = mIsWindowed && !mNoWindowedMode;
        config.stretch = mStretchScreen;
        config.vsync = mVSyncEnabled;
        config.visible = false;  // shown when the loop starts, or with the first picture
        // A first picture shows before the GL libraries and driver load (a
        // window made for GL waits on them): the window is made without GL,
        // shown with the picture, and given GL then.
        config.glLater = WantsFirstPicture();
        std::string windowError;
        mWindow = PlatformWindow::Create(config, &windowError);
        AfterWindowHook();
        if (mWindow && mWindow->IsWaitingForGL()) {
            Picture first;
            if (GetFirstPicture(first)) {
                mWindow->Show();
                mWindow->ShowPicture(first);
            }
            if (!mWindow->EnableGL(&windowError)) mWindow.reset();
        }
        if (!mWindow) {
            // Only tests run without a window, and they ask for that.
            ShowErrorBox("Cannot open the game window: " + windowError);
            mExitCode = 1;
            return false;
        }
        if (!config.windowed && mWindow->IsWindowed()) TellFullScreenRefused();
    }
    AfterWindowHook();  // joined already when a window was made
    mD3DInterface = new D3DInterface();
    mD3DInterface->Init(mWindow.get(), mWidth, mHeight, mVSyncEnabled);
    mD3DInterface->SetStretch(mStretchScreen);
    D3DInterface::Install(mD3DInterface);
    UpdateFramePace();

    // The window, GL and audio brought their libraries in.
    CrashReporter::RefreshModules();
    CrashReporter::AddSystemLine("GL Ver: ", mD3DInterface->GetBackend().GetName());
    CrashReporter::AddSystemLine("SDL Ver: ", PlatformSdlVersion());

    InitHook();
    mInitialized = true;
    return true;
}

bool PomoAppBase::ClaimUserDataFolder() {
    std::string reason;
    switch (mInstanceLock.Acquire(mAppDataFolder + "instance.lock", &reason)) {
        case InstanceLock::Result::Acquired:
            break;
        case InstanceLock::Result::HeldElsewhere:
            ShowMessageBox(mTitle + " is already running.", mTitle);
            mExitCode = 0;
            return false;
        case InstanceLock::Result::Failed:
            ShowErrorBox("Cannot use the user data folder '" + mAppDataFolder + "' (instance.lock: " +
                         reason + ").");
            mExitCode = 1;
            return false;
    }
    // A save killed mid-write leaves its temporary file; no other copy can be
    // writing one now.
    PlatformRemoveAtomicWriteTemps(mAppDataFolder);
    PlatformRemoveAtomicWriteTemps(mAppDataFolder + "_screenshots");
    return true;
}

void PomoAppBase::Start() {
    if (!mInitialized) return;
    if (mWindow) mWindow->Show();
    UpdateCursor();
    mLastStepTime = mLastFrameTime = mClock->NowMicros();
    while (!mShutdownRequested.load()) RunPass();
    DoShutdown();
}

void PomoAppBase::Shutdown() {
    mShutdownRequested.store(true);
    // From another thread: the loop may be asleep for up to a second.
    PlatformWakeEventWait();
}

void PomoAppBase::RunPass() {
    if (mWindow) {
        mPumpBuffer.clear();
        mWindow->PumpEvents(mPumpBuffer);
        // The drawn cursor follows the mouse at once, not when its move is handled.
        for (const InputEvent& e : mPumpBuffer)
            if (e.type == InputEvent::MouseMove && mD3DInterface)
                mD3DInterface->SetCursorPosition(e.x, e.y);
        if (!mPumpBuffer.empty()) {
            std::lock_guard<std::mutex> lock(mInputLock);
            for (const InputEvent& e : mPumpBuffer) QueueInputLocked(e);
        }
    }
    if (mSignalQuit.load()) Shutdown();
    // Nothing more runs on data that is no longer there to read.
    if (EndIfArchiveChanged()) return;
    if (mRedrawRequested.exchange(false)) RequestWholeFrame();

    uint64_t now = mClock->NowMicros();
    if (now < mLastStepTime) mLastStepTime = now;
    uint64_t due = (now - mLastStepTime) / kUpdateStepMicros;
    // After a long stall (a debugger, a suspended machine) drop the backlog
    // rather than racing through it; the steps a still screen chose to sleep
    // through are no stall, and are all run.
    const uint64_t keep = static_cast<uint64_t>(kMaxCatchUpSteps) + mIdleStepsSlept;
    mIdleStepsSlept = 0;
    if (due > keep) {
        mLastStepTime = now - keep * kUpdateStepMicros;
        due = keep;
    }

    {
        std::lock_guard<std::mutex> lock(mInputLock);
        mHandling.swap(mInputQueue);
    }
    // Steps slept through came before the input that woke the loop: a menu
    // opened by it (which pauses the play clock) must not take them, nor a
    // menu closed by it give them. At the 10 ms pace the input goes first.
    if (!mHandling.empty() && due > 1) {
        RunUpdateSteps(due);
        due = 0;
        // Their time is theirs for the script clocks too: an animation the
        // input starts begins at its start, not half a second in.
        AdvanceFrameTime(mLastStepTime);
    }
    // Every message queued since the last pass is handled now: one a pass
    // fell behind a fast player (a click is three messages), by seconds.
    // What the input changed marks itself (a hover, a pressed button, a
    // typed letter); a drawn cursor that moved needs a frame of its own.
    const bool handledInput = !mHandling.empty();
    if (handledInput) {
        for (const InputEvent& event : mHandling) {
            if (mShutdownRequested.load()) break;
            HandleInputEvent(event);
        }
        mHandling.clear();
    }
    if (mD3DInterface && mD3DInterface->CursorMoved()) mFramePacer.Request();

    if (mLoadingThread.joinable() && mLoadingDone.load() && !mLoadingCompletionSeen) {
        mLoadingThread.join();
        mLoadingCompletionSeen = true;
        LoadingThreadCompleted();
    }

    // A loading thread may have found it since the pass began.
    if (EndIfArchiveChanged()) return;
    RunUpdateSteps(due);

    // Script clocks and controllers advance whether or not a frame follows.
    AdvanceFrameTime(now);

    // A still screen is not drawn again: the window keeps the last frame.
    // What changed marked where it was and is drawn there alone (DrawFrame).
    if (mWidgetManager->HasDirty()) mFramePacer.Request();
    bool drawn = mFramePacer.ShouldDraw(now);
    // A change drawn only where it stands (a label's new text) is a one-off:
    // whatever changes it again says when (StepsUntilDue). A whole frame may
    // be a widget that changes each step and says nothing, and input may
    // start what the next steps carry on: neither sleeps long after it.
    bool drawnWhole = false;
    if (drawn) {
        mFramePacer.Drawn(now);
        mWidgetManager->TakeDirty(&mFrameChanges);
        // An exposure or a resize asks for the whole frame as a change would.
        mFrameChanges.mWhole = mFrameChanges.mWhole || mWholeFrame;
        mWholeFrame = false;
        drawnWhole = mFrameChanges.mWhole;
        DrawFrame();
        mFrameChanges = WidgetManager::Changes();
        ++mFrameCount;
    }
    // Present looks for idle textures as it draws; a screen gone still
    // draws no more, so the pass looks too, on whatever wakes it.
    if (mD3DInterface && now - std::min(now, mLastIdleTextureCheck) >= kIdleTextureCheckMicros) {
        mLastIdleTextureCheck = now;
        mD3DInterface->ReleaseIdleTextures();
        ReleaseClosedScreenPictures(now);
    }

    // Sleep up to the next step (or a frame held back by the pace); longer
    // while a loader works, to leave it the processor. A screen that stood
    // still in this pass (or drew only such a one-off part) sleeps through
    // the steps nothing needs on time (the play screen: up to its clock's
    // next second); they run together when it wakes, before any input that
    // woke it, so game time keeps its 10 ms steps. The harness's clock moves
    // step by step, as its tests count them, unless a test asks for the sleeps.
    uint64_t wake = mLastStepTime + kUpdateStepMicros;
    uint64_t idle = 0;
    if (mFramePacer.IsRequested()) {
        wake = std::min(wake, mFramePacer.EarliestDraw());
    } else if (!drawnWhole && !handledInput && mBoot.idleSleep) {
        int limit = kMaxIdleSteps;
        // A loader's calls to the main thread come without a wake.
        if (mLoaderRunning.load() > 0 || IsLoadingThreadRunning()) limit = kMaxLoadingIdleSteps;
        idle = static_cast<uint64_t>(std::min(StepsUntilDue(), limit));
        wake += idle * kUpdateStepMicros;
    }
    uint64_t after = mClock->NowMicros();
    if (after >= wake) return;
    if (mLoaderRunning.load() > 0 || IsLoadingThreadRunning()) wake = std::max(wake, after + 20000);
    mIdleStepsSlept = idle;
    WaitUntil(wake);
}

void PomoAppBase::AdvanceFrameTime(uint64_t until) {
    if (until <= mLastFrameTime) return;
    const float elapsed = static_cast<float>(until - mLastFrameTime) / static_cast<float>(kUpdateStepMicros);
    mLastFrameTime = until;
    UpdateFramesF(elapsed);
}

void PomoAppBase::RunUpdateSteps(uint64_t count) {
    for (uint64_t i = 0; i < count && !mShutdownRequested.load(); ++i) {
        UpdateFrames();
        if (++mUpdateCount % kSessionInfoSteps == 0) CrashReporter::RefreshSessionInfo();
        mLastStepTime += kUpdateStepMicros;
        ProcessDeferredDeletes();
    }
}

void PomoAppBase::WaitUntil(uint64_t wakeMicros) {
    uint64_t now = mClock->NowMicros();
    if (now >= wakeMicros) return;
    uint64_t wait = wakeMicros - now;
    // An injected clock is the test's: its time moves only when slept on.
    if (mWindow && mOwnedClock) {
        mWindow->WaitForEvent(static_cast<int>((wait + 999) / 1000));
        return;
    }
    mClock->SleepMicros(wait);
}

void PomoAppBase::UpdateFramePace() {
    bool vsync = mWindow && mD3DInterface && mD3DInterface->IsVSyncActive();
    int hertz = mWindow ? mWindow->GetRefreshRate() : 0;
    if (hertz <= 0) hertz = 60;
    mFramePacer.SetMinInterval(vsync ? 0 : 1000000u / static_cast<uint64_t>(hertz));
}

int PomoAppBase::StepsUntilDue() {
    if (PendingInputCount() > 0 || (mMusicInterface && mMusicInterface->IsFading())) return 0;
    return mWidgetManager->StepsUntilDue();
}

void PomoAppBase::UpdateFrames() {
    if (mMusicInterface) mMusicInterface->Update();
    if (mAudioOutput) mAudioOutput->Update();
    // Widgets removed during the walk are deleted after it (RunPass).
    mWidgetManager->Update();
}

void PomoAppBase::RequestWholeFrame() {
    mFramePacer.Request();
    mWholeFrame = true;
}

void PomoAppBase::DrawFrame() {
    if (!mD3DInterface) return;
    // One walk of the tree records the frame and where everything marked
    // stands now; only then is it drawn, where things were and are.
    mD3DInterface->BeginFrame(Color(20, 26, 41));
    {
        Graphics g(nullptr);
        DrawScreen(g);
    }
    mFrameChanges.AddDrawnAreas();
    mD3DInterface->Present(mFrameChanges.mWhole ? nullptr : &mFrameChanges.mRegion);
}

void PomoAppBase::HandleInputEvent(const InputEvent& event) {
    if (event.type == InputEvent::Quit) Shutdown();
    mWidgetManager->HandleInputEvent(event);
    if (event.type == InputEvent::KeyDown && event.key == KeyCode::F12 && !event.repeat)
        TakeScreenshot();
}

std::string PomoAppBase::TakeScreenshot() {
    if (!mD3DInterface || mAppDataFolder.empty()) return {};
    return SaveScreenshot(*mD3DInterface, mAppDataFolder + "_screenshots/");
}

ImageSurface* PomoAppBase::CopyScreenImage() {
    return mD3DInterface ? mD3DInterface->CopyScreenImage() : nullptr;
}

void PomoAppBase::DoShutdown() {
    if (mShutDown) return;
    mShutDown = true;
    mShutdownRequested.store(true);
    if (mLoadingThread.joinable()) mLoadingThread.join();
    ShutdownHook();
    if (mSoundManager) mSoundManager->StopAllSounds();
    if (mMusicInterface) mMusicInterface->StopAllTracks();
    if (mWindow) {
        mWindow->Hide();
        if (!mWindow->IsWindowed()) mWindow->SetWindowed(true);  // give the desktop back
    }
    std::string reason;
    if (!mAppDataFolder.empty() && !WriteSettings(&reason)) {
        DebugPrintf("settings.xml was not saved: the settings of this session are lost\n");
        // Nobody can be told now: the next start tells. On a full disk the
        // reason may not fit where an empty marker still does.
        const std::string marker = GetSettingsPath() + kSettingsUnsavedSuffix;
        if (!WriteStringToFile(marker, reason)) WriteStringToFile(marker, "");
    }
    if (mMusicInterface) mMusicInterface->UnloadAllTracks();
}

void PomoAppBase::SwitchScreenMode(bool windowed, bool force) {
    if (!windowed == !mIsWindowed && !force) return;
    if (windowed && mNoWindowedMode) windowed = false;
    mIsWindowed = windowed;
    if (mWindow) {
        if (!mWindow->SetWindowed(windowed) && !windowed) TellFullScreenRefused();
        mWindow->Show();
    }
}

void PomoAppBase::TellFullScreenRefused() {
    // The player's choice stays theirs (and in settings.xml): the next start,
    // perhaps on another desktop, asks again.
    DebugPrintf("Full screen cannot be shown here (%s): the game plays in a window; the full-screen setting "
                "is kept.\n",
                mWindow->FullScreenRefusal().c_str());
}

void PomoAppBase::SetStretchScreen(bool stretch) {
    mStretchScreen = stretch;
    if (mWindow) mWindow->SetStretch(stretch);
    if (mD3DInterface) mD3DInterface->SetStretch(stretch);
}

void PomoAppBase::SetCustomCursorsEnabled(bool enabled) {
    mCustomCursorsEnabled = enabled;
    UpdateCursor();
}

void PomoAppBase::UpdateCursor() {
    if (mWindow) mWindow->SetSystemCursor(mCursorId);
}

void PomoAppBase::SetCursor(int id) {
    // A screen saver keeps the plain arrow whatever the screens ask for.
    mCursorId = mScreenSaverMode ? 0 : id;
    UpdateCursor();
}

void PomoAppBase::PushInputEvent(const InputEvent& event) {
    {
        std::lock_guard<std::mutex> lock(mInputLock);
        QueueInputLocked(event);
    }
    PlatformWakeEventWait();
}

void PomoAppBase::QueueInputLocked(const InputEvent& event) {
    if (event.type == InputEvent::WindowExposed) {
        RequestRedraw();
        return;
    }
    if (event.type == InputEvent::MouseMove && !mInputQueue.empty() &&
        mInputQueue.back().type == InputEvent::MouseMove) {
        mInputQueue.back() = event;
        return;
    }
    mInputQueue.push_back(event);
    // Backspace and Enter also come as the characters 8 and 13, as on the
    // desktops the game began on: fields that read characters alone (a
    // profile's name) edit and commit with them.
    if (event.type == InputEvent::KeyDown && (event.key == KeyCode::Backspace || event.key == KeyCode::Return)) {
        InputEvent typed;
        typed.type = InputEvent::Char;
        typed.character = static_cast<wchar_t>(event.key);
        mInputQueue.push_back(typed);
    }
}

size_t PomoAppBase::PendingInputCount() {
    std::lock_guard<std::mutex> lock(mInputLock);
    return mInputQueue.size();
}

void PomoAppBase::SetSfxVolume(double volume) {
    mSfxVolume = std::clamp(volume, 0.0, 1.0);
    if (mSoundManager) mSoundManager->SetVolume(mMuted ? 0.0 : mSfxVolume);
}

double PomoAppBase::GetMasterVolume() {
    return mSoundManager ? mSoundManager->GetMasterVolume() : 0.0;
}

void PomoAppBase::SetMasterVolume(double volume) {
    if (mSoundManager) mSoundManager->SetMasterVolume(volume);
}

double PomoAppBase::GetMusicGroupVolume(const std::wstring& group) const {
    auto it = mMusicGroupVolumes.find(group);
    return it == mMusicGroupVolumes.end() ? 0.0 : it->second;
}

void PomoAppBase::SetMusicGroupVolume(const std::wstring& group, double volume) {
    volume = std::clamp(volume, 0.0, 1.0);
    mMusicGroupVolumes[group] = volume;
    if (mMusicInterface) mMusicInterface->SetGroupVolume(group, mMuted ? 0.0 : volume);
}

void PomoAppBase::EnsureMusicGroupVolume(const std::wstring& group) {
    if (mMusicGroupVolumes.find(group) == mMusicGroupVolumes.end())
        SetMusicGroupVolume(group, 0.85);
}

void PomoAppBase::SetMuted(bool muted) {
    mMuted = muted;
    ApplyVolumes();
}

void PomoAppBase::ApplyVolumes() {
    if (mSoundManager) mSoundManager->SetVolume(mMuted ? 0.0 : mSfxVolume);
    if (mMusicInterface)
        for (const auto& [group, volume] : mMusicGroupVolumes)
            mMusicInterface->SetGroupVolume(group, mMuted ? 0.0 : volume);
}

void PomoAppBase::PlaySample(int soundId) {
    // Any id outside the sound table plays nothing, not only -1.
    if (!mSoundManager || soundId < 0 || soundId >= SoundManager::kMaxSounds) return;
    if (SoundInstance* inst = mSoundManager->GetSoundInstance(soundId)) inst->Play(false, true);
}

void PomoAppBase::PlaySampleWithPan(int soundId, int pan) {
    if (!mSoundManager || soundId < 0 || soundId >= SoundManager::kMaxSounds) return;
    if (SoundInstance* inst = mSoundManager->GetSoundInstance(soundId)) {
        inst->SetPan(pan);
        inst->Play(false, true);
    }
}

void PomoAppBase::PlayMusic(int trackId, int startPosition, bool loop) {
    if (mMusicInterface) mMusicInterface->PlayTrack(trackId, startPosition, loop);
}

TrackInterface* PomoAppBase::CreateMusicInterface() {
    // Without a device the music runs inert, as with sound off.
    if (!mAudioOutput) return new TrackInterface();
    return BassTrackInterface::Create(mAudioOutput->GetMixer(), &mMusicError).release();
}

SoundManager* PomoAppBase::CreateSoundManager() {
    return new DSoundManager(mAudioOutput ? &mAudioOutput->GetMixer() : nullptr);
}

void PomoAppBase::SetMouseSpeed(int speed) { mMouseSpeed = std::clamp(speed, 1, 20); }

std::unique_ptr<Image> PomoAppBase::GetImage(const std::string& fileName) {
    ImageData data;
    std::string error;
    if (!LoadImageData(fileName, data, &error)) {
        DebugPrintf("Picture '%s' not loaded: %s\n", fileName.c_str(), error.c_str());
        return nullptr;
    }
    if (data.mWidth <= 0 || data.mHeight <= 0) return nullptr;
    return std::unique_ptr<Image>(CreateImageFromData(std::move(data), 1, 1));
}

bool PomoAppBase::EndIfArchiveChanged() {
    if (mArchiveChangeShown) return true;
    const std::string changed = gPakInterfaceP ? gPakInterfaceP->GetChangedPak() : std::string();
    if (changed.empty()) return false;
    mArchiveChangeShown = true;
    ShowErrorBox("Cannot read the game data archive: the game data archive changed while the game ran ('" +
                 changed + "' was cut short or written over). Start the game again.");
    mExitCode = 1;
    Shutdown();
    return true;
}

void PomoAppBase::ShowErrorBox(const std::string& text) {
    if (mScreenSaverMode && !mAppDataFolder.empty()) {
        std::string old;
        ReadFileToString(mAppDataFolder + "ScrError.txt", old);
        WriteStringToFile(mAppDataFolder + "ScrError.txt", old + text + "\n");
        return;
    }
    ShowMessageBox(text, "FATAL ERROR");
}

void PomoAppBase::ShowMessageBox(const std::string& text, const std::string& caption) {
    // Without zenity or kdialog some desktops cannot show SDL's box; a player
    // who started the game from a menu would see nothing at all.
    if (PlatformMessageBox(caption, text) == MessageBoxResult::Failed) ShowMessageWindow(caption, text);
    // The box's window may have drawn through a GL context of SDL's, made
    // current over ours (which SDL does not know of when the window took GL
    // after it was made).
    if (mWindow) mWindow->MakeCurrent();
}

bool PomoAppBase::CopyToClipboard(const std::string& text) { return PlatformSetClipboardText(text); }

double PomoAppBase::GetLoadingProgress() const {
    if (mLoadingStepsTotal <= 0) return 1.0;
    return std::min(1.0, static_cast<double>(mLoadingStepsDone.load()) / mLoadingStepsTotal);
}

void PomoAppBase::ReleaseLoadingMemory() {
    D3DInterface::DropReloadablePixels();
    PlatformReleaseFreeMemory();
}

void PomoAppBase::StartLoadingThread() {
    if (mLoadingThread.joinable()) return;
    mLoadingDone = false;
    mLoadingCompletionSeen = false;
    mLoadingThread = std::thread([this] {
        // Its own alternate stack, so even its stack overflow is reported.
        PlatformPrepareThreadForCrash();
        LoadingThreadProc();
        mLoadingDone = true;
    });
}

void PomoAppBase::SafeDelete(HandleTarget* object) {
    if (!object) return;
    if (std::find(mDeleteList.begin(), mDeleteList.end(), object) == mDeleteList.end())
        mDeleteList.push_back(object);
}

bool PomoAppBase::CancelSafeDelete(HandleTarget* object) {
    auto it = std::find(mDeleteList.begin(), mDeleteList.end(), object);
    if (it == mDeleteList.end()) return false;
    mDeleteList.erase(it);
    return true;
}

bool PomoAppBase::IsSafeDeletePending(const HandleTarget* object) const {
    return std::find(mDeleteList.begin(), mDeleteList.end(), object) != mDeleteList.end();
}

void PomoAppBase::ProcessDeferredDeletes() {
    bool menuClosed = false;
    // Destructors may queue more deletes; drain until quiet.
    while (!mDeleteList.empty()) {
        std::vector<HandleTarget*> batch;
        batch.swap(mDeleteList);
        for (HandleTarget* object : batch) {
            menuClosed = menuClosed || dynamic_cast<Menu*>(object) != nullptr;
            delete object;
        }
    }
    if (!menuClosed) return;
    // The screen's widgets, scripts and texts are freed: the heap gives
    // back the pages they leave empty, which it would keep otherwise.
    PlatformReleaseFreeMemory();
    if (mD3DInterface && mClock) mClosedScreenPictures.ScreenClosed(mD3DInterface->GetPresentCount(), mClock->NowMicros());
}

void PomoAppBase::ReleaseClosedScreenPictures(uint64_t nowMicros) {
    if (!mD3DInterface || !mClosedScreenPictures.IsDue(mD3DInterface->GetPresentCount(), nowMicros)) return;
    if (mClosedScreenPictures.Release(gAssetManager->GetLoadedImages()) > 0) PlatformReleaseFreeMemory();
}

AppSettings PomoAppBase::CurrentSettings() const {
    AppSettings s;
    s.version = mProductVersion;
    s.sfxVolume = mSfxVolume;
    s.musicGroupVolumes = mMusicGroupVolumes;
    s.mouseSpeed = mMouseSpeed;
    s.windowed = mIsWindowed;
    s.vsync = mVSyncEnabled;
    s.customCursors = mCustomCursorsEnabled;
    s.stretch = mStretchScreen;
    return s;
}

void PomoAppBase::ReadSettings() {
    const std::string marker = GetSettingsPath() + kSettingsUnsavedSuffix;
    if (PlatformFileExists(marker)) {
        mSettingsLostAtLastExit = true;
        if (ReadUserFile(marker, mSettingsLostReason, nullptr) != UserFileStatus::Ok) mSettingsLostReason.clear();
        if (mSettingsLostReason.size() > kMaxLostReason) mSettingsLostReason.resize(kMaxLostReason);
        PlatformRemoveFile(marker);
    }
    // What the file lacks keeps the value the application started with.
    AppSettings s = CurrentSettings();
    std::string error;
    if (!ReadSettingsFile(GetSettingsPath(), s, &error)) {
        // Kept for the player, like a damaged profiles.xml; the defaults are
        // saved at exit only when it is out of the way.
        std::string aside = KeepDamagedFileAside(GetSettingsPath());
        mSettingsSaveBlocked = aside.empty();
        DebugPrintf("settings.xml ignored: %s; %s\n", error.c_str(),
                    aside.empty() ? "it could not be moved aside, so it is not saved over"
                                  : ("kept as " + aside).c_str());
    }
    mSfxVolume = s.sfxVolume;
    mMusicGroupVolumes = s.musicGroupVolumes;
    mMouseSpeed = s.mouseSpeed;
    mIsWindowed = s.windowed;
    mVSyncEnabled = s.vsync;
    mCustomCursorsEnabled = s.customCursors;
    mStretchScreen = s.stretch;
}

bool PomoAppBase::WriteSettings(std::string* reason) {
    if (mAppDataFolder.empty() || mSettingsSaveBlocked) {
        if (reason)
            *reason = mSettingsSaveBlocked ? "the damaged settings.xml could not be kept aside" : "no user data folder";
        return false;
    }
    return WriteSettingsFile(GetSettingsPath(), CurrentSettings(), reason);
}

bool PomoAppBase::WereSettingsLostAtLastExit(std::string* reason) const {
    if (reason) *reason = mSettingsLostReason;
    return mSettingsLostAtLastExit;
}

void PomoAppBase::HideApp() {
    if (mWindow) mWindow->Hide();
    if (mMusicInterface) mMusicInterface->SetMasterVolume(0.0);
}

void PomoAppBase::GetSessionInfo(std::string& out) {
    out = StrFormat("%s %s, %s, %lld updates, %lld frames\n", mProductName.c_str(),
                    mProductVersion.c_str(), mIsWindowed ? "windowed" : "full screen",
                    static_cast<long long>(mUpdateCount.load()), static_cast<long long>(mFrameCount.load()));
}

std::string PomoAppBase::GetProductVersion(const std::string& path) {
    // Programs here carry no version resource; our own version stands for it.
    return mProductVersion;
}
