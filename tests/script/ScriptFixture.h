#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "data/Animation.h"
#include "data/AnimationStats.h"
#include "tests/support/AppHarness.h"
#include "tests/support/TestOverlay.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"
#include "widgets/WidgetManager.h"

// A script widget that records what its scripts show it, through commands
// registered for its class:
//   <probe v="expr"/>  logs the value's text and is done (Next);
//   <hold/>            stops the script on itself (Stop);
//   <replay animation="name"/> plays another animation on this widget;
//   <insert-probe animation="name"/> logs "cmd" and inserts another animation.
// It also records what its spawned animations report.
class ProbeScript : public AnimationWidget {
public:
    explicit ProbeScript(const std::wstring& animation, bool removeWhenDone = false)
        : AnimationWidget(animation, 0.0f, 0.0f, removeWhenDone) {}
    ProbeScript() : AnimationWidget(0.0f, 0.0f, nullptr, 1.0f) {}

    void ScriptEnded() override;
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void AnimationComplete(int id) override;
    void AnimationPersist(int id) override;
    void AnimationMessage(int id, const std::wstring& message) override;

    std::vector<std::wstring> mLog;
    std::vector<std::wstring> mEvents;  // listener reports and actions
    int mEnded = 0;
};

// The game's command: <app-probe v="expr"/> is logged by the application.
class ProbeApp : public GameApp {
public:
    ProbeApp();
    std::vector<std::wstring> mLog;
};

class ScriptTest : public ::testing::Test {
public:
    // The joined log: "0,1,2".
    static std::wstring Joined(const std::vector<std::wstring>& log);

protected:
    void SetUp() override;
    void TearDown() override;
    // The application booted for the test; a fixture may boot one of its own.
    virtual ProbeApp& Boot();

    // Publishes the animations of an animations.xml body (the <animation>
    // elements), replacing the whole table.
    void Load(const std::string& animations);
    // The game's tables, as the loading thread loads them, then the test
    // overlay's object showcase: its animations beside the game's, and its
    // pictures.
    void LoadGameDataAndShowcase();
    // A probe widget in the manager, running the named animation.
    ProbeScript* Run(const std::wstring& animation, bool removeWhenDone = false);
    // A probe widget running nothing, in `parent` (the manager when none).
    ProbeScript* Idle(WidgetContainer* parent = nullptr);
    // A plain object named `name` among `owner`'s, at (0, 0).
    static DynamicWidget* AddObject(AnimationWidget* owner, const wchar_t* name);
    // Presses at `from`, moves through the points, releases at the last one
    // (unless told not to) and runs a step.
    void Drag(Point from, std::initializer_list<Point> path, bool release = true);
    // The widget a script variable holds.
    template <class T = AnimationWidget>
    static T* Held(AnimationWidget* w, const wchar_t* variable) {
        return dynamic_cast<T*>(w->GetVariable(variable).GetObject());
    }

    // Before the harness, so that it goes after the application: pictures
    // are read again from their files as long as they are drawn.
    std::optional<LaidTestOverlay> mOverlay;
    AppHarness mHarness;
    ProbeApp* mApp = nullptr;
    WidgetManager* mManager = nullptr;
};
