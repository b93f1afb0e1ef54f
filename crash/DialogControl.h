#pragma once
#include <memory>
#include <string>

#include "core/Geometry.h"
#include "crash/DialogCanvas.h"
#include "platform/InputEvent.h"

// What an event asked of a window: nothing, or a command (a button's label,
// or the close command: the window's close button or Escape).
struct DialogCommand {
    bool given = false;
    std::string name;
    static DialogCommand Of(const std::string& name) { return {true, name}; }
};
inline const std::string kCloseCommand = "close";

// One control of a reporter window. Events reach it in the window's client
// coordinates; each handler returns whether what it shows changed.
class DialogControl {
public:
    explicit DialogControl(const Rect& bounds) : mBounds(bounds) {}
    virtual ~DialogControl() = default;

    const Rect& Bounds() const { return mBounds; }
    virtual bool CanFocus() const { return false; }
    // Whether the mouse reaches it (a disabled button is only drawn).
    virtual bool TakesMouse() const { return CanFocus(); }
    virtual void Paint(DialogCanvas& canvas, bool focused) = 0;
    virtual bool OnMouseDown(const InputEvent&) { return false; }
    virtual bool OnMouseMove(const InputEvent&) { return false; }
    virtual bool OnMouseUp(const InputEvent&, DialogCommand&) { return false; }
    virtual bool OnWheel(int) { return false; }
    virtual bool OnKey(const InputEvent&, DialogCommand&) { return false; }
    virtual bool OnChar(char32_t) { return false; }

private:
    Rect mBounds;
};

// A push button: clicked when the mouse goes down and up on it, or with
// Enter or Space while it has the focus. A disabled one is drawn greyed and
// takes neither.
class DialogButton : public DialogControl {
public:
    DialogButton(const Rect& bounds, std::shared_ptr<DialogFace> face, const std::string& label, bool enabled);

    const std::string& Label() const { return mLabel; }
    bool Enabled() const { return mEnabled; }
    bool CanFocus() const override { return mEnabled; }
    void Paint(DialogCanvas& canvas, bool focused) override;
    bool OnMouseDown(const InputEvent& e) override;
    bool OnMouseMove(const InputEvent& e) override;
    bool OnMouseUp(const InputEvent& e, DialogCommand& command) override;
    bool OnKey(const InputEvent& e, DialogCommand& command) override;

private:
    std::shared_ptr<DialogFace> mFace;
    std::string mLabel;
    std::u32string mText;
    bool mEnabled;
    bool mHeld = false;     // the mouse went down on it
    bool mPressed = false;  // drawn pushed in: held and the mouse over it
};

// Code points of UTF-8 text, and back.
std::u32string DialogDecode(const std::string& utf8);
std::string DialogEncode(const std::u32string& text);
