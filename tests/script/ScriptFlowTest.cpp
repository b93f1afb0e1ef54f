#include "tests/script/ScriptFixture.h"

#include "core/Log.h"
#include "widgets/OverlayAnimation.h"

// Loops, conditions, subroutines, hooks and the end of a run.

namespace {

using Flow = ScriptTest;

// Animations the cases below call or queue.
const char* kCalled = R"(
  <animation name="sum"><probe v="x + y"/><assign name="'inside'" value="1"/></animation>
  <animation name="inner"><probe v="'in'"/><break/><probe v="'never'"/></animation>
  <animation name="skip_odd"><if cond="i % 2 == 1"><continue/></if></animation>
  <animation name="sub"><probe v="'sub'"/></animation>
  <animation name="later"><probe v="'later'"/></animation>
  <animation name="later_i"><probe v="'later ' + i"/></animation>
  <animation name="second"><probe v="2"/></animation>
  <animation name="extra"><probe v="extra"/></animation>
  <animation name="plain"><if cond="true"><probe v="'in'"/></if><probe v="'after'"/></animation>
  <animation name="inserted"><probe v="'in'"/></animation>
  <animation name="down"><if cond="n &lt; 300"><assign name="'n'" value="n + 1"/>
    <call animation="down"/><assign name="'total'" value="total + 1"/></if></animation>
)";

