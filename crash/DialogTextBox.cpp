#include "crash/DialogTextBox.h"

#include <algorithm>

#include "platform/SurfaceWindow.h"

namespace {
constexpr uint32_t kBorder = 0xFF7A7A7A;
constexpr int kPadX = 3;
constexpr int kPadY = 1;

// A small triangle pointing up or down, centred in the rectangle.
void Arrow(DialogCanvas& canvas, const Rect& r, bool up, uint32_t color) {
    int cx = r.mX + r.mWidth / 2;
    int top = r.mY + r.mHeight / 2 - 2;
    for (int row = 0; row < 4; ++row) {
        int half = up ? row : 3 - row;
        canvas.Fill(Rect(cx - half, top + row, 2 * half + 1, 1), color);
    }
}
}  // namespace

DialogTextBox::DialogTextBox(const Rect& bounds, std::shared_ptr<DialogFace> face, const Options& options)
    : DialogControl(bounds), mFace(std::move(face)), mOptions(options) {
    Layout();
}

void DialogTextBox::SetText(const std::string& utf8) {
    mText.clear();
    for (char32_t c : DialogDecode(utf8))
        if (c != U'\r') mText += c;
    if (mText.size() > mOptions.maxLength) mText.resize(mOptions.maxLength);
    mCaret = mText.size();
    mTop = 0;
    Layout();
}

bool DialogTextBox::Insert(std::u32string_view text) {
    if (!mOptions.editable || mText.size() >= mOptions.maxLength) return false;
    size_t take = std::min(text.size(), mOptions.maxLength - mText.size());
    if (take == 0) return false;
    mText.insert(mCaret, text.substr(0, take));
    mCaret += take;
    Layout();
    KeepCaretInView();
    return true;
}

bool DialogTextBox::Backspace() {
    if (!mOptions.editable || mCaret == 0) return false;
    mText.erase(--mCaret, 1);
    Layout();
    KeepCaretInView();
    return true;
}

bool DialogTextBox::DeleteForward() {
    if (!mOptions.editable || mCaret >= mText.size()) return false;
    mText.erase(mCaret, 1);
    Layout();
    KeepCaretInView();
    return true;
}

void DialogTextBox::Layout() {
    mLines.clear();
    const int width = TextArea().mWidth;
    size_t start = 0;
    for (;;) {
        size_t end = mText.find(U'\n', start);
        if (end == std::u32string::npos) end = mText.size();
        size_t lineStart = start;
        size_t lastBreak = std::u32string::npos;  // just after the last blank
        int x = 0;
        for (size_t i = start; i < end; ++i) {
            int advance = mFace->Advance(mText[i]);
            // Blanks may hang past the edge; anything else starts a new line.
            if (x + advance > width && i > lineStart && mText[i] != U' ') {
                size_t cut = lastBreak != std::u32string::npos && lastBreak > lineStart ? lastBreak : i;
                mLines.push_back({lineStart, cut - lineStart});
                lineStart = cut;
                lastBreak = std::u32string::npos;
                x = DialogTextWidth(*mFace, std::u32string_view(mText).substr(cut, i - cut));
            }
            x += advance;
            if (mText[i] == U' ') lastBreak = i + 1;
        }
        mLines.push_back({lineStart, end - lineStart});
        if (end == mText.size()) break;
        start = end + 1;
    }
    ScrollTo(mTop);
}

int DialogTextBox::VisibleLines() const { return std::max(1, TextArea().mHeight / mFace->LineHeight()); }

int DialogTextBox::CaretLine() const {
    auto after = std::upper_bound(mLines.begin(), mLines.end(), mCaret,
                                  [](size_t index, const Line& line) { return index < line.start; });
    return static_cast<int>(after - mLines.begin()) - 1;
}

bool DialogTextBox::ScrollTo(int line) {
    int top = std::clamp(line, 0, std::max(0, LineCount() - VisibleLines()));
    if (top == mTop) return false;
    mTop = top;
    return true;
}

