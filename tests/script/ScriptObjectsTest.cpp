// Objects that scripts move between parents and arc across the screen: the
// names they go by and the times they take.
#include "tests/script/ScriptFixture.h"
#include "tests/support/WidgetQueries.h"

namespace {

class ScriptObjectsTest : public ScriptTest {
protected:
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

}  // namespace
