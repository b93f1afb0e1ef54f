#include "data/Localization.h"

#include "core/Log.h"
#include "core/StringUtil.h"

LocalizedStrings gLocalizedStrings;

std::wstring LocalizedStrings::Get(const std::wstring& key) const {
    std::wstring out;
    Find(key, out);
    return out;
}

bool LocalizedStrings::Has(const std::wstring& key) const {
    std::shared_ptr<const LocalizedStringMap> table = Snapshot();
    return table->count(key) != 0;
}

bool LocalizedStrings::Find(const std::wstring& key, std::wstring& out) const {
    std::shared_ptr<const LocalizedStringMap> table = Snapshot();
    auto it = table->find(key);
    if (it == table->end()) return false;
    out = it->second;
    return true;
}

void LocalizedStrings::Publish(const LocalizedStringMap& entries) {
    std::lock_guard lock(mLock);
    auto merged = std::make_shared<LocalizedStringMap>(*mTable);
    for (const auto& [key, text] : entries) (*merged)[key] = text;
    mTable = std::move(merged);
}

void LocalizedStrings::Clear() {
    std::lock_guard lock(mLock);
    mTable = std::make_shared<LocalizedStringMap>();
}

std::shared_ptr<const LocalizedStringMap> LocalizedStrings::Snapshot() const {
    std::lock_guard lock(mLock);
    return mTable;
}

std::wstring GetLocalizedString(const std::wstring& key) { return gLocalizedStrings.Get(key); }
bool HasLocalizedString(const std::wstring& key) { return gLocalizedStrings.Has(key); }

std::wstring ReplaceBrTags(const std::wstring& text) { return StringReplaceAll(text, L"[br]", L"\n"); }

bool Localization::Load(const std::string& path) {
    mStrings.clear();
    mCurrentTag.clear();
    if (!LoadFile(path)) {
        mStrings.clear();
        return false;
    }
    gLocalizedStrings.Publish(mStrings);
    return true;
}

void Localization::StoreString(const std::wstring& key, const std::wstring& text) {
    mStrings[key] = ReplaceBrTags(text);
}

bool Localization::OnElementStart(const XMLElement& element) {
    if (element.mName == L"id") {
        mCurrentTag.clear();
        if (HasAttribute(L"tag")) StoreString(GetAttribute(L"tag"), GetAttribute(L"value"));
    } else if (element.mName == L"pair") {
        mCurrentTag.clear();
        if (HasAttribute(L"tag")) {
            std::wstring tag = GetAttribute(L"tag");
            StoreString(tag + L"_title", GetAttribute(L"title"));
            StoreString(tag + L"_text", GetAttribute(L"text"));
        }
    } else {
        mCurrentTag = element.mName;
    }
    return true;
}

bool Localization::OnElementEnd(const XMLElement&) {
    // A text belongs inside the element that names it; an element closed
    // without one does not claim the text after it.
    mCurrentTag.clear();
    return true;
}

bool Localization::OnText(const std::wstring& text) {
    if (mCurrentTag.empty()) return true;
    StoreString(mCurrentTag, text);
    mCurrentTag.clear();
    return true;
}

bool LoadLocalizationFile() {
    Localization loader;
    if (loader.Load("properties/localization.xml")) return true;
    DebugPrintf("%s\n", loader.GetErrorText().c_str());
    return false;
}
