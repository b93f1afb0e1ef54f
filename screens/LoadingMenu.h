#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/WeakHandle.h"
#include "data/AssetManager.h"
#include "widgets/Menu.h"

class DynamicWidget;
class ImageSurface;

// A screen between a choice and the screen that shows it: it loads that
// screen's asset group on a worker while "set_loading_menu" plays over a
// picture of the previous screen (the object "screenshot"). Once the worker
// is done and the script has signalled "intro_finished" (its veil covering
// the screen from then on), the next screen opens. Leaving early stops the worker and waits for
// it; so does destruction.
class LoadingMenu : public Menu {
public:
    explicit LoadingMenu(std::string group);
    ~LoadingMenu() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    Menu* CreateTransition() override;
    // "intro_finished".
    void AnimationMessage(int id, const std::wstring& message) override;

    bool IsLoaded() const { return mLoaded; }
    bool IsIntroFinished() const { return mIntroFinished; }

protected:
    // The asset set whose group is loaded.
    virtual std::wstring AssetSetName() const = 0;
    // On the worker: loads the list; returns soon once `abort` is true.
    virtual void LoadAssets(AssetList& list, const std::atomic<bool>& abort);
    // Both done: open what follows.
    virtual void HandOff() = 0;

private:
    void StopWorker();

    std::string mGroup;
    AssetList mAssetList;
    std::atomic<bool> mLoaded{true};
    std::atomic<bool> mAbortLoading{false};
    bool mIntroFinished = false;
    bool mHandedOff = false;
    std::unique_ptr<ImageSurface> mOldScreen;
    WeakHandle<DynamicWidget> mScreenshot;
    std::thread mWorker;
};

// The chosen set's assets, then its puzzles.
class SetLoadingMenu : public LoadingMenu {
public:
    // The set is the player's current one; the arguments are the callers'.
    SetLoadingMenu(int, int);

protected:
    std::wstring AssetSetName() const override;
    void HandOff() override;
};

// The play screen's assets, then the puzzle, with the next of the set's two
// music entries (the first story set keeps its first); an early story
// puzzle may show its card of tips first (below "max_intro_set" and
// "max_intro_puzzle", unless the player disabled tips).
class PuzzleLoadingMenu : public LoadingMenu {
public:
    PuzzleLoadingMenu(const std::wstring& gameName, int mode, int set, int puzzle, bool mayShowIntro);

    // Entry `index` of a music list, the last for an index past it, "" for none.
    static std::wstring MusicEntry(const std::vector<std::wstring>& names, int index);
    bool ShowsIntro() const;

protected:
    std::wstring AssetSetName() const override;
    void HandOff() override;

private:
    std::wstring mGameName;
    int mMode = 0;
    int mSet = 0;
    int mPuzzle = 0;
    bool mMayShowIntro = false;
};
