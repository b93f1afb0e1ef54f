#include <gtest/gtest.h>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Constants.h"
#include "data/ConstantsLoader.h"
#include "tests/data/DataFilesTestSupport.h"

using namespace datafiles_test;

namespace {

class ConstantsLoaderTest : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        mSaved = GetConstantsSnapshot();
        PublishConstants(VariableMap{});
    }
    void TearDown() override {
        PublishConstants(*mSaved);
        QuietTest::TearDown();
    }
    bool Load(const std::string& body) {
        return mLoader.Load(mFolder.Write("constants.xml", "<constants>\n" + body + "\n</constants>"));
    }

    std::shared_ptr<const VariableMap> mSaved;
    ScratchFolder mFolder;
    ConstantsLoader mLoader;
};

// Every type, and values that use the constants above them.
TEST_F(ConstantsLoaderTest, EveryTypeAndExpressions) {
    ASSERT_TRUE(Load(R"(
        <int name="tiles" value="12"/>
        <float name="speed" value="2.5"/>
        <string name="title" value="Grand  Quiltro &amp; 7"/>
        <bool name="on" value="true"/>
        <bool name="off" value="0"/>
        <color name="gold" value="255, 200, 0"/>
        <color name="glass" value="10,20,30,40"/>
        <int name="tile" value="24"/>
        <int name="grid-size" value="tile * 15 + 2"/>
        <float name="half-tile" value="tile / 2.0"/>
        <bool name="big" value="grid-size > 300"/>
        <int name="truncated" value="7.9"/>
        <color name="grey" value="tile*5, tile*5, tile*5, 300"/>
        <int name="tile" value="tile + 1"/>)"))
        << mLoader.GetErrorText();
    EXPECT_EQ(GetConstant(L"tiles").GetType(), ScriptValue::Int);
    EXPECT_EQ(GetConstantInt(L"tiles"), 12);
    EXPECT_EQ(GetConstant(L"speed").GetType(), ScriptValue::Float);
    EXPECT_FLOAT_EQ(GetConstantFloat(L"speed"), 2.5f);
    EXPECT_EQ(GetConstant(L"title").ToString(), L"Grand  Quiltro & 7");
    EXPECT_EQ(GetConstant(L"on").GetType(), ScriptValue::Bool);
    EXPECT_TRUE(GetConstant(L"on").ToBool());
    EXPECT_FALSE(GetConstant(L"off").ToBool());
    EXPECT_EQ(GetConstant(L"gold").ToColor(), Color(255, 200, 0, 255));
    EXPECT_EQ(GetConstant(L"glass").ToColor(), Color(10, 20, 30, 40));
    EXPECT_EQ(GetConstantInt(L"grid-size"), 362);
    EXPECT_FLOAT_EQ(GetConstantFloat(L"half-tile"), 12.0f);
    EXPECT_TRUE(GetConstant(L"big").ToBool());
    EXPECT_EQ(GetConstantInt(L"truncated"), 7);
    EXPECT_EQ(GetConstant(L"grey").ToColor(), Color(120, 120, 120, 255));  // clamped
    EXPECT_EQ(GetConstantInt(L"tile"), 25);  // the later one wins
}

// A huge bad value is quoted by its start only: the message stays short and
// ends with the file and the line.
TEST_F(ConstantsLoaderTest, AHugeBadValueIsQuotedShort) {
    const std::string huge(200000, 'q');
    for (const std::string& body : {"<int name=\"big\"\n value=\"" + huge + "\"/>",
                                     "<int name=\"" + huge + "\"\n value=\"\"/>",
                                     "<color name=\"c\"\n value=\"" + huge + "\"/>"}) {
        EXPECT_FALSE(Load(body));
        const std::string& error = mLoader.GetErrorText();
        EXPECT_LT(error.size(), 300u) << error.substr(0, 300);
        EXPECT_NE(error.find("'" + std::string(kQuotedValueLimit, 'q') + "...'"), std::string::npos) << error;
        const std::string tail = " on Line 2 in File '" + (mFolder / "constants.xml") + "'";
        ASSERT_GE(error.size(), tail.size());
        EXPECT_EQ(error.substr(error.size() - tail.size()), tail) << error;
    }
}

TEST_F(ConstantsLoaderTest, BadFilesPublishNothing) {
    ASSERT_TRUE(Load(R"(<int name="kept" value="5"/>)"));
    struct Case {
        const char* body;
        const char* error;
    };
    const Case cases[] = {
        {"<int value='1'/>", "without a name"},
        {"<int name='x'/>", "has no value"},
        {"<int name='x' value='hello world'/>", "not a number"},
        {"<float name='x' value=\"'1.5'\"/>", "not a number"},
        {"<color name='x' value='1,2'/>", "r,g,b"},
        {"<color name='x' value='1,2,red'/>", "not a number"},
        {"<double name='x' value='1'/>", "Unknown constant type <double>"},
        {"<int name='x' value='1'><int name='y' value='2'/></int>", "do not nest"},
        {"<int name='x' value='1'>", "XML error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_FALSE(Load(std::string("<int name='new' value='1'/>\n") + c.body));
        EXPECT_NE(mLoader.GetErrorText().find(c.error), std::string::npos) << mLoader.GetErrorText();
        EXPECT_NE(mLoader.GetErrorText().find("constants.xml'"), std::string::npos);
        EXPECT_FALSE(IsConstantDefined(L"new"));
        EXPECT_EQ(GetConstantInt(L"kept"), 5);
    }
    EXPECT_FALSE(mLoader.Load(mFolder.Write("constants.xml", "<values/>")));
    EXPECT_NE(mLoader.GetErrorText().find("<constants>"), std::string::npos);
}

}  // namespace
