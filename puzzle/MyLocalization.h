#pragma once
#include <map>
#include <string>
#include <vector>

#include "data/Localization.h"

// Set name -> the titles of its puzzles, in file order (title k = puzzle k).
extern std::map<std::wstring, std::vector<std::wstring>> gPuzzleTitles;

// localization.xml with the game's puzzle titles:
//   <set name="meadow"><puzzle>Heart</puzzle><puzzle>Two[br]Words</puzzle></set>
// Everything else goes to the Localization base.
class MyLocalization : public Localization {
public:
    MyLocalization();                       // loads properties/localization.xml
    explicit MyLocalization(bool loadNow);
    // Loads a text in place of the file and publishes it like the file.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnText(const std::wstring& text) override;

private:
    void Publish();

    std::wstring mCurrentSet;
    std::map<std::wstring, std::vector<std::wstring>> mTitles;
};
