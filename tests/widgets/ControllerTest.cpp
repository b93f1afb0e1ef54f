#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "widgets/Controller.h"
#include "widgets/DynamicWidget.h"

namespace {

// One frame of a widget's modifiers.
void Frames(DynamicWidget& w, int count, float dt = 1.0f) {
    for (int i = 0; i < count; ++i) w.UpdateF(dt);
}

// Controllers of no time, or already at their end, land on their end in
// their first update, even without elapsed time, and without NaN.
TEST(ControllerTest, ControllersOfNoTimeFinishInTheirFirstUpdate) {
    DynamicWidget w(10.0f, 0.0f);
    w.AddController(new Tweener(&w, L"t", {{&w.mX, 10.0f, 70.0f}}, 0.0f, nullptr, 1));
    EXPECT_TRUE(w.IsBusy());
    w.UpdateF(0.0f);
    EXPECT_EQ(w.mX, 70.0f);
    EXPECT_FALSE(w.HasController(L"t"));
    EXPECT_FALSE(w.IsBusy());
    Tweener tween(&w, L"t", {{&w.mY, 0.0f, 5.0f}}, 20.0f, nullptr, 1, 20.0f);  // timer at its time
    EXPECT_TRUE(tween.Update(0.0f));
    EXPECT_EQ(w.mY, 5.0f);

    DynamicWidget circling(110.0f, 100.0f);
    circling.MoveInCircle(100, 100, 180.0f, 0.0f, nullptr, L"c");
    circling.UpdateF(0.0f);
    EXPECT_TRUE(std::isfinite(circling.mX) && std::isfinite(circling.mY));
    EXPECT_NEAR(circling.mX, 90.0f, 1e-3f);
    EXPECT_NEAR(circling.mY, 100.0f, 1e-3f);
    EXPECT_FALSE(circling.HasController(L"c"));

    DynamicWidget sheared(0.0f, 0.0f);  // a shear of speed zero jumps
    sheared.StartShear(3.0f, 4.0f, 1.0f, 0.0f, 0.0f, 6.0f, Shearer::kKeep, L"s");
    EXPECT_EQ(sheared.mShearX, 6.0f);
    EXPECT_EQ(sheared.mShearY, 0.0f);
    EXPECT_EQ(sheared.mShearXOffset, 3.0f);
    EXPECT_EQ(sheared.mShearYOffset, 4.0f);
    sheared.UpdateF(1.0f);
    EXPECT_FALSE(sheared.HasController(L"s"));
}

TEST(ControllerTest, TweenFollowsItsCurveAndCountsTowardBusy) {
    DynamicWidget w(0.0f, 0.0f);
    w.AddController(new Tweener(&w, L"t", {{&w.mX, 0.0f, 100.0f}}, 4.0f, new InQuad(), 1));
    Frames(w, 2);
    EXPECT_FLOAT_EQ(w.mX, 25.0f);
    EXPECT_EQ(w.GetCountedControllers(), 1);
    Frames(w, 2);
    EXPECT_FLOAT_EQ(w.mX, 100.0f);
    EXPECT_EQ(w.GetCountedControllers(), 0);
}

// A reused name replaces and deletes the old controller; automatic names
// are distinct.
TEST(ControllerTest, ReusedNamesReplaceAndAutomaticNamesAreDistinct) {
    DynamicWidget w(0.0f, 0.0f);
    w.TweenProperty(L"x", L"move", 100.0f, 10.0f);
    w.TweenProperty(L"x", L"move", -100.0f, 10.0f);
    EXPECT_EQ(w.GetControllerCount(), 1u);
    EXPECT_EQ(w.GetCountedControllers(), 1);  // the first one is gone
    Frames(w, 10);
    EXPECT_FLOAT_EQ(w.mX, -100.0f);

    DynamicWidget a(0.0f, 0.0f), b(0.0f, 0.0f);
    Controller* first = a.TweenProperty(L"x", L"", 1.0f, 1.0f);
    Controller* second = b.TweenProperty(L"y", L"", 1.0f, 1.0f);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->mName.rfind(L"controller", 0), 0u);
    EXPECT_NE(first->mName, second->mName);
    PropertyOscillation* o1 = a.AddOscillation(
        new PropertyOscillation(&a, L"", {{&a.mX, 1.0f}}, 0.0, 10.0, nullptr, 1));
    PropertyClamp* c1 = a.AddClamp(new PropertyClamp(&a, L"", {{&a.mX, 0.0f, 1.0f}}, 1));
    EXPECT_EQ(o1->mName.rfind(L"oscillation", 0), 0u);
    EXPECT_EQ(c1->mName.rfind(L"clamp", 0), 0u);
}

TEST(ControllerTest, UnknownPropertiesGiveNullAndNothingIsAttached) {
    DynamicWidget w(0.0f, 0.0f);
    EXPECT_EQ(w.GetPropertyPointer(L"no_such_thing"), nullptr);
    EXPECT_EQ(w.TweenProperty(L"no_such_thing", L"t", 1.0f, 1.0f, new InQuad()), nullptr);
    EXPECT_FALSE(w.SetPropertyValue(L"no_such_thing", 1.0f));
    // A null target inside a list is dropped, the rest still move.
    w.AddController(new Tweener(&w, L"t", {{nullptr, 0.0f, 1.0f}, {&w.mX, 0.0f, 8.0f}}, 1.0f,
                                nullptr, 1));
    Frames(w, 1);
    EXPECT_EQ(w.mX, 8.0f);
}