void DialogTextBox::KeepCaretInView() {
    int line = CaretLine();
    if (line < mTop) ScrollTo(line);
    else if (line >= mTop + VisibleLines()) ScrollTo(line - VisibleLines() + 1);
}

bool DialogTextBox::MoveCaret(size_t to) {
    to = std::min(to, mText.size());
    int top = mTop;
    bool moved = to != mCaret;
    mCaret = to;
    KeepCaretInView();
    return moved || top != mTop;
}

int DialogTextBox::CaretX(size_t index) const {
    const Line& line = mLines[CaretLine()];
    return DialogTextWidth(*mFace, std::u32string_view(mText).substr(line.start, index - line.start));
}

size_t DialogTextBox::IndexAt(int line, int x) const {
    const Line& l = mLines[std::clamp(line, 0, LineCount() - 1)];
    int pen = 0;
    for (size_t i = 0; i < l.length; ++i) {
        int advance = mFace->Advance(mText[l.start + i]);
        if (x < pen + advance / 2) return l.start + i;
        pen += advance;
    }
    return l.start + l.length;
}

bool DialogTextBox::MoveCaretByLines(int lines) {
    int line = CaretLine() + lines;
    if (line < 0) return MoveCaret(0);
    if (line >= LineCount()) return MoveCaret(mText.size());
    return MoveCaret(IndexAt(line, CaretX(mCaret)));
}

Rect DialogTextBox::TextArea() const {
    const Rect& b = Bounds();
    if (!mOptions.framed) return b;
    return Rect(b.mX + 1 + kPadX, b.mY + 1 + kPadY, b.mWidth - 2 - kBarWidth - 2 * kPadX, b.mHeight - 2 - 2 * kPadY);
}

Rect DialogTextBox::UpArrow() const {
    const Rect& b = Bounds();
    return Rect(b.mX + b.mWidth - 1 - kBarWidth, b.mY + 1, kBarWidth, kBarWidth);
}

Rect DialogTextBox::DownArrow() const {
    const Rect& b = Bounds();
    return Rect(b.mX + b.mWidth - 1 - kBarWidth, b.mY + b.mHeight - 1 - kBarWidth, kBarWidth, kBarWidth);
}

Rect DialogTextBox::Track() const {
    Rect up = UpArrow();
    return Rect(up.mX, up.mY + kBarWidth, kBarWidth, DownArrow().mY - up.mY - kBarWidth);
}

Rect DialogTextBox::Thumb() const {
    Rect track = Track();
    int range = LineCount() - VisibleLines();
    if (range <= 0) return Rect(track.mX, track.mY, 0, 0);
    int height = std::max(10, track.mHeight * VisibleLines() / LineCount());
    return Rect(track.mX, track.mY + (track.mHeight - height) * mTop / range, kBarWidth, height);
}

void DialogTextBox::Paint(DialogCanvas& canvas, bool focused) {
    using namespace DialogColor;
    const Rect& b = Bounds();
    canvas.Fill(b, mOptions.framed ? kField : kFace);
    Rect area = TextArea();
    canvas.SetClip(area);
    const int lineHeight = mFace->LineHeight();
    for (int i = mTop, y = area.mY; i < LineCount() && y < area.mY + area.mHeight; ++i, y += lineHeight) {
        const Line& line = mLines[i];
        canvas.Text(*mFace, std::u32string_view(mText).substr(line.start, line.length), area.mX,
                    y + mFace->Ascent(), kText);
    }
    if (mOptions.editable && focused) {
        int line = CaretLine();
        if (line >= mTop && line < mTop + VisibleLines())
            canvas.Fill(Rect(area.mX + CaretX(mCaret), area.mY + (line - mTop) * lineHeight, 1, lineHeight), kText);
    }
    canvas.ClearClip();
    if (!mOptions.framed) return;
    canvas.Frame(b, focused ? kFocus : kBorder);
    bool scrolls = LineCount() > VisibleLines();
    canvas.Fill(Track(), kTrack);
    for (bool up : {true, false}) {
        Rect r = up ? UpArrow() : DownArrow();
        canvas.Fill(r, kFace);
        canvas.Bevel(r, false);
        Arrow(canvas, r, up, scrolls ? kText : kGreyText);
    }
    if (scrolls) {
        canvas.Fill(Thumb(), kFace);
        canvas.Bevel(Thumb(), false);
    }
}

