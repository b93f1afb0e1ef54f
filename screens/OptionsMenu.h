#pragma once
#include <string>

#include "widgets/DialogMenu.h"
#include "widgets/Listeners.h"

class Checkbox;
class ScriptCommandRegistry;
class Slider;

// The settings dialog ("options_menu", from the main menu) and the pause
// dialog ("pause_menu", from a puzzle, with the ways out of it). Three
// sliders (music, sound effects, mouse speed) made here and six boxes that
// its script places with "add-slider" and "add-checkbox". The volumes, the
// mouse speed and the player's flags change at once; the window mode,
// stretching and the cursors when a button of the dialog is released. Every
// way out saves the profiles and settings.xml first.
class OptionsMenu : public DialogMenu, public SliderListener, public CheckboxListener {
public:
    enum BoxType { Tips, Cursors, Swap, Numbers, Full, Stretch, kBoxTypes };

    OptionsMenu(const std::wstring& gameName, const std::wstring& caller, int mode, int set);

    // "add-slider" and "add-checkbox", for this class's scripts.
    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    // By "type" at ("x", "y"); an unknown type does nothing.
    void AddSlider(const std::wstring& type, int x, int y);
    void AddCheckbox(const std::wstring& type, int x, int y);

    void Draw(Graphics* g) override;
    // "close", "credits", "main_menu", "desk", "restart".
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void ButtonDepress(int id) override;
    void SliderValueChanged(Slider* slider, double value) override;
    void SliderReleased(Slider* slider) override;
    void CheckboxChecked(int id, bool checked) override;

    bool IsPause() const { return mPause; }
    Checkbox* GetBox(BoxType type) const { return mBoxes[type]; }
    Slider* mMusicSlider = nullptr;
    Slider* mSfxSlider = nullptr;
    Slider* mMouseSlider = nullptr;

private:
    // The slider's value for a mouse speed of 1 to 20.
    static double MouseSpeedValue(int speed);
    // Shows what only full screen offers: the mouse slider and the stretch box.
    void ShowFullScreenControls(bool fullScreen);
    bool IsStretchPossible() const;
    // The profiles and settings.xml, before any way out.
    void SaveAll();

    Checkbox* mBoxes[kBoxTypes] = {};
    std::wstring mGameName;
    int mMode = 0;
    int mSet = 0;
    bool mPause = false;
    bool mSfxDragged = false;  // the sound slider moved in the drag going on
};