// A propeller moves its velocity a step whatever its rate, starts where the
// property stands whatever its start progress, and with rate zero stands
// still without NaN.
TEST(ControllerTest, PropellerMovesItsVelocityPerStep) {
    struct Case {
        float rate;
        float startProgress;
        int frames;
        float x;
    };
    for (const Case& c : {Case{0.5f, 0.0f, 4, 17.0f}, Case{1.0f, 10.0f, 1, 8.0f},
                          Case{0.0f, 0.0f, 3, 5.0f}, Case{0.0f, 0.5f, 3, 5.0f}}) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate << ", start " << c.startProgress);
        DynamicWidget w(5.0f, 0.0f);
        w.AddController(new Propeller(nullptr, &w, L"p", c.rate, c.startProgress, {{&w.mX, 3.0f}}, 1));
        Frames(w, c.frames);
        EXPECT_FLOAT_EQ(w.mX, c.x);
        EXPECT_FALSE(w.IsBusy());  // never finishes, so never counted
    }
}

TEST(ControllerTest, TerminalPropellerFinishesAtItsEnd) {
    DynamicWidget w(0.0f, 0.0f);
    w.AddController(new TerminalPropeller(nullptr, &w, L"tp", 1.0f, 0.0f,
                                          {{&w.mX, 3.0f, 10.0f}}, true, 1));
    Frames(w, 3);
    EXPECT_TRUE(w.HasController(L"tp"));
    Frames(w, 1);  // 12 passes the end: snapped back to 10
    EXPECT_FALSE(w.HasController(L"tp"));
    EXPECT_EQ(w.mX, 10.0f);

    // Starting at its end it finishes in its first update, whichever way it pushes.
    for (float velocity : {0.0f, 2.0f, -2.0f}) {
        DynamicWidget already(4.0f, 0.0f);
        TerminalPropeller done(nullptr, &already, L"d", 1.0f, 0.0f,
                               {{&already.mX, velocity, 4.0f}}, false, 1);
        EXPECT_TRUE(done.Update(1.0f)) << "velocity " << velocity;
    }
}

TEST(ControllerTest, CirclerTurnsCounterClockwiseOnScreen) {
    DynamicWidget w(110.0f, 100.0f);
    w.MoveInCircle(100, 100, 90.0f, 10.0f, nullptr, L"c");
    Frames(w, 10);
    EXPECT_NEAR(w.mX, 100.0f, 1e-3f);
    EXPECT_NEAR(w.mY, 90.0f, 1e-3f);  // up the screen
    EXPECT_FALSE(w.HasController(L"c"));
}

TEST(ControllerTest, ShearWithAccelCreepsAtTheTerminalVelocityAndDecayStopsIt) {
    DynamicWidget w(0.0f, 0.0f);
    // Default speed (-1 becomes 0.01); accel 1 overshoots the terminal
    // velocity at once, so the shear creeps 0.01 a step.
    w.StartShear(0.0f, 0.0f, 1.0f, 1.0f, -1.0f, 10.0f, Shearer::kKeep, L"s");
    Frames(w, 1);
    EXPECT_NEAR(w.mShearX, 0.01f, 1e-6f);
    Frames(w, 99);
    EXPECT_NEAR(w.mShearX, 1.0f, 1e-3f);
    EXPECT_TRUE(w.HasController(L"s"));
    w.StopController(L"s");
    EXPECT_FALSE(w.IsBusy());

    // Decay stops the motion short of the target.
    w.StartShear(0.0f, 0.0f, 0.5f, 0.0f, 1.0f, 100.0f, Shearer::kKeep, L"s");
    Frames(w, 40);
    EXPECT_FALSE(w.HasController(L"s"));
    EXPECT_LT(w.mShearX, 100.0f);
    EXPECT_GT(w.mShearX, 1.0f);
}

TEST(ControllerTest, BinderReadsItsOwnTime) {
    DynamicWidget w(0.0f, 0.0f);
    VariableMap scope{{L"base", ScriptValue(100)}};
    w.AddController(new Binder(&w, L"b", {{&w.mX, L"base + time_ptr * 2"}}, 1, scope));
    Frames(w, 3);
    EXPECT_FLOAT_EQ(w.mX, 106.0f);
    EXPECT_FALSE(w.IsBusy());
}

