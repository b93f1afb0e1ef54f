#include "tests/script/ScriptFixture.h"

#include "data/BasicPlayerState.h"
#include "widgets/Menu.h"
#include "widgets/OverlayAnimation.h"

// Variables in their three scopes, and the commands that start further
// animations.

namespace {

using Variables = ScriptTest;
using Spawning = ScriptTest;

TEST_F(Variables, LocalDefineAssignUndefineUnassign) {
    Load(R"(<animation name="locals">
      <define a="1 + 1" b="'text'" c="a"/>
      <assign name="'d'" value="a * 10"/>
      <define key="'b'"/>
      <undefine name="a"/>
      <unassign name="key"/>
      <undefine name="never_defined"/>
    </animation>)");
    ProbeScript* w = Run(L"locals");
    EXPECT_FALSE(w->HasVariable(L"a"));
    EXPECT_FALSE(w->HasVariable(L"b"));  // unassign evaluates the name: key -> 'b'
    EXPECT_TRUE(w->HasVariable(L"key"));
    EXPECT_EQ(w->GetVariable(L"d").ToInt(), 20);
    EXPECT_EQ(w->GetVariable(L"c").ToInt(), 2);  // attributes in name order: a before c
}

TEST_F(Variables, AnotherWidgetsVariables) {
    Load(R"(
      <animation name="other"><persist/></animation>
      <animation name="writer">
        <play animation="other" id="'o'"/>
        <define-in id="o" x="1 + 2" y="'why'" z="0"/>
        <define x="40"/>
        <assign-in id="o" name="'v'" value="x + 2"/>
        <undefine-in id="o" name="z"/>
        <define which="'y'"/>
        <unassign-in id="o" name="which"/>
        <define-in id="nobody" q="1"/>
        <define-in id="plain" q="1"/>
        <probe v="'done'"/>
      </animation>
      <animation name="target_script"><probe v="p"/></animation>
      <animation name="player"><play-in id="t" animation="'target_script'" p="6 * 7"/></animation>
    )");
    ProbeScript* w = Idle();
    AddObject(w, L"plain");  // not an AnimationWidget: left alone
    w->PlayAnimationByName(L"writer");
    EXPECT_EQ(Joined(w->mLog), L"done");
    AnimationWidget* other = Held(w, L"o");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->GetVariable(L"x").ToInt(), 3);
    EXPECT_EQ(other->GetVariable(L"v").ToInt(), 42);  // evaluated by the running widget
    EXPECT_FALSE(other->HasVariable(L"z"));
    EXPECT_FALSE(other->HasVariable(L"y"));
    EXPECT_FALSE(other->HasVariable(L"id"));
    EXPECT_FALSE(w->HasVariable(L"q"));

    auto* t = new ProbeScript();
    w->AddNamedObject(L"t", t);
    w->PlayAnimationByName(L"player");
    EXPECT_EQ(Joined(t->mLog), L"42");
    EXPECT_FALSE(t->HasVariable(L"animation"));
}

TEST_F(Variables, GlobalsNeedAPlayer) {
    Load(R"(<animation name="globals">
      <define-global a="5" b="'x'"/>
      <assign-global name="'c'" value="a + 1"/>
      <undefine-global name="b"/>
      <define k="'a'"/>
      <unassign-global name="k"/>
    </animation>)");
    BasicPlayerState* previous = gCurrentPlayerState;
    gCurrentPlayerState = nullptr;
    ProbeScript* none = Run(L"globals");  // nothing happens, nothing breaks
    EXPECT_TRUE(none->IsScriptFinished());

    BasicPlayerState player;
    gCurrentPlayerState = &player;
    Run(L"globals");
    gCurrentPlayerState = previous;
    EXPECT_EQ(player.mVariables.count(L"a"), 0u);  // unassigned through k
    EXPECT_EQ(player.mVariables.count(L"b"), 0u);
    ASSERT_EQ(player.mVariables.count(L"c"), 1u);
    EXPECT_EQ(player.mVariables[L"c"].ToInt(), 6);  // globals are readable by name
}

TEST_F(Spawning, PlayMakesAReportingChildWithItsOwnVariables) {
    Load(R"(
      <animation name="kid"><define seen="mine + 1"/><persist/></animation>
      <animation name="main"><define secret="1"/><play animation="kid" id="'k'" x="10" y="20" depth="3" mine="41" remove="false"/><play animation="missing"/></animation>
    )");
    ProbeScript* w = Run(L"main");
    AnimationWidget* kid = Held(w, L"k");
    ASSERT_NE(kid, nullptr);
    EXPECT_EQ(kid->mParent, w);
    EXPECT_EQ(kid->mName, L"k");
    EXPECT_FLOAT_EQ(kid->mX, 10.0f);
    EXPECT_FLOAT_EQ(kid->mY, 20.0f);
    EXPECT_EQ(kid->mZOrder, 3);
    EXPECT_EQ(kid->GetVariable(L"seen").ToInt(), 42);
    EXPECT_FALSE(kid->HasVariable(L"secret"));  // play copies none of the caller's
    EXPECT_FALSE(kid->HasVariable(L"x"));
    EXPECT_FALSE(kid->HasVariable(L"depth"));
    EXPECT_EQ(kid->mAnimationListener, static_cast<AnimationListener*>(w));
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 1u);
    EXPECT_FALSE(kid->mRemoveWhenDone);
}

