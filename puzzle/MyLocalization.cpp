#include "puzzle/MyLocalization.h"

#include "core/Log.h"

std::map<std::wstring, std::vector<std::wstring>> gPuzzleTitles;

MyLocalization::MyLocalization() : MyLocalization(true) {}

MyLocalization::MyLocalization(bool loadNow) {
    if (!loadNow) return;
    mTitles.clear();
    mCurrentSet.clear();
    if (Load("properties/localization.xml")) Publish();
    else DebugPrintf("%s\n", GetErrorText().c_str());
}

bool MyLocalization::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    mTitles.clear();
    mStrings.clear();
    mCurrentSet.clear();
    mCurrentTag.clear();
    if (!LoadFromString(bytes, nameForErrors)) return false;
    gLocalizedStrings.Publish(mStrings);
    Publish();
    return true;
}

// The titles replace the old lists whole: a reload of the strings (a developer
// code) must not leave the first load's titles in front of the new ones.
void MyLocalization::Publish() { gPuzzleTitles = mTitles; }

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