// Each script runs to its end at once, once, with nothing left on its stacks,
// and a widget made to go when done leaves.
TEST_F(Flow, LoopsConditionsAndCallsRunInOrder) {
    struct Case {
        const char* body;
        const wchar_t* log;
    };
    const Case cases[] = {
        // "for" runs up to but not including "to", either way.
        {R"(<for name="i" from="0" to="3"><probe v="i"/></for><probe v="'end ' + i"/>)", L"0,1,2,end 3"},
        {R"(<for name="i" from="2" to="2"><probe v="i"/></for><probe v="'end ' + i"/>)", L"end 2"},
        {R"(<for name="i" from="5" to="0"><probe v="i"/></for><probe v="'end ' + i"/>)", L"5,4,3,2,1,end 0"},
        {R"(<for name="i" from="0" to="10" inc="3"><probe v="i"/></for><probe v="'end ' + i"/>)", L"0,3,6,9,end 12"},
        // A step of 0 runs no pass.
        {R"(<for name="i" from="0" to="4" inc="0"><probe v="i"/></for><probe v="'end ' + i"/>)", L"end 0"},
        {R"(<for name="i" from="1" step="i*2" cond="i &lt; 20"><probe v="i"/></for><probe v="'end ' + i"/>)",
         L"1,2,4,8,16,end 32"},
        {R"(<for name="i" from="1" to="5" cond="false"><probe v="i"/></for><probe v="'end ' + i"/>)", L"end 1"},
        {R"(<loop count="3"><probe v="'x'"/></loop><probe v="'done'"/>)", L"x,x,x,done"},
        {R"(<loop count="0"><probe v="'x'"/></loop><probe v="'done'"/>)", L"done"},
        {R"(<define n="0"/><loop cond="n &lt; 4"><assign name="'n'" value="n + 1"/></loop><probe v="n"/>)", L"4"},
        {R"(<define n="0"/><loop count="2" cond="n &lt; 9"><assign name="'n'" value="n + 1"/></loop><probe v="n"/>)",
         L"2"},
        {R"(<loop count="5"/><probe v="'done'"/>)", L"done"},
        // The pass end still applies the step once after "break".
        {R"(<for name="i" from="0" to="10"><probe v="i"/><if cond="i == 2"><break/></if></for><probe v="'end ' + i"/>)",
         L"0,1,2,end 3"},
        {R"(<for name="i" from="0" to="4"><if cond="i == 1"><continue/></if><probe v="i"/></for><probe v="'end ' + i"/>)",
         L"0,2,3,end 4"},
        {R"(<loop><probe v="'pass'"/><break/><probe v="'never'"/></loop><probe v="'after'"/>)", L"pass,after"},
        {R"(<for name="i" from="0" to="2"><for name="j" from="0" to="3"><if cond="j == 1"><break/></if>
            <probe v="i * 10 + j"/></for></for><probe v="'end'"/>)",
         L"0,10,end"},
        {R"(<break/><continue/><probe v="'went on'"/>)", L"went on"},
        // "break" and "continue" inside a call act on the caller's loop.
        {R"(<loop><probe v="'pass'"/><call animation="inner"/><probe v="'never2'"/></loop><probe v="'after'"/>)",
         L"pass,in,after"},
        {R"(<for name="i" from="0" to="3"><call animation="skip_odd"/><probe v="i"/></for>)", L"0,2"},
        // The caller's locals are the callee's: the arguments overwrite them.
        {R"(<define x="1" y="'a'"/><call animation="sum" x="5" y="'b'"/><probe v="x + y + inside"/>
            <call animation="missing" x="9"/><probe v="x"/>)",
         L"5b,5b1,5"},
        // Two frames a level (the call and the "if" body).
        {R"(<define n="0" total="0"/><call animation="down"/><probe v="total"/>)", L"300"},
        {R"(<if cond="1 == 2"><probe v="'no'"/></if><if cond="true"><probe v="'yes'"/></if>
            <unless cond="true"><probe v="'no'"/></unless><unless cond="false"><probe v="'yes2'"/></unless>)",
         L"yes,yes2"},
        {R"(<probe v="'a'" if="false"/><probe v="'b'" if=""/><probe v="'c'" unless="true"/>
            <probe v="'d'" if="true" unless="false"/>)",
         L"b,d"},
        // A record whose guard fails still has its children run.
        {R"(<probe v="'parent'" if="false"><probe v="'child'"/></probe><probe v="'next'"/>)", L"child,next"},
        // An untargeted command with a resolved id is ignored.
        {R"(<if cond="false" id="self"><probe v="'child'"/></if><probe v="'next'"/>)", L"child,next"},
        {R"(<if cond="false" id="nobody"><probe v="'child'"/></if><probe v="'next'"/>)", L"next"},
        {R"(<stop id="nobody"/><probe v="'went on'"/><stop/><probe v="'never'"/>)", L"went on"},
        {R"(<never-registered-command a="1"/><probe v="'went on'"/>)", L"went on"},
        // Playing on the same widget ends the current run.
        {R"(<probe v="1"/><replay animation="'second'"/><probe v="'never'"/>)", L"1,2"},
        {R"(<probe v="1"/><play-in id="self" animation="'extra'" extra="7"/><probe v="'never'"/>)", L"1,7"},
        // A replaced script leaves no loop behind.
        {R"(<loop><probe v="'pass'"/><replay animation="'plain'"/></loop>)", L"pass,in,after"},
        // An insert from a running command resumes after it, in a loop's body
        // too, and the command runs once.
        {R"(<for name="i" from="0" to="2"><insert-probe animation="'inserted'"/><probe v="i"/></for><probe v="'end'"/>)",
         L"cmd,in,0,cmd,in,1,end"},
        // "load-after" runs when everything pending is done; inside a loop each
        // queued animation goes under the loop's frames on the call stack.
        {R"(<load-after animation="'later'"/><probe v="'now'"/><call animation="sub"/>)", L"now,sub,later"},
        {R"(<for name="i" from="0" to="3"><probe v="i"/><load-after animation="'later_i'"/></for><probe v="'after'"/>)",
         L"0,1,2,after,later 3,later 3,later 3"},
    };
    std::string animations = kCalled;
    for (size_t i = 0; i < std::size(cases); ++i)
        animations += "<animation name=\"case" + std::to_string(i) + "\">" + cases[i].body + "</animation>";
    Load(animations);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].body);
        ProbeScript* w = Run(L"case" + std::to_wstring(i), true);
        EXPECT_EQ(Joined(w->mLog), cases[i].log);
        EXPECT_TRUE(w->IsScriptFinished());
        EXPECT_EQ(w->mEnded, 1);
        EXPECT_EQ(w->mParent, nullptr);  // made to go when done
        EXPECT_TRUE(w->mCallStack.empty());
        EXPECT_TRUE(w->mLoopStack.empty());
    }
}

