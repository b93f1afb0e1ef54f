// The object showcase (animations_showcase.xml of the test overlay) run by
// the game: the tree it builds, the motions after half a second, the labels
// and counters, and the commands it must refuse.
#include <cmath>
#include <map>
#include <memory>

#include "data/AssetManager.h"
#include "render/D3DInterface.h"
#include "render/Font.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/FixedFont.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/NumericalTextWidget.h"
#include "widgets/RectWidget.h"
#include "widgets/TextLabel.h"

namespace {

class ShowcaseTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        LoadGameDataAndShowcase();
        if (HasFatalFailure()) return;
        // 101 pixels a letter: an odd width, so anchors show their integer halves.
        gFontMap.Add(L"showcase_fixed", std::make_unique<FixedFont>(101, 15.0f, 5.0f));
        mScene = Run(L"showcase_scene");
    }

    template <class T = DynamicWidget>
    T* Object(const wchar_t* name) {
        return dynamic_cast<T*>(FindWidgetByName(mHarness, name));
    }
    FPoint At(const wchar_t* name) {
        DynamicWidget* object = Object(name);
        return object ? FPoint(object->mX, object->mY) : FPoint(-1e9f, -1e9f);
    }
    size_t IndexIn(WidgetContainer* parent, const wchar_t* name) {
        const auto& children = parent->GetWidgets();
        return std::find(children.begin(), children.end(), Object(name)) - children.begin();
    }

    ProbeScript* mScene = nullptr;
};

TEST_F(ShowcaseTest, PlacesAndMovesObjects) {
    mHarness.RunSteps(50);
    struct Case {
        const wchar_t* name;
        float x, y, tolerance;
    };
    const Case cases[] = {
        {L"card", 80, 170, 0},     // 40x30 centred on its bottom at (100, 200)
        {L"mover", 85, 10, 0},     // "x,y" = 10 each, then x 100 on the right edge, +5
        {L"ended", 100, 100, 0},   // "end" wins over "offset"
        {L"arcer", 250, 380, 0},   // no x/y: from where it stood, by dx/dy
        {L"eased", 75, 450, 2},   // out_quad at half time: 1 - 0.5^2
        {L"squared", 25, 480, 2},  // the expression t*t at half time
        {L"rider", 30, 30, 0},     // attached under "holder": same place on screen
        {L"pusher", 400, 300, 2},  // angle 90, amplitude 2: up 2 per step though curve_speed is 0
    };
    for (const Case& c : cases) {
        FPoint at = At(c.name);
        EXPECT_NEAR(at.mX, c.x, c.tolerance) << c.name;
        EXPECT_NEAR(at.mY, c.y, c.tolerance) << c.name;
    }
    EXPECT_EQ(Object<RectWidget>(L"red_half")->GetColor().mRed, 127);
    EXPECT_EQ(Object(L"rider")->mParent, Object(L"holder"));
    for (const wchar_t* name : {L"wobbler", L"spinner"}) {
        EXPECT_TRUE(std::isfinite(Object(name)->mX) && std::isfinite(Object(name)->mY)) << name;
    }
}

TEST_F(ShowcaseTest, ArrangesDepthLayersAndFlags) {
    mHarness.RunSteps(2);
    DynamicWidget* holder = Object(L"holder");
    EXPECT_LT(IndexIn(holder, L"front"), IndexIn(holder, L"back"));  // put behind
    EXPECT_EQ(Object(L"card")->mParent, mScene);   // not in the layer: refused
    EXPECT_EQ(holder->mParent, mScene);            // attach onto a child or itself: refused
    EXPECT_EQ(mScene->GetCurrentLayer(), mScene);  // pops past the stack changed nothing
    EXPECT_EQ(IndexIn(mScene, L"desk"), 0u);
    EXPECT_EQ(IndexIn(mScene, L"swatch"), mScene->GetWidgetCount() - 1 - 2);  // stamp and glass came after it
    // Batching with enable and disable: set in both masks, so no batch.
    EXPECT_EQ(holder->mAddMask & WidgetFlags::Batch, WidgetFlags::Batch);
    EXPECT_EQ(holder->mRemoveMask & WidgetFlags::Batch, WidgetFlags::Batch);
    EXPECT_EQ(Object(L"panel")->mAddMask & WidgetFlags::BatchByDepth, 0);
    // Merged with expand: the union of both, the mark gone.
    DynamicWidget* stamp = Object(L"stamp");
    EXPECT_EQ(FRect(stamp->mX, stamp->mY, stamp->mWidth, stamp->mHeight), FRect(850, 590, 50, 40));
    EXPECT_EQ(Object(L"stamp_mark"), nullptr);
    // get-point: nothing on a transparent image, the variables left alone.
    EXPECT_FALSE(mScene->GetVariable(L"glass_found").ToBool());
    EXPECT_EQ(mScene->GetVariable(L"gx").ToInt(), -1);
    EXPECT_TRUE(mScene->GetVariable(L"card_found").ToBool());
    // A random opaque point of the card, which covers (80, 170) to (120, 200).
    const int cx = mScene->GetVariable(L"cx").ToInt(), cy = mScene->GetVariable(L"cy").ToInt();
    EXPECT_TRUE(cx >= 80 && cx < 120 && cy >= 170 && cy < 200) << cx << "," << cy;
    // Removed at once when idle, with their children; drawn into nothing.
    for (const wchar_t* name : {L"doomed", L"nest", L"chick", L"stray_text"})
        EXPECT_EQ(Object(name), nullptr) << name;
    EXPECT_GT(mScene->GetVariable(L"title_w").ToInt(), 0);  // "analyze"
}

