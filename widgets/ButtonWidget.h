#pragma once
#include <memory>
#include <string>

#include "core/Color.h"
#include "data/ScriptValue.h"
#include "widgets/DynamicWidget.h"

class AnimationWidget;
class Font;

// A button: an image whose cels show its states (normal, over, down and, when
// present, disabled), and a label drawn in a font per state. A name that is
// not an image but an animation gives the button a scripted look instead: a
// child playing that animation, which the pointer passes through. Presses are
// reported to its ButtonListener: ButtonPress when pressed, ButtonDepress
// when released over it (or anywhere, without depress-only-when-over; at the
// press itself with fast click), ButtonMouseEnter/Leave when hovered.
class ButtonWidget : public DynamicWidget {
public:
    enum State { Normal = 0, Over = 1, Down = 2, Disabled = 3, StateCount = 4 };

    // `name` names the button's image (its size becomes the button's); the
    // label is a localization key when `localize` is set.
    ButtonWidget(float x, float y, const std::wstring& name, const std::wstring& label = L"",
                 bool localize = false);
    ~ButtonWidget() override;

    void SetLabel(const std::wstring& label, bool localize);
    // The text shown (localized when asked; an absent key shows as empty).
    std::wstring GetDisplayLabel() const;
    // Keeps a duplicate of the font for the state; states without a font of
    // their own use the normal state's.
    void SetStateFont(Font* font, int state);
    void SetFont(Font* font) { SetStateFont(font, Normal); }
    Font* GetStateFont(int state) const;
    // Takes the image and sets the state-cel flags from its cel count.
    void SetButtonImage(Image* image);
    // Width and height of the label in the normal font, wrapped at the wrap
    // width (unlimited when 0 or less).
    Point MeasureLabel() const;
    void SizeToLabel();
    int GetState() const;
    bool IsPressed() const { return mPressed; }

    // The child playing the button's animation, null when it has none.
    AnimationWidget* GetAnimation() const;

    // Script variables the button carries for whoever owns it (a map's set
    // button its "set_name"); scripts read them as the button's properties,
    // after the widget's own.
    void SetVariable(const std::wstring& name, const ScriptValue& value) { mVariables[name] = value; }
    ScriptValue GetVariable(const std::wstring& name) const;
    bool GetScriptProperty(const std::wstring& name, ScriptValue& out) override;

    void Update() override;
    void Draw(Graphics* g) override;
    bool HitTest(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUpAt(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    std::wstring mTypeName;
    std::wstring mLabel;
    bool mLocalize = false;
    bool mFastClick = false;
    bool mDepressOnlyWhenOver = true;
    int mJustification = 0;  // -1 left, 0 centre, 1 right
    int mWrapWidth = -1;     // 0 or less: no wrapping
    int mLabelOffsetX = 0;
    int mLabelOffsetY = 0;
    int mPressedLabelOffsetX = 0;
    int mPressedLabelOffsetY = 0;
    Color mLabelColor = Color::White;
    bool mPlaySounds = true;
    int mPressSound = -1;
    int mHoverSound = -1;
    // Set when the image has at least three cels: over and down have cels.
    bool mHasOverCel = false;
    bool mHasDownCel = false;

protected:
    // The cel of the image that shows a state.
    virtual int StateCel(int state) const;
    void DrawLabel(Graphics* g);
    void PlaySound(int id) const;

    std::unique_ptr<Font> mStateFonts[StateCount];
    VariableMap mVariables;
    WeakHandle<Widget> mAnimation;
    bool mPressed = false;  // pressed on this button, not yet released
};
