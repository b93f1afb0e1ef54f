#include "screens/LoadingMenu.h"

#include <algorithm>

#include "app/GameApp.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/SetStats.h"
#include "render/Image.h"
#include "data/Constants.h"
#include "screens/GameScreens.h"
#include "screens/LevelIntroMenu.h"
#include "screens/MyPlayScreen.h"
#include "screens/ScreenTransition.h"

namespace {

void PlayMusic(AnimationWidget& menu, const std::wstring& name) {
    menu.SetVariable(L"c_music", ScriptValue(name));
    menu.InsertAnimationByName(L"playmusictutorial");
}

}  // namespace

LoadingMenu::LoadingMenu(std::string group) : Menu(L"set_loading_menu"), mGroup(std::move(group)) {
    AnimationListener::WatchWidget(this);
    if (gAppServices) mOldScreen.reset(gAppServices->CopyScreenImage());
    if (mOldScreen) {
        auto* shot = new DynamicWidget(0.0f, 0.0f, mOldScreen.get(), 1.0f);
        mScreenshot = shot;
        AddNamedObject(L"screenshot", shot);
    }
}

LoadingMenu::~LoadingMenu() { StopWorker(); }

void LoadingMenu::StopWorker() {
    mAbortLoading = true;
    if (mWorker.joinable()) mWorker.join();
}

void LoadingMenu::LoadAssets(AssetList& list, const std::atomic<bool>& abort) {
    if (gAssetManager) gAssetManager->LoadAssetList("", &list, &abort, mGroup);
}

void LoadingMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (mWorker.joinable() || mHandedOff) return;
    if (gAssetManager) gAssetManager->PrepareAssetList(AssetSetName(), mAssetList);
    mLoaded = false;
    mAbortLoading = false;
    GameApp* app = gGameApp;
    mWorker = std::thread([this, app] {
        if (app) ++app->mLoaderRunning;
        LoadAssets(mAssetList, mAbortLoading);
        if (app) --app->mLoaderRunning;
        mLoaded = true;
    });
}

void LoadingMenu::RemovedFromManager(WidgetManager* manager) {
    StopWorker();
    Menu::RemovedFromManager(manager);
}

void LoadingMenu::AnimationMessage(int, const std::wstring& message) {
    if (message != L"intro_finished" || mIntroFinished) return;
    mIntroFinished = true;
    // The object showing the old picture goes before the picture does.
    if (DynamicWidget* shot = mScreenshot.Get()) {
        shot->SetImage(nullptr);
        shot->SetVisible(false);
        shot->RemoveSelf();
    }
    mOldScreen.reset();
    MarkDirty();
}

void LoadingMenu::Update() {
    Menu::Update();
    if (mHandedOff || !mLoaded || !mIntroFinished || !IsInManager()) return;
    if (mWorker.joinable()) mWorker.join();
    if (gGameApp) gGameApp->ReleaseLoadingMemory();
    mHandedOff = true;
    HandOff();
}

Menu* LoadingMenu::CreateTransition() { return new ScreenTransition(this, L"map_to_select_transition"); }

// --- SetLoadingMenu ---------------------------------------------------------------------------------

SetLoadingMenu::SetLoadingMenu(int, int) : LoadingMenu("SetAssets") {}

std::wstring SetLoadingMenu::AssetSetName() const {
    if (!gPlayerState) return {};
    const SetRecord* record = SetStats::FindSet(gPlayerState->mGameName, gPlayerState->mCurrentMode,
                                            gPlayerState->mCurrentCountry);
    if (!record) return {};
    return record->mBackground.empty() ? record->mName : record->mBackground;
}

void SetLoadingMenu::HandOff() {
    if (gPlayerState) {
        const SetRecord* record = SetStats::FindSet(gPlayerState->mGameName, gPlayerState->mCurrentMode,
                                                gPlayerState->mCurrentCountry);
        PlayMusic(*this, record ? PuzzleLoadingMenu::MusicEntry(record->mMusicNames, gPlayerState->mCurrentTrack)
                                : std::wstring());
        if (gGameScreens.mPuzzleSelect)
            ShowGameScreen(gGameScreens.mPuzzleSelect(gPlayerState->mGameName, gPlayerState->mCurrentMode,
                                                      gPlayerState->mCurrentCountry, -1, false));
    }
    RemoveSelf();
}

// --- PuzzleLoadingMenu ------------------------------------------------------------------------------

PuzzleLoadingMenu::PuzzleLoadingMenu(const std::wstring& gameName, int mode, int set, int puzzle, bool mayShowIntro)
    : LoadingMenu("PlayAssets"), mGameName(gameName), mMode(mode), mSet(set), mPuzzle(puzzle),
      mMayShowIntro(mayShowIntro) {
    PlayerProgress::EnterPuzzle(gameName, mode);
}

std::wstring PuzzleLoadingMenu::MusicEntry(const std::vector<std::wstring>& names, int index) {
    if (names.empty()) return {};
    return names[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(names.size()) - 1))];
}

std::wstring PuzzleLoadingMenu::AssetSetName() const { return gPlayerState ? gPlayerState->mDevice : L"ipad"; }

bool PuzzleLoadingMenu::ShowsIntro() const {
    const int maxSet = GetConstantInt(L"max_intro_set"), maxPuzzle = GetConstantInt(L"max_intro_puzzle");
    const bool early = mSet < maxSet || (mSet == maxSet && mPuzzle < maxPuzzle);
    return mMode == 0 && early && mMayShowIntro && !(gPlayerState && gPlayerState->mDisableTips);
}

void PuzzleLoadingMenu::HandOff() {
    if (ShowsIntro()) {
        // The card opens this puzzle's loading again, without a card.
        ShowMenu(new LevelIntroMenu(mGameName, mMode, mSet, mPuzzle));
        RemoveSelf();
        return;
    }
    int track = 0;
    if (gPlayerState) {
        gPlayerState->mCurrentTrack = (gPlayerState->mCurrentTrack + 1) % 2;
        track = gPlayerState->mCurrentTrack;
    }
    const SetRecord* record = SetStats::FindSet(mGameName, mMode, mSet);
    PlayMusic(*this, record ? MusicEntry(record->mMusicNames, mMode == 0 && mSet == 0 ? 0 : track) : std::wstring());
    ShowMenu(new MyPlayScreen(PuzzleRef{mGameName, mMode, mSet, mPuzzle}));
    RemoveSelf();
}
