#pragma once
#include <map>
#include <memory>
#include <string>

#include "widgets/AnimationWidget.h"

class ButtonWidget;
class Image;
class ImageSurface;

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
    // Keeps the last 8 characters typed and hands them to the application's
    // developer codes each time there are 8.
    void KeyChar(wchar_t character) override;
    void MouseDown(int x, int y, int clickCount) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    // Closes through the application's dialog registry. A menu that has
    // already left the tree is closed: a second close does nothing.
    void RemoveSelf() override;
    bool IsModal() override { return mModal; }
    void OnAddedToApp() override {}

    // --- Menu -------------------------------------------------------------------
    virtual void SetActive(bool active);
    // The menu that brings this one in (the application's screen transition).
    virtual Menu* CreateTransition();
    const std::wstring& GetTypedCode() const { return mTypedCode; }
    // A picture of the screen: the last frame, or (with `redraw`) the widget
    // tree drawn afresh into a surface of the menu's size.
    void CaptureScreenshot(bool redraw);
    ImageSurface* GetScreenshot() const { return mScreenshot.get(); }
    ButtonWidget* AddButton(int x, int y, const std::wstring& buttonName, const std::wstring& label,
                            bool localize);
    // The game's menu button centred on (x, y); null without a game.
    ButtonWidget* AddMenuButton(int x, int y, const std::wstring& labelKey);
    // Has been in the tree and left it (closed).
    bool HasClosed() const { return mClosed; }
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
    std::wstring mTypedCode;
    std::unique_ptr<ImageSurface> mScreenshot;
    bool mClosed = false;

private:
    void InitMenu();
};

// How every screen opens the next one: as a dialog, through its transition
// when the menu asks for one (ShowMenuWithTransition always).
void ShowMenu(Menu* menu);
void ShowMenuWithTransition(Menu* menu);
