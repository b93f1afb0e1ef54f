#pragma once
#include <map>
#include <string>

#include "widgets/AnimationWidget.h"

class Image;

// A screen or dialog: a scripted widget over the window (or a centred box)
// that the application opens as a dialog. This is the part the lower layers
// rely on: the active and paused state, modality and the counted sound loops.
class Menu : public AnimationWidget {
public:
    // No animation. With an image the menu takes its size (centred in the
    // window when asked); without one it covers the window. A popup sorts
    // above ordinary screens.
    Menu(Image* image, bool popup, bool centre);
    // A whole-window menu playing the named animation.
    explicit Menu(const std::wstring& animationName);
    ~Menu() override;

    // --- Widget ---------------------------------------------------------------
    bool IsPaused() override;
    void GotFocus() override;
    void MouseDown(int x, int y, int clickCount) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    // Closes through the application's dialog registry.
    void RemoveSelf() override;
    bool IsModal() override { return mModal; }
    void OnAddedToApp() override {}

    // --- Menu -------------------------------------------------------------------
    virtual void SetActive(bool active);
    bool IsActive() const { return mActive; }
    // Returns the old value; the paused state follows a change.
    bool SetPauseWhenCovered(bool pause);
    bool GetPauseWhenCovered() const { return mPauseWhenCovered; }
    // Counted looping sounds: each start adds one, each stop takes one; an id
    // the menu does not count is ignored.
    void PlaySound(int soundId, double volume);
    void StopSound(int soundId, double fadeTime);
    void StopAllSounds(double fadeTime);
    int GetSoundCount(int soundId) const;

    bool mUseTransition = false;
    bool mModal = true;
    bool mPaused = false;

protected:
    void UpdatePausedState();

    bool mActive = false;
    int mRemovedInputFlag = 0;
    std::map<int, int> mSoundCounts;
    bool mPauseWhenCovered = true;

private:
    void InitMenu();
};