TEST_F(Spawning, SpawnCopiesTheCallersVariablesWhichStayWeak) {
    Load(R"(
      <animation name="kid"><wait-for/></animation>
      <animation name="main"><define n="7"/><spawn animation="kid" id="'k'" extra="n * 2"/><spawn animation="kid"/></animation>
    )");
    ProbeScript* w = Idle();
    DynamicWidget* ball = AddObject(w, L"ball");
    w->PlayAnimationByName(L"main");
    AnimationWidget* kid = Held(w, L"k");
    ASSERT_NE(kid, nullptr);
    EXPECT_EQ(kid->GetVariable(L"self").GetObject(), kid);
    EXPECT_EQ(kid->GetVariable(L"n").ToInt(), 7);
    EXPECT_EQ(kid->GetVariable(L"extra").ToInt(), 14);
    EXPECT_EQ(kid->GetVariable(L"ball").GetObject(), ball);
    EXPECT_EQ(kid->GetCurrentLayer(), w);
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 2u);
    EXPECT_EQ(w->GetWidgetCount(), 3u);  // ball, k and the unnamed one

    ball->RemoveSelf();
    mHarness.RunSteps(1);  // deleted
    EXPECT_EQ(kid->GetVariable(L"ball").GetObject(), nullptr);
    EXPECT_FALSE(kid->GetVariable(L"ball").ToBool());
}

TEST_F(Spawning, SpawnParentMustBeAnAnimationWidget) {
    Load(R"(
      <animation name="kid"><wait-for/></animation>
      <animation name="to_nobody"><spawn animation="kid" parent="nobody"/><spawn animation="kid" parent="plain" id="'x'"/><probe v="'went on'"/></animation>
      <animation name="to_other"><spawn animation="kid" parent="other" id="'x'"/><spawn animation="kid" parent="other"/></animation>
    )");
    ProbeScript* w = Idle();
    AddObject(w, L"plain");
    auto* other = new ProbeScript();
    w->AddNamedObject(L"other", other);
    size_t children = w->GetWidgetCount();
    w->PlayAnimationByName(L"to_nobody");
    EXPECT_EQ(Joined(w->mLog), L"went on");
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 0u);  // nothing made, nothing leaked
    EXPECT_EQ(w->GetWidgetCount(), children);
    EXPECT_FALSE(w->HasVariable(L"x"));

    w->PlayAnimationByName(L"to_other");
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 2u);  // reporting to the spawner
    EXPECT_EQ(other->GetWidgetCount(), 2u);        // adopted by the parent
    AnimationWidget* named = Held(other, L"x");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->mParent, other);
    EXPECT_FALSE(w->HasVariable(L"x"));
}

TEST_F(Spawning, OverlayCoversTheScreenFromItsParentOrItsMenu) {
    Load(R"(
      <animation name="cover"><wait-for/></animation>
      <animation name="main"><overlay animation="cover" id="'ov'" tint="3"/><overlay animation="missing"/></animation>
    )");
    ProbeScript* holder = Idle();
    holder->Move(200.0f, 100.0f);
    ProbeScript* w = Idle(holder);
    w->PlayAnimationByName(L"main");
    auto* overlay = Held<OverlayAnimation>(w, L"ov");
    ASSERT_NE(overlay, nullptr);
    // No owning menu: the script's own layer takes it.
    EXPECT_EQ(overlay->mParent, w);
    EXPECT_FLOAT_EQ(overlay->mX, -200.0f);
    EXPECT_FLOAT_EQ(overlay->mY, -100.0f);
    EXPECT_EQ(overlay->mWidth, 1024);
    EXPECT_EQ(overlay->mHeight, 768);
    EXPECT_EQ(overlay->mZOrder, 1 << 30);
    EXPECT_EQ(overlay->GetVariable(L"tint").ToInt(), 3);
    EXPECT_FALSE(overlay->HasVariable(L"id"));
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 1u);
    overlay->StopAndEnd();  // removed when done; the spawner forgets it
    EXPECT_EQ(overlay->mParent, nullptr);
    EXPECT_EQ(w->GetSpawnedAnimationCount(), 0u);

    auto* menu = new Menu(nullptr, false, false);
    mApp->AddDialog(menu);
    ProbeScript* inMenu = Idle(menu);
    ASSERT_EQ(inMenu->mMenu, menu);
    inMenu->PlayAnimationByName(L"main");
    overlay = Held<OverlayAnimation>(inMenu, L"ov");
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->mParent, menu);
    EXPECT_EQ(menu->GetWidgets().back(), overlay);  // above the menu's other children
    menu->RemoveSelf();
    mHarness.RunSteps(1);
}

TEST_F(Spawning, AnOverlayTakesThePointerFromWhatLiesBelow) {
    Load(R"(<animation name="cover"><wait-for time="3"/></animation>)");
    auto* below = new DynamicWidget(0.0f, 0.0f);
    below->Resize(0.0f, 0.0f, 200, 200);
    below->mCheckPixels = false;
    mManager->AddWidget(below);
    mHarness.MouseMove(50, 50);
    EXPECT_EQ(mManager->GetOverWidget(), below);

    auto* overlay = new OverlayAnimation(L"cover");
    mManager->AddWidget(overlay);
    mHarness.MouseMove(51, 51);
    EXPECT_EQ(mManager->GetOverWidget(), overlay);
    WeakHandle<Widget> handle(overlay);
    mHarness.RunSteps(5);  // its script ends: it removes itself and is deleted
    EXPECT_EQ(handle.Get(), nullptr);
    EXPECT_EQ(mManager->GetOverWidget(), below);
}

}  // namespace
