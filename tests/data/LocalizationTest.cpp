#include <gtest/gtest.h>

#include "core/Log.h"
#include "data/Config.h"
#include "data/Localization.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/AppHarness.h"

using namespace datafiles_test;

namespace {

class LocalizationTest : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        mSaved = gLocalizedStrings.Snapshot();
        gLocalizedStrings.Clear();
    }
    void TearDown() override {
        gLocalizedStrings.Clear();
        gLocalizedStrings.Publish(*mSaved);
        QuietTest::TearDown();
    }
    std::shared_ptr<const LocalizedStringMap> mSaved;
};

bool LoadText(Localization& loader, const std::string& xml) {
    ScratchFolder folder;
    return loader.Load(folder.Write("localization.xml", xml));
}

TEST_F(LocalizationTest, TheThreeForms) {
    Localization loader;
    ASSERT_TRUE(LoadText(loader, R"(<localization>
        <id tag="ok" value="O[br]K"/>
        <pair tag="delete" title="Delete?" text="Line one[br]line two"/>
        <greeting>  Hello,
            world[br]again </greeting>
        <empty/>
        <k>Hi</k>
      </localization>)")) << loader.GetErrorText();
    EXPECT_EQ(GetLocalizedString(L"ok"), L"O\nK");
    EXPECT_EQ(GetLocalizedString(L"delete_title"), L"Delete?");
    EXPECT_EQ(GetLocalizedString(L"delete_text"), L"Line one\nline two");
    EXPECT_FALSE(HasLocalizedString(L"delete"));
    EXPECT_EQ(GetLocalizedString(L"greeting"), L"Hello, world\nagain");
    EXPECT_EQ(GetLocalizedString(L"k"), L"Hi");
    // An element without text stores nothing, and does not claim later text.
    EXPECT_FALSE(HasLocalizedString(L"empty"));
    // The tag is cleared after its text.
    Localization second;
    ASSERT_TRUE(LoadText(second, "<r><a>first<b/>second</a>third</r>"));
    EXPECT_EQ(GetLocalizedString(L"a"), L"first");
    EXPECT_FALSE(HasLocalizedString(L"b"));
}

TEST_F(LocalizationTest, AbsentKeysAreEmptyLoadsMergeAndFailuresPublishNothing) {
    EXPECT_EQ(GetLocalizedString(L"nothing"), L"");
    EXPECT_FALSE(HasLocalizedString(L"nothing"));
    EXPECT_EQ(gLocalizedStrings.Snapshot()->size(), 0u);  // the lookups inserted nothing
    Localization first;
    ASSERT_TRUE(LoadText(first, "<r><id tag='a' value='1'/><id tag='b' value='2'/></r>"));
    Localization second;
    ASSERT_TRUE(LoadText(second, "<r><id tag='b' value='two'/></r>"));
    EXPECT_EQ(GetLocalizedString(L"a"), L"1");
    EXPECT_EQ(GetLocalizedString(L"b"), L"two");

    Localization broken;
    EXPECT_FALSE(LoadText(broken, "<r><id tag='c' value='3'/><id tag='a' value='x'/>"));
    EXPECT_NE(broken.GetErrorText().find("localization.xml'"), std::string::npos);
    EXPECT_FALSE(HasLocalizedString(L"c"));
    EXPECT_EQ(GetLocalizedString(L"a"), L"1");
}

// What a game's own loader looks like: extra elements, the rest to the base.
class GameLocalization : public Localization {
public:
    std::vector<std::wstring> mPuzzles;

protected:
    bool OnElementStart(const XMLElement& element) override {
        if (element.mName == L"set") return true;
        return Localization::OnElementStart(element);
    }
    bool OnText(const std::wstring& text) override {
        if (mCurrentTag == L"puzzle") {
            mPuzzles.push_back(ReplaceBrTags(text));
            return true;
        }
        return Localization::OnText(text);
    }
};

TEST_F(LocalizationTest, DerivedLoadersAddElements) {
    GameLocalization loader;
    ASSERT_TRUE(LoadText(loader, "<r><set><puzzle>A[br]B</puzzle><puzzle>C</puzzle></set><x>y</x></r>"));
    EXPECT_EQ(loader.mPuzzles, (std::vector<std::wstring>{L"A\nB", L"C"}));
    EXPECT_EQ(GetLocalizedString(L"x"), L"y");
    EXPECT_EQ(ReplaceBrTags(L"[br]a[br][br]b[BR]"), L"\na\n\nb[BR]");
    EXPECT_EQ(ReplaceBrTags(L""), L"");
}

TEST_F(LocalizationTest, ConfigReadsTheGameFileAndRefusesUnknownElements) {
    ConfigLoader config;
    ASSERT_TRUE(config.Load(TestGameDataFolder() + "/properties/config.xml")) << config.GetErrorText();
    EXPECT_EQ(GetConfigValue(L"data_version"), L"1");
    EXPECT_EQ(GetConfigValue(L"absent"), L"");
    EXPECT_FALSE(HasConfigValue(L"absent"));
    ScratchFolder folder;
    EXPECT_FALSE(config.Load(folder.Write("config.xml", "<config><entry name='a' value='1'/><other/></config>")));
    EXPECT_NE(config.GetErrorText().find("<other> on Line 1"), std::string::npos) << config.GetErrorText();
}

}  // namespace