// One name registered at every stage: the running widget's class, another
// class, the game and the built-ins. Each stage that declines passes it on.
std::vector<std::wstring> gOffers;

ScriptStep Offer(const wchar_t* stage, AnimationWidget& w) {
    gOffers.push_back(stage);
    return w.GetStringAttribute(L"taker") == stage ? ScriptStep::Next : ScriptStep::NotMine;
}

TEST_F(Flow, RegistryOffersTheClassThenTheGameThenTheBuiltIn) {
    ScriptCommandRegistry& registry = ScriptCommandRegistry::Instance();
    registry.AddClassCommand<OverlayAnimation>(L"offer", [](AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
        return Offer(L"other class", w);
    });
    registry.AddClassCommand<ProbeScript>(L"offer", [](AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
        return Offer(L"class", w);
    });
    registry.AddGameCommand(L"offer", [](AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
        return Offer(L"game", w);
    });
    registry.AddBuiltIn(L"offer", ScriptCommandGroup::Always,
                        [](AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
                            return Offer(L"built-in", w);
                        });
    Load(R"(<animation name="offers"><offer taker="'class'"/><offer taker="'game'"/>
      <offer taker="'built-in'"/><offer taker="'nobody'"/><probe v="'on'"/><app-probe v="2"/></animation>)");
    ProbeScript* w = Run(L"offers");
    EXPECT_EQ(Joined(gOffers),
              L"class,class,game,class,game,built-in,class,game,built-in");
    EXPECT_EQ(Joined(w->mLog), L"on");
    EXPECT_EQ(Joined(mApp->mLog), L"2");
}

TEST_F(Flow, HookStopLeavesTheIndexOnItsCommand) {
    Load(R"(<animation name="held"><probe v="1"/><hold/><probe v="2"/></animation>)");
    ProbeScript* w = Run(L"held");
    EXPECT_EQ(Joined(w->mLog), L"1");
    ASSERT_NE(w->GetCurrentCommand(), nullptr);
    EXPECT_EQ(w->GetCurrentCommand()->mName, L"hold");
    EXPECT_EQ(w->mWaitState, WaitState::Running);
    mHarness.RunSteps(3);  // nothing resumes it by polling
    EXPECT_EQ(Joined(w->mLog), L"1");
    EXPECT_FALSE(w->RunScript(true));
    EXPECT_EQ(Joined(w->mLog), L"1,2");
    EXPECT_EQ(w->mEnded, 1);
}

TEST_F(Flow, PersistSignalAndDo) {
    Load(R"(
      <animation name="owner"><play animation="kid" id="'k'"/><play animation="quiet" id="'q'"/><do action="'open'" parameter="'map'" object="3"/></animation>
      <animation name="kid"><signal message="'hello'"/><signal message="'complete'" stop="true"/><define late="1"/></animation>
      <animation name="quiet"><persist/><define late="1"/></animation>
    )");
    ProbeScript* w = Run(L"owner");
    auto* kid = dynamic_cast<AnimationWidget*>(w->GetVariable(L"k").GetObject());
    auto* quiet = dynamic_cast<AnimationWidget*>(w->GetVariable(L"q").GetObject());
    ASSERT_NE(kid, nullptr);
    ASSERT_NE(quiet, nullptr);
    std::wstring k = std::to_wstring(kid->mId), q = std::to_wstring(quiet->mId);
    EXPECT_EQ(Joined(w->mEvents),
              L"message:" + k + L":hello,message:" + k + L":complete,complete:" + k +
                  L",persist:" + q + L",do:open/map/3");
    // "signal" with "stop" halts the script at that command.
    EXPECT_FALSE(kid->HasVariable(L"late"));
    EXPECT_FALSE(kid->IsScriptFinished());
    EXPECT_EQ(kid->mWaitState, WaitState::Running);
    EXPECT_EQ(quiet->mWaitState, WaitState::Persist);
    EXPECT_FALSE(quiet->IsBusy());
    EXPECT_FALSE(quiet->HasVariable(L"late"));
    mHarness.RunSteps(2);
    EXPECT_FALSE(quiet->HasVariable(L"late"));
}

