#include <gtest/gtest.h>

#include "data/Animation.h"
#include "data/AnimationStats.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/TestOverlay.h"

using namespace datafiles_test;

namespace {

std::string Wrap(const std::string& body) { return "<animations>" + body + "</animations>"; }

}  // namespace

TEST(AnimationStats, GameFileLoadsWithItsIncludes) {
    std::string error;
    ASSERT_TRUE(LoadAnimationsFile(GameData() + "properties/animations.xml", &error)) << error;
    EXPECT_TRUE(AnimationExists(L"fade_in"));
    EXPECT_TRUE(AnimationExists(L"title_play_ready"));  // from an included file
    EXPECT_FALSE(AnimationExists(L"sample_countdown"));  // a test fixture, not game data
}

// The test overlay's file includes the game's, found in the folder it is laid
// over, and the fixtures beside it.
TEST(AnimationStats, TheTestOverlayIncludesTheGamesFileAndItsOwn) {
    LaidTestOverlay overlay(GameData());
    std::string error;
    ASSERT_TRUE(LoadAnimationsFile(GameData() + "properties/animations_tests.xml", &error)) << error;
    EXPECT_TRUE(AnimationExists(L"title_play_ready"));
    EXPECT_TRUE(AnimationExists(L"sample_countdown"));
    EXPECT_TRUE(AnimationExists(L"showcase_scene"));
}

TEST(AnimationStats, AbsentNamesInsertNothingAndPublishingKeepsOldTablesAlive) {
    AnimationStats first;
    ASSERT_TRUE(first.LoadAnimationsFromString(Wrap("<animation name=\"x\"><a/><b/></animation>"), "1.xml"));
    first.Publish();
    EXPECT_TRUE(first.GetTable().empty());
    size_t count = AnimationCount();
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(GetAnimation(L"no_such_animation").mCommands.empty());
        EXPECT_FALSE(AnimationExists(L"no_such_animation"));
        EXPECT_EQ(FindAnimation(L"no_such_animation"), nullptr);
    }
    EXPECT_EQ(AnimationCount(), count);
    EXPECT_TRUE(GetAnimation(L"x").mCommands.at(0).GetAttribute(L"absent").empty());
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
    EXPECT_EQ(n.mName, L"n");
    ASSERT_EQ(n.mCommands.size(), 2u);
    const AnimationCommand& loop = n.mCommands[0];
    EXPECT_EQ(loop.mName, L"loop");
    EXPECT_EQ(loop.mIf.mText, L"go");
    EXPECT_EQ(loop.mUnless.mText, L"stop");
    EXPECT_EQ(loop.mAttributes.size(), 1u);  // the guards are not attributes
    EXPECT_FALSE(loop.HasAttribute(L"if"));
    EXPECT_EQ(loop.GetAttribute(L"count"), L"2");
    ASSERT_EQ(loop.mChildren.size(), 2u);
    EXPECT_EQ(loop.mChildren[0].mName, L"if");
    EXPECT_EQ(loop.mChildren[0].GetAttribute(L"cond"), L"x > 1");
    EXPECT_EQ(loop.mChildren[0].mChildren.at(0).GetAttribute(L"message"), L"'deep'");
    EXPECT_EQ(loop.mChildren[1].mAttributes.size(), 2u);
    EXPECT_TRUE(loop.mChildren[1].mIf.mText.empty());
    EXPECT_GT(loop.mChildren[1].mLine, loop.mLine);
    EXPECT_TRUE(n.mCommands[1].mChildren.empty());
}

TEST(AnimationStats, IncludesResolveAgainstTheIncludingFile) {
    ScratchFolder temp("animtest");
    temp.Write("sub/more.xml", Wrap("<include file=\"..\\third.xml\"/><animation name=\"more\"/>"));
    temp.Write("third.xml", Wrap("<animation name=\"third\"><x/></animation>"));
    std::string root = temp.Write("root.xml", Wrap("<include file=\"SUB/More.xml\"/><animation name=\"root\"/>"));
    AnimationStats stats;
    ASSERT_TRUE(stats.LoadAnimations(root)) << stats.GetErrorText();
    EXPECT_EQ(stats.GetTable().size(), 3u);
    EXPECT_EQ(stats.GetTable().at(L"third").mCommands.size(), 1u);
}

TEST(AnimationStats, BrokenFilesFailWithFileAndLine) {
    SetDebugOutputEnabled(false);
    ScratchFolder temp("animtest");
    temp.Write("loop_b.xml", Wrap("<include file=\"loop_a.xml\"/>"));
    temp.Write("bad_inner.xml", "<animations>\n\n<animation name=\"q\"><a></animations>");
    struct Case {
        std::string file;
        std::string message;
    };
    std::string deep;
    for (int i = 0; i < 100; ++i) deep += "<c>";
    for (int i = 0; i < 100; ++i) deep += "</c>";
    const Case cases[] = {
        {temp.Write("dup.xml", Wrap("<animation name=\"d\"/>\n<animation name=\"d\"/>")), "defined twice on Line 2"},
        {temp.Write("root.xml", "<scripts/>"), "root element"},
        {temp.Write("stray.xml", Wrap("<print/>")), "outside an animation"},
        {temp.Write("noname.xml", Wrap("<animation/>")), "without a name"},
        {temp.Write("loop_a.xml", Wrap("<include file=\"loop_b.xml\"/>")), "includes itself"},
        {temp.Write("missing.xml", Wrap("<include file=\"gone.xml\"/>")), "gone.xml"},
        {temp.Write("uses_bad.xml", Wrap("<include file=\"bad_inner.xml\"/>")), "bad_inner.xml"},
        {temp.Write("deep.xml", Wrap("<animation name=\"deep\">" + deep + "</animation>")), "too deeply"},
        {temp.Write("cut.xml", "<animations><animation name=\"cut\"><a x=\"1\""), "cut.xml"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(LoadAnimationsFile(c.file, &error)) << c.file;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.file << ": " << error;
        EXPECT_NE(error.find(" on Line "), std::string::npos) << error;
    }
    SetDebugOutputEnabled(true);
}
