#pragma once
#include <string>

#include "core/Color.h"
#include "widgets/Listeners.h"
#include "widgets/Widget.h"

class Font;

// A one-line text field. Its listener is asked first (AllowKey, AllowChar)
// before a key or a character changes the text; a refused one is dropped.
// Return reports the text with EditWidgetText.
class EditWidget : public Widget {
public:
    enum ColorIndex { Background = 0, Outline = 1, Text = 2, Highlight = 3, HighlightText = 4, ColorCount = 5 };

    explicit EditWidget(EditListener* listener);

    void SetFont(Font* font);
    Font* GetFont() const { return mFont; }
    void SetColor(int index, const Color& color);
    const Color& GetColor(int index) const;
    void ResizeEdit(int x, int y, int width, int height);
    // Replaces the text (no listener questions); the caret goes to the end.
    void SetText(const std::wstring& text);
    const std::wstring& GetText() const { return mString; }
    // Inserts text at the caret, each character through AllowChar.
    void PasteText(const std::wstring& text);
    int GetCaret() const { return mCursorPos; }
    bool HasSelection() const { return mHilitePos >= 0 && mHilitePos != mCursorPos; }
    void SelectAll();

    void Update() override;
    int StepsUntilDue() override;
    void Draw(Graphics* g) override;
    void KeyDown(int key) override;
    void KeyChar(wchar_t character) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void GotFocus() override;
    void LostFocus() override;

    std::wstring mString;
    int mMaxChars = -1;  // below 0: no limit
    ListenerRef<EditListener> mListener;

private:
    bool InsertChar(wchar_t character);
    void DeleteSelection();
    int CaretAt(int x) const;  // character index nearest to a local x
    int TextWidth(size_t length) const;
    void KeepCaretVisible();

    Font* mFont = nullptr;
    Color mColors[ColorCount];
    int mCursorPos = 0;
    int mHilitePos = -1;  // selection anchor, -1 when none
    int mLeftOffset = 0;  // pixels of text scrolled out on the left
    int mBlinkCounter = 0;
    bool mShowCaret = false;
};