// Stopped with undo an oscillation leaves the value set meanwhile exactly;
// without, its last offset stays.
TEST(ControllerTest, OscillationStoppedWithUndoLeavesTheSetValueElseItsLastOffset) {
    DynamicWidget w(0.0f, 0.0f);
    w.SetBasePropertyValue(L"x", 37.3f);
    w.AddOscillation(new PropertyOscillation(&w, L"o", {{&w.mX, 10.0f}}, 0.1, 7.0,
                                             new SineWave(), 1));
    Frames(w, 13, 0.37f);
    EXPECT_NE(w.mX, 37.3f);
    w.SetBasePropertyValue(L"x", 55.1f);
    Frames(w, 5, 0.29f);
    w.StopOscillation(L"o", true);
    EXPECT_EQ(w.mX, 55.1f);

    w.SetBasePropertyValue(L"x", 0.0f);
    w.AddOscillation(
        new PropertyOscillation(&w, L"o", {{&w.mX, 10.0f}}, 0.0, 4.0, new SineWave(), 1));
    Frames(w, 1);  // a quarter cycle: the top
    EXPECT_FLOAT_EQ(w.mX, 10.0f);
    w.StopAllOscillations(false);
    EXPECT_FLOAT_EQ(w.mX, 10.0f);
}

TEST(ControllerTest, ClampsOverATweenShowTheBoundAndUndoShowsTheTween) {
    DynamicWidget w(0.0f, 0.0f);
    w.TweenProperty(L"x", L"t", 150.0f, 10.0f);
    w.AddClamp(new PropertyClamp(&w, L"c", {{&w.mX, 0.0f, 100.0f}}, 1));
    Frames(w, 12);
    EXPECT_EQ(w.mX, 100.0f);
    w.UndoModifiers();
    EXPECT_EQ(w.mX, 150.0f);
    w.ApplyModifiers(0.0f);
    w.StopClamp(L"c", true);
    EXPECT_EQ(w.mX, 150.0f);

    // Two clamps on one field unwind in order.
    w.AddClamp(new PropertyClamp(&w, L"a", {{&w.mX, 0.0f, 100.0f}}, 1));
    w.AddClamp(new PropertyClamp(&w, L"b", {{&w.mX, 0.0f, 50.0f}}, 1));
    EXPECT_EQ(w.mX, 50.0f);
    w.StopAllClamps(true);
    EXPECT_EQ(w.mX, 150.0f);
}

TEST(ControllerTest, OscillationAndTweenLayeringKeepsTheBase) {
    DynamicWidget w(0.0f, 0.0f);
    w.AddOscillation(
        new PropertyOscillation(&w, L"o", {{&w.mX, 5.0f}}, 0.0, 8.0, new ZigZagWave(), 1));
    w.TweenProperty(L"x", L"t", 40.0f, 10.0f);
    Frames(w, 3);
    // The wave rides on the tween: undone, the tween's own value shows.
    w.UndoModifiers();
    EXPECT_FLOAT_EQ(w.mX, 12.0f);
    w.ApplyModifiers(0.0f);
    Frames(w, 10);
    EXPECT_FALSE(w.HasController(L"t"));
    w.StopOscillation(L"o", true);
    EXPECT_EQ(w.mX, 40.0f);
}

// Changes its widget's controllers from inside its own update, as code
// reached through a property notification may.
class MeddlingController : public Controller {
public:
    MeddlingController(DynamicWidget* widget, int mode)
        : Controller(L"meddler", widget, 0.0f, 1.0f, nullptr, 1, true), mMode(mode) {}
    bool Update(float /*dt*/) override {
        if (mMode == 0) mWidget->StopController(L"meddler");  // itself
        if (mMode == 1) mWidget->StopAllControllers();
        if (mMode == 2) {
            mWidget->StopController(L"zz_later");
            mWidget->TweenProperty(L"y", L"aa_new", 5.0f, 1.0f);
        }
        mProgress += 1.0f;  // still alive here
        return mMode == 2;
    }
    int mMode;
};

TEST(ControllerTest, ControllersMayChangeTheMapWhileTheyAreStepped) {
    for (int mode = 0; mode < 3; ++mode) {
        DynamicWidget w(0.0f, 0.0f);
        w.TweenProperty(L"x", L"aa_first", 10.0f, 10.0f);
        w.AddController(new MeddlingController(&w, mode));
        w.TweenProperty(L"x", L"zz_later", 10.0f, 10.0f);
        w.UpdateF(1.0f);
        EXPECT_FALSE(w.HasController(L"meddler")) << mode;
        EXPECT_EQ(w.HasController(L"zz_later"), mode == 0) << mode;
        if (mode == 2) {
            EXPECT_TRUE(w.HasController(L"aa_new"));
            EXPECT_TRUE(w.HasController(L"aa_first"));
        }
        w.UpdateF(1.0f);
        EXPECT_EQ(w.GetCountedControllers(), static_cast<int>(w.GetControllerCount())) << mode;
    }
}

TEST(ControllerTest, ArcRisesAndLandsOnTheEndPoint) {
    DynamicWidget w(0.0f, 100.0f);
    w.ArcTo(100, 100, 10.0f, 30, 10, L"arc");
    Frames(w, 5);
    EXPECT_FLOAT_EQ(w.mX, 50.0f);
    EXPECT_FLOAT_EQ(w.mY, 70.0f);  // 30 above the line at the middle
    Frames(w, 5);
    EXPECT_EQ(w.mX, 100.0f);
    EXPECT_EQ(w.mY, 100.0f);
    EXPECT_FALSE(w.IsBusy());
}

}  // namespace