TEST_F(Flow, PrintAndBreakpointReport) {
    Load(R"(<animation name="talk"><print message="'n=' + 3"/><breakpoint message="raw + text"/><breakpoint/><probe v="'after'"/></animation>)");
    testing::internal::CaptureStderr();
    ProbeScript* w = Run(L"talk");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Joined(w->mLog), L"after");
    EXPECT_NE(err.find("Message: raw + text"), std::string::npos) << err;
    EXPECT_NE(err.find("n=3\n"), std::string::npos) << err;
}

// Reported once per name, with the file and line of its first use: at load
// for names nothing registered, at run for records built by hand.
TEST_F(Flow, UnknownCommandsAreReportedOnceWithFileAndLine) {
    SetDebugOutputEnabled(true);
    testing::internal::CaptureStderr();
    Load("<animation name=\"typos\">\n<misnamed-here/>\n<misnamed-here/>\n"
         "<asign name=\"'n'\" value=\"1\"/>\n<probe v=\"'on'\"/></animation>");
    std::string loaded = testing::internal::GetCapturedStderr();
    AnimationTable table;
    AnimationCommand handMade;
    handMade.mName = L"hand-made-command";
    handMade.mLine = 9;
    table[L"hand"].mCommands = {handMade, handMade};
    table[L"typos"] = GetAnimation(L"typos");
    PublishAnimations(std::move(table));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Joined(Run(L"typos")->mLog), L"on");
        Run(L"hand");
    }
    std::string ran = testing::internal::GetCapturedStderr();
    EXPECT_EQ(loaded,
              "Unknown script command 'misnamed-here' at script-test.xml:2 does nothing\n"
              "Unknown script command 'asign' at script-test.xml:4 does nothing (did you mean 'assign'?)\n");
    EXPECT_EQ(ran, "Unknown script command 'hand-made-command' at (no file):9 does nothing\n");
}

TEST_F(Flow, AnEndlessRecursionStopsAtTheCapAndSaysSoOnce) {
    Load(R"(
      <animation name="rec"><assign name="'n'" value="n + 1"/><call animation="rec"/></animation>
      <animation name="main"><define n="0"/><call animation="rec"/><probe v="'back'"/></animation>
    )");
    testing::internal::CaptureStderr();
    ProbeScript* w = Run(L"main");
    mHarness.RunSteps(3);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Joined(w->mLog), L"back");
    size_t first = err.find("'rec' not called");
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("'rec' not called", first + 1), std::string::npos) << err;  // once
    EXPECT_EQ(w->GetVariable(L"n").ToInt(), static_cast<int>(kMaxScriptCallDepth));
    EXPECT_TRUE(w->IsScriptFinished());
}

TEST_F(Flow, AnEndlessLoopYieldsToTheNextFrame) {
    Load(R"(
      <animation name="spin"><define n="0" stop="false"/><loop cond="!stop"><assign name="'n'" value="n + 1"/></loop><probe v="'out'"/></animation>
      <animation name="calls"><define stop="false"/><loop cond="!stop"><call animation="nothing"/></loop><probe v="'out'"/></animation>
      <animation name="nothing"/>
    )");
    ProbeScript* w = Run(L"spin");
    EXPECT_FALSE(w->IsScriptFinished());
    int first = w->GetVariable(L"n").ToInt();
    EXPECT_GT(first, 1000);
    mHarness.RunSteps(1);
    int second = w->GetVariable(L"n").ToInt();
    EXPECT_GT(second, first);  // it goes on each frame
    w->SetVariable(L"stop", ScriptValue(true));
    mHarness.RunSteps(2);
    EXPECT_EQ(Joined(w->mLog), L"out");
    EXPECT_TRUE(w->IsScriptFinished());

    // A loop of calls to an empty animation never advances on its own.
    ProbeScript* c = Run(L"calls");
    EXPECT_FALSE(c->IsScriptFinished());
    c->SetVariable(L"stop", ScriptValue(true));
    mHarness.RunSteps(2);
    EXPECT_EQ(Joined(c->mLog), L"out");
}

}  // namespace
