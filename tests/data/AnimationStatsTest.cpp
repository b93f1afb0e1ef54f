#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "data/Animation.h"
#include "data/AnimationStats.h"
#include "platform/FileSystem.h"

namespace {

std::string GameData() { return std::string(QUILTRO7_SOURCE_GAMEDATA) + "/"; }

class TempFolder {
public:
    TempFolder() : mPath(PlatformMakeTempDirectory("animtest")) {}
    ~TempFolder() { PlatformRemoveTree(mPath); }
    std::string File(const std::string& name, const std::string& text) const {
        EXPECT_TRUE(WriteStringToFile(mPath + "/" + name, text));
        return mPath + "/" + name;
    }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

std::string Wrap(const std::string& body) { return "<animations>" + body + "</animations>"; }

}  // namespace

TEST(AnimationStats, GameFileWithItsInclude) {
    std::string error;
    ASSERT_TRUE(LoadAnimationsFile(GameData() + "properties/animations.xml", &error)) << error;
    EXPECT_TRUE(AnimationExists(L"fade_in"));
    EXPECT_TRUE(AnimationExists(L"sample_countdown"));  // from the included file

    const Animation& blink = GetAnimation(L"blink");
    EXPECT_EQ(blink.mName, L"blink");
    ASSERT_EQ(blink.mCommands.size(), 2u);
    const AnimationCommand& loop = blink.mCommands[1];
    EXPECT_EQ(loop.mName, L"for");
    EXPECT_EQ(loop.GetAttribute(L"to"), L"3");
    ASSERT_EQ(loop.mChildren.size(), 4u);
    const AnimationCommand& guarded = loop.mChildren[2];
    EXPECT_EQ(guarded.mUnless.mText, L"i == 2");
    EXPECT_TRUE(guarded.mIf.mText.empty());
    EXPECT_FALSE(guarded.HasAttribute(L"unless"));
    EXPECT_EQ(guarded.GetAttribute(L"value"), L"1");
    EXPECT_EQ(loop.mChildren[3].mIf.mText, L"i < 2");  // entity decoded, raw otherwise
    EXPECT_FALSE(loop.mChildren[3].HasAttribute(L"if"));
}

TEST(AnimationStats, AbsentAnimationIsEmptyAndNotInserted) {
    AnimationStats stats;
    ASSERT_TRUE(stats.LoadAnimationsFromString(Wrap("<animation name=\"a\"><print message=\"1\"/></animation>"),
                                               "a.xml"));
    stats.Publish();
    size_t count = AnimationCount();
    for (int i = 0; i < 2; ++i) {
        const Animation& none = GetAnimation(L"no_such_animation");
        EXPECT_TRUE(none.mCommands.empty());
        EXPECT_FALSE(AnimationExists(L"no_such_animation"));
        EXPECT_EQ(FindAnimation(L"no_such_animation"), nullptr);
    }
    EXPECT_EQ(AnimationCount(), count);
    const AnimationCommand& print = GetAnimation(L"a").mCommands.at(0);
    EXPECT_TRUE(print.GetAttribute(L"absent").empty());
}

TEST(AnimationStats, PublishingKeepsEarlierAnimationsAlive) {
    AnimationStats first;
    ASSERT_TRUE(first.LoadAnimationsFromString(Wrap("<animation name=\"x\"><a/><b/></animation>"), "1.xml"));
    first.Publish();
    EXPECT_TRUE(first.GetTable().empty());
    const std::vector<AnimationCommand>* running = &GetAnimation(L"x").mCommands;
    AnimationStats second;
    ASSERT_TRUE(second.LoadAnimationsFromString(Wrap("<animation name=\"y\"/>"), "2.xml"));
    second.Publish();
    EXPECT_FALSE(AnimationExists(L"x"));
    EXPECT_TRUE(AnimationExists(L"y"));
    ASSERT_EQ(running->size(), 2u);  // a script still running the old one reads valid data
    EXPECT_EQ((*running)[1].mName, L"b");
}

TEST(AnimationStats, NestedCommandsAndGuards) {
    AnimationStats stats;
    ASSERT_TRUE(stats.LoadAnimationsFromString(Wrap(R"(
      <animation name="n">
        <loop count="2" if="go" unless="stop">
          <if cond="x &gt; 1"><print message="'deep'"/></if>
          <define a="1" b="a + 1" if=""/>
        </loop>
        <stop/>
      </animation>)"), "n.xml"))
        << stats.GetErrorText();
    const Animation& n = stats.GetTable().at(L"n");
    ASSERT_EQ(n.mCommands.size(), 2u);
    const AnimationCommand& loop = n.mCommands[0];
    EXPECT_EQ(loop.mIf.mText, L"go");
    EXPECT_EQ(loop.mUnless.mText, L"stop");
    EXPECT_EQ(loop.mAttributes.size(), 1u);
    ASSERT_EQ(loop.mChildren.size(), 2u);
    EXPECT_EQ(loop.mChildren[0].mName, L"if");
    EXPECT_EQ(loop.mChildren[0].GetAttribute(L"cond"), L"x > 1");
    EXPECT_EQ(loop.mChildren[0].mChildren.at(0).GetAttribute(L"message"), L"'deep'");
    EXPECT_EQ(loop.mChildren[1].mAttributes.size(), 2u);
    EXPECT_GT(loop.mChildren[1].mLine, loop.mLine);
    EXPECT_TRUE(n.mCommands[1].mChildren.empty());
}

TEST(AnimationStats, IncludesResolveAgainstTheIncludingFile) {
    TempFolder temp;
    temp.File("sub/more.xml", Wrap("<include file=\"..\\third.xml\"/><animation name=\"more\"/>"));
    temp.File("third.xml", Wrap("<animation name=\"third\"><x/></animation>"));
    std::string root = temp.File("root.xml", Wrap("<include file=\"SUB/More.xml\"/><animation name=\"root\"/>"));
    AnimationStats stats;
    ASSERT_TRUE(stats.LoadAnimations(root)) << stats.GetErrorText();
    EXPECT_EQ(stats.GetTable().size(), 3u);
    EXPECT_EQ(stats.GetTable().at(L"third").mCommands.size(), 1u);
}

TEST(AnimationStats, BrokenFilesFailWithFileAndLine) {
    SetDebugOutputEnabled(false);
    TempFolder temp;
    temp.File("loop_a.xml", Wrap("<include file=\"loop_b.xml\"/>"));
    temp.File("loop_b.xml", Wrap("<include file=\"loop_a.xml\"/>"));
    temp.File("bad_inner.xml", "<animations>\n\n<animation name=\"q\"><a></animations>");
    temp.File("uses_bad.xml", Wrap("<include file=\"bad_inner.xml\"/>"));
    struct Case {
        std::string file;
        std::string message;
    };
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "<c>";
    for (int i = 0; i < 100; ++i) deep += "</c>";
    const Case cases[] = {
        {temp.File("dup.xml", Wrap("<animation name=\"d\"/>\n<animation name=\"d\"/>")), "defined twice on Line 2"},
        {temp.File("root.xml", "<scripts/>"), "root element"},
        {temp.File("stray.xml", Wrap("<print/>")), "outside an animation"},
        {temp.File("noname.xml", Wrap("<animation/>")), "without a name"},
        {temp.Path() + "/loop_a.xml", "includes itself"},
        {temp.File("missing.xml", Wrap("<include file=\"gone.xml\"/>")), "gone.xml"},
        {temp.Path() + "/uses_bad.xml", "bad_inner.xml"},
        {temp.File("deep.xml", Wrap("<animation name=\"deep\">" + deep + "</animation>")), "too deeply"},
        {temp.File("cut.xml", "<animations><animation name=\"cut\"><a x=\"1\""), "cut.xml"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(LoadAnimationsFile(c.file, &error)) << c.file;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.file << ": " << error;
        EXPECT_NE(error.find(" on Line "), std::string::npos) << error;
    }
    SetDebugOutputEnabled(true);
}
