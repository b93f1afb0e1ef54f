#pragma once
#include <map>
#include <string>
#include <vector>

#include "data/Localization.h"
#include "data/PublishedTable.h"

// Set name -> the titles of its puzzles, in file order (title k = puzzle k).
using PuzzleTitleTable = std::map<std::wstring, std::vector<std::wstring>>;
extern PublishedTable<PuzzleTitleTable> gPuzzleTitles;

// The title of puzzle k of a set; empty when the file has none (never added).
std::wstring FindPuzzleTitle(const std::wstring& set, int index);

// localization.xml with the game's puzzle titles:
//   <set name="meadow"><puzzle>Heart</puzzle><puzzle>Two[br]Words</puzzle></set>
// Everything else goes to the Localization base. The strings and the titles
// are published together, and only when the whole file is sound.
class MyLocalization : public Localization {
public:
    MyLocalization();                       // loads properties/localization.xml
    explicit MyLocalization(bool loadNow);
    // Loads a text in place of the file and publishes it like the file.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);
    bool Succeeded() const { return mLoaded; }

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnText(const std::wstring& text) override;

private:
    void Reset();
    void Publish();

    bool mLoaded = false;
    std::wstring mCurrentSet;
    PuzzleTitleTable mTitles;
};
