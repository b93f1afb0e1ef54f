#include "puzzle/MyLocalization.h"

PublishedTable<PuzzleTitleTable> gPuzzleTitles;

std::wstring FindPuzzleTitle(const std::wstring& set, int index) {
    std::shared_ptr<const PuzzleTitleTable> table = gPuzzleTitles.Get();
    auto found = table->find(set);
    if (found == table->end() || index < 0 || index >= static_cast<int>(found->second.size())) return {};
    return found->second[static_cast<size_t>(index)];
}

MyLocalization::MyLocalization() : MyLocalization(true) {}

MyLocalization::MyLocalization(bool loadNow) {
    if (!loadNow) return;
    Reset();
    mLoaded = LoadFile("properties/localization.xml");
    if (mLoaded) Publish();
}

bool MyLocalization::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    Reset();
    mLoaded = LoadFromString(bytes, nameForErrors);
    if (mLoaded) Publish();
    return mLoaded;
}

void MyLocalization::Reset() {
    mTitles.clear();
    mStrings.clear();
    mCurrentSet.clear();
    mCurrentTag.clear();
}

// The titles replace the old lists whole: a reload of the strings (a developer
// code) must not leave the first load's titles in front of the new ones.
void MyLocalization::Publish() {
    gLocalizedStrings.Publish(mStrings);
    gPuzzleTitles.Publish(std::move(mTitles));
}

bool MyLocalization::OnElementStart(const XMLElement& element) {
    if (element.mName == L"set") {
        mCurrentSet = GetAttribute(L"name");
        mTitles[mCurrentSet];  // two "set" elements of one name feed one list
        return true;
    }
    return Localization::OnElementStart(element);
}

bool MyLocalization::OnText(const std::wstring& text) {
    if (mCurrentTag == L"puzzle") {
        mTitles[mCurrentSet].push_back(ReplaceBrTags(text));
        return true;
    }
    return Localization::OnText(text);
}
