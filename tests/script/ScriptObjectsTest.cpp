// Objects that scripts move between parents, arc across the screen and
// label: the names they go by, the times they take and where they take the
// pointer.
#include <memory>

#include "render/Font.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/FixedFont.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/TextLabel.h"

namespace {

class ScriptObjectsTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        // 10 pixels a letter; lines 20 high, the baseline 15 below their top.
        gFontMap.Add(L"objects_fixed", std::make_unique<FixedFont>(10, 15.0f, 5.0f));
    }
    template <class T = DynamicWidget>
    T* Object(const wchar_t* name) {
        return dynamic_cast<T*>(FindWidgetByName(mHarness, name));
    }
};

TEST_F(ScriptObjectsTest, AttachNamesTheObjectAfterItsIdUnderTheNewParent) {
    Load(R"(
      <animation name="attach">
        <add-rect id="box" x="100" y="50" width="200" height="200"/>
        <add-rect id="piece" x="30" y="40" width="10" height="10"/>
        <assign name="'held'" value="piece"/>
        <attach id="'held'" to="box"/>
        <persist/>
      </animation>)");
    ProbeScript* script = Run(L"attach");
    DynamicWidget* box = Object(L"box");
    ASSERT_NE(box, nullptr);
    DynamicWidget* piece = Object(L"held");
    ASSERT_NE(piece, nullptr) << "named after the id it was attached by";
    EXPECT_EQ(Object(L"piece"), nullptr);
    EXPECT_EQ(piece->mParent, box);
    EXPECT_EQ(Held<DynamicWidget>(script, L"held"), piece);
    // Where it was on screen.
    EXPECT_FLOAT_EQ(piece->mX, -70.0f);
    EXPECT_FLOAT_EQ(piece->mY, -10.0f);
}

TEST_F(ScriptObjectsTest, AnArcTakesItsTimeInWholeSteps) {
    Load(R"(
      <animation name="arc">
        <add-rect id="thrown" x="0" y="300" width="10" height="10"/>
        <arc id="thrown" x="100" y="300" time="10.9" max_dy="40" min_dy="10"/>
        <persist/>
      </animation>)");
    Run(L"arc");
    DynamicWidget* thrown = Object(L"thrown");
    ASSERT_NE(thrown, nullptr);
    mHarness.RunSteps(5);
    EXPECT_NEAR(thrown->mX, 50.0f, 0.5f);
    EXPECT_NEAR(thrown->mY, 260.0f, 0.5f) << "risen by the whole 40 half way";
    mHarness.RunSteps(5);
    EXPECT_FLOAT_EQ(thrown->mX, 100.0f) << "10 steps, not 10.9";
    EXPECT_FLOAT_EQ(thrown->mY, 300.0f);
}

// A label above a button: the label takes the pointer where its text is
// drawn, the button right under the text.
TEST_F(ScriptObjectsTest, ALabelTakesThePointerWhereItsTextIsDrawn) {
    Load(R"(
      <animation name="labelled">
        <add-rect id="below" x="100" y="120" width="200" height="40"/>
        <add-label id="caption" text="'Caption'" lookup="false" x="100" y="100" font="'objects_fixed'" align="left" valign="top"/>
        <persist/>
      </animation>)");
    Run(L"labelled");
    mHarness.RunSteps(1);
    auto* caption = Object<TextLabel>(L"caption");
    DynamicWidget* below = Object(L"below");
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(caption->GetTextTop(), 0);
    EXPECT_EQ(caption->GetTextHeight(), 20);
    // The text covers (100, 100) to (170, 120).
    EXPECT_EQ(MouseWidgetAt(mHarness, 105, 100), caption) << "the glyphs' top row";
    EXPECT_EQ(MouseWidgetAt(mHarness, 105, 114), caption) << "above the baseline";
    EXPECT_EQ(MouseWidgetAt(mHarness, 169, 119), caption) << "the block's last pixel";
    EXPECT_EQ(MouseWidgetAt(mHarness, 105, 120), below) << "right under the text";
    EXPECT_EQ(MouseWidgetAt(mHarness, 105, 134), below);
    EXPECT_EQ(MouseWidgetAt(mHarness, 170, 110), nullptr) << "past the text's end";
    EXPECT_FALSE(caption->HitTest(0, -1));

    // Centred on its position, the block stands half its height above it.
    auto* centred = new TextLabel(L"Two\nlines", 0.0f, 0.0f, L"objects_fixed", 0, 0, 0, 0);
    EXPECT_EQ(centred->GetTextTop(), -20);
    EXPECT_TRUE(centred->HitTest(centred->GetOffsetX(), -20));
    EXPECT_TRUE(centred->HitTest(centred->GetOffsetX(), 19));
    EXPECT_FALSE(centred->HitTest(centred->GetOffsetX(), 20));
    EXPECT_FALSE(centred->HitTest(centred->GetOffsetX(), -21));
    delete centred;
}

}  // namespace
