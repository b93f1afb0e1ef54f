#include "render/Font.h"

Font::~Font() = default;

FontTable gFontMap;

Font* FontTable::Find(const std::wstring& name) const {
    std::lock_guard<std::mutex> lock(mLock);
    auto it = mFonts.find(name);
    return it == mFonts.end() ? nullptr : it->second.get();
}

void FontTable::Publish(std::map<std::wstring, std::unique_ptr<Font>> fonts) {
    std::map<std::wstring, std::unique_ptr<Font>> old;
    {
        std::lock_guard<std::mutex> lock(mLock);
        old.swap(mFonts);
        mFonts.swap(fonts);
    }
    // Old fonts die outside the lock. Callers must not hold pointers across a
    // reload; screens look fonts up again.
}

void FontTable::Add(const std::wstring& name, std::unique_ptr<Font> font) {
    std::unique_ptr<Font> old;
    std::lock_guard<std::mutex> lock(mLock);
    auto& slot = mFonts[name];
    old.swap(slot);
    slot = std::move(font);
}

void FontTable::Clear() {
    std::map<std::wstring, std::unique_ptr<Font>> old;
    std::lock_guard<std::mutex> lock(mLock);
    old.swap(mFonts);
}

size_t FontTable::Size() const {
    std::lock_guard<std::mutex> lock(mLock);
    return mFonts.size();
}

std::vector<std::wstring> FontTable::Names() const {
    std::lock_guard<std::mutex> lock(mLock);
    std::vector<std::wstring> names;
    for (const auto& [name, font] : mFonts) names.push_back(name);
    return names;
}

Font* FindFont(const std::wstring& name) { return gFontMap.Find(name); }