TEST_F(ShowcaseTest, LabelsAnchorAndKeepTheirVariables) {
    mHarness.RunSteps(3);
    const std::map<std::wstring, int> anchors = {
        {L"anchor_left", 0}, {L"anchor_center", -50}, {L"anchor_right", -101}};
    for (const auto& [name, offset] : anchors) {
        auto* label = Object<TextLabel>(name.c_str());
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->GetOffsetX(), offset) << name;
        EXPECT_TRUE(label->HitTest(offset, label->GetOffsetY())) << name;
        EXPECT_FALSE(label->HitTest(offset + 101, label->GetOffsetY())) << name;
    }
    EXPECT_EQ(Object<TextLabel>(L"level_label")->GetText(), L"Level 3");
    EXPECT_EQ(Object<TextLabel>(L"renamed")->GetText(), L"Configured label");
    EXPECT_FLOAT_EQ(Object(L"glow")->mRed, 2.5f);
    // No font: no extent, nothing hit.
    auto* fontless = Object<TextLabel>(L"fontless");
    EXPECT_EQ(fontless->GetTextWidth() + fontless->GetTextHeight(), 0);
    EXPECT_FALSE(fontless->HitTest(0, 0));
}

TEST_F(ShowcaseTest, CounterStepsByDecadesAndStopsWithItsOwner) {
    auto* score = Object<NumericalTextWidget>(L"score");
    ASSERT_NE(score, nullptr);
    std::map<int, int> steps;  // step size -> how often
    for (int previous = score->GetDisplayed(), i = 0; i < 400 && previous != 1000; ++i) {
        mHarness.RunSteps(1);
        ++steps[score->GetDisplayed() - previous];
        previous = score->GetDisplayed();
    }
    EXPECT_EQ(steps, (std::map<int, int>{{1, 90}, {10, 81}, {100, 1}}));
    EXPECT_EQ(score->GetText(), L"1000 points");
    EXPECT_EQ(Object<NumericalTextWidget>(L"bad_score")->GetText(), L"7");  // not a template we take

    Object(L"tally")->RemoveSelf();
    mHarness.RunSteps(3);
    EXPECT_FALSE(score->IsChanging());
    EXPECT_EQ(score->GetDisplayed(), 1000);
}

TEST_F(ShowcaseTest, BannersAndTextsStayWithinTheTextureLimit) {
    const int limit = D3DInterface::Get()->GetMaxTextureSize();
    for (const wchar_t* name : {L"banner", L"fontless_banner", L"tall_banner", L"wide_text", L"note"}) {
        DynamicWidget* object = Object(name);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_GT(object->mWidth, 0) << name;
        EXPECT_LE(object->mWidth, limit) << name;
    }
    EXPECT_GE(Object(L"banner")->mWidth, 160);
}

TEST_F(ShowcaseTest, RemovalsFromAScriptAreDeferred) {
    auto* host = new DynamicWidget(0.0f, 0.0f);
    host->mName = L"host";
    mManager->AddWidget(host);
    auto* remover = new ProbeScript(L"showcase_remover");
    remover->SetVariable(L"host", ScriptValue(static_cast<ScriptObject*>(host)));
    host->AddWidget(remover);  // removes its own parent's children, itself among them
    EXPECT_EQ(host->GetWidgetCount(), 0u);
    EXPECT_TRUE(remover->IsDeletePending());
    mHarness.RunSteps(2);
    EXPECT_EQ(Object(L"late"), nullptr);
}

TEST_F(ShowcaseTest, ADeletedLayerFallsBackToTheScript) {
    ProbeScript* script = Run(L"showcase_lost_layer");
    mHarness.RunSteps(3);
    for (const wchar_t* name : {L"after_loss", L"after_pop"}) {
        ASSERT_NE(Object(name), nullptr) << name;
        EXPECT_EQ(Object(name)->mParent, script) << name;
    }
}

}  // namespace
