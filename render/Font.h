#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/Color.h"

class Graphics;

// Text metrics and drawing, shared by image fonts and system fonts.
// Positions given to DrawString are the left end of the baseline.
class Font {
public:
    virtual ~Font();
    virtual float GetAscent() const = 0;
    virtual float GetDescent() const = 0;
    // Ascent plus descent.
    virtual float GetHeight() const = 0;
    // Distance between baselines of wrapped lines.
    virtual float GetLineSpacing() const { return GetHeight(); }
    virtual int StringWidth(const std::wstring& text) const = 0;
    virtual int CharWidth(wchar_t c) const { return StringWidth(std::wstring(1, c)); }
    // A copy that the caller owns.
    virtual Font* Duplicate() const = 0;
    // Draws in the given colour (the graphics colour when the font is drawn
    // through Graphics::DrawString).
    virtual void DrawString(Graphics& g, float x, float y, const std::wstring& text,
                            const Color& color) = 0;
};

// The named fonts of fonts.xml. Built privately by the loader and published
// whole under the lock; lookups of an absent name give null and never insert.
class FontTable {
public:
    Font* Find(const std::wstring& name) const;
    bool Contains(const std::wstring& name) const { return Find(name) != nullptr; }
    void Publish(std::map<std::wstring, std::unique_ptr<Font>> fonts);
    // Adds or replaces one font (tests, system fonts made in code).
    void Add(const std::wstring& name, std::unique_ptr<Font> font);
    void Clear();
    size_t Size() const;
    std::vector<std::wstring> Names() const;

private:
    mutable std::mutex mLock;
    std::map<std::wstring, std::unique_ptr<Font>> mFonts;
};

extern FontTable gFontMap;

Font* FindFont(const std::wstring& name);