bool DialogTextBox::OnMouseDown(const InputEvent& e) {
    if (e.button != MouseButton::Left) return false;
    if (mOptions.framed) {
        if (UpArrow().Contains(e.x, e.y)) return ScrollBy(-1);
        if (DownArrow().Contains(e.x, e.y)) return ScrollBy(1);
        Rect thumb = Thumb();
        if (thumb.Contains(e.x, e.y)) {
            mDragGrab = e.y - thumb.mY;
            return false;
        }
        if (Track().Contains(e.x, e.y)) return ScrollBy(e.y < thumb.mY ? -VisibleLines() : VisibleLines());
    }
    Rect area = TextArea();
    if (!mOptions.editable || !area.Contains(e.x, e.y)) return false;
    return MoveCaret(IndexAt(mTop + (e.y - area.mY) / mFace->LineHeight(), e.x - area.mX));
}

bool DialogTextBox::OnMouseMove(const InputEvent& e) {
    if (mDragGrab < 0) return false;
    Rect track = Track();
    Rect thumb = Thumb();
    int room = track.mHeight - thumb.mHeight;
    if (room <= 0) return false;
    int range = LineCount() - VisibleLines();
    int offset = e.y - mDragGrab - track.mY;
    return ScrollTo((offset * range + room / 2) / room);
}

bool DialogTextBox::OnMouseUp(const InputEvent&, DialogCommand&) {
    mDragGrab = -1;
    return false;
}

bool DialogTextBox::OnWheel(int steps) { return ScrollBy(-steps * kWheelLines); }

bool DialogTextBox::ScrollKey(int key) {
    switch (key) {
    case KeyCode::Up: return ScrollBy(-1);
    case KeyCode::Down: return ScrollBy(1);
    case KeyCode::PageUp: return ScrollBy(-VisibleLines());
    case KeyCode::PageDown: return ScrollBy(VisibleLines());
    case KeyCode::Home: return ScrollTo(0);
    case KeyCode::End: return ScrollTo(LineCount());
    default: return false;
    }
}

bool DialogTextBox::OnKey(const InputEvent& e, DialogCommand&) {
    if (!mOptions.editable) return ScrollKey(e.key);
    const Line& line = mLines[CaretLine()];
    switch (e.key) {
    case KeyCode::Left: return mCaret > 0 && MoveCaret(mCaret - 1);
    case KeyCode::Right: return MoveCaret(mCaret + 1);
    case KeyCode::Home: return MoveCaret(e.ctrl ? 0 : line.start);
    case KeyCode::End: return MoveCaret(e.ctrl ? mText.size() : line.start + line.length);
    case KeyCode::Up: return MoveCaretByLines(-1);
    case KeyCode::Down: return MoveCaretByLines(1);
    case KeyCode::PageUp: return MoveCaretByLines(-VisibleLines());
    case KeyCode::PageDown: return MoveCaretByLines(VisibleLines());
    case KeyCode::Backspace: return Backspace();
    case KeyCode::Delete: return DeleteForward();
    case KeyCode::Return: return Insert(U"\n");
    case 'v': {
        if (!e.ctrl) return false;
        std::u32string pasted;
        for (char32_t c : DialogDecode(PlatformGetClipboardText()))
            if (c == U'\n' || (c >= 0x20 && c != 0x7F)) pasted += c;
        return Insert(pasted);
    }
    default: return false;
    }
}

bool DialogTextBox::OnChar(char32_t c) {
    if (c < 0x20 || c == 0x7F) return false;
    return Insert(std::u32string_view(&c, 1));
}
