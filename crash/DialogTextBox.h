#pragma once
#include <string>
#include <vector>

#include "crash/DialogControl.h"

// A multi-line text box: lines wrapped at word ends (a word wider than the
// box anywhere), a vertical scroll bar (arrows, track, a thumb to drag), the
// mouse wheel and the keys scroll it. An editable one has a caret where
// typing, Backspace, Delete and Enter work, and keeps at most `maxLength`
// characters. Without border and scroll bar it is a plain label.
class DialogTextBox : public DialogControl {
public:
    struct Options {
        bool editable = false;
        bool framed = true;  // border, white ground, scroll bar; else a label
        size_t maxLength = std::u32string::npos;
    };
    static constexpr int kBarWidth = 17;
    static constexpr int kWheelLines = 3;

    DialogTextBox(const Rect& bounds, std::shared_ptr<DialogFace> face, const Options& options);

    // Replaces the text ("\r\n" and "\n" both end a line); the view goes to the
    // top, the caret to the end.
    void SetText(const std::string& utf8);
    std::string Text() const { return DialogEncode(mText); }
    size_t Length() const { return mText.size(); }
    size_t Caret() const { return mCaret; }

    // Editing at the caret; false when nothing changed (read-only, full).
    // What does not fit under the limit is left out.
    bool Insert(std::u32string_view text);
    bool Backspace();
    bool DeleteForward();

    int LineCount() const { return static_cast<int>(mLines.size()); }
    int VisibleLines() const;
    int TopLine() const { return mTop; }
    // The caret's line, for keeping it in view.
    int CaretLine() const;
    // Clamped to the lines there are; false when the view did not move.
    bool ScrollTo(int line);
    bool ScrollBy(int lines) { return ScrollTo(mTop + lines); }

    // The parts of the scroll bar, in window coordinates.
    Rect UpArrow() const;
    Rect DownArrow() const;
    Rect Track() const;
    Rect Thumb() const;
    Rect TextArea() const;

    bool CanFocus() const override { return mOptions.framed; }
    void Paint(DialogCanvas& canvas, bool focused) override;
    bool OnMouseDown(const InputEvent& e) override;
    bool OnMouseMove(const InputEvent& e) override;
    bool OnMouseUp(const InputEvent& e, DialogCommand& command) override;
    bool OnWheel(int steps) override;
    bool OnKey(const InputEvent& e, DialogCommand& command) override;
    bool OnChar(char32_t c) override;

private:
    struct Line {
        size_t start = 0;
        size_t length = 0;  // without the line feed that may end it
    };
    void Layout();
    bool MoveCaret(size_t to);
    void KeepCaretInView();
    size_t IndexAt(int line, int x) const;
    int CaretX(size_t index) const;
    bool MoveCaretByLines(int lines);
    bool ScrollKey(int key);

    std::shared_ptr<DialogFace> mFace;
    Options mOptions;
    std::u32string mText;
    std::vector<Line> mLines;
    size_t mCaret = 0;
    int mTop = 0;
    int mDragGrab = -1;  // dragging the thumb: where on it the mouse holds it
};
