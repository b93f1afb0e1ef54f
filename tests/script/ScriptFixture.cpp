#include "tests/script/ScriptFixture.h"

#include "data/AssetManager.h"
#include "platform/FileSystem.h"
#include "widgets/Widget.h"

namespace {

ScriptStep Probe(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<ProbeScript&>(w).mLog.push_back(w.GetStringAttribute(L"v"));
    return ScriptStep::Next;
}

ScriptStep Hold(AnimationWidget&, const AnimationCommand&, DynamicWidget*) {
    return ScriptStep::Stop;
}

ScriptStep Replay(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    w.PlayAnimationByName(w.GetStringAttribute(L"animation"));
    return ScriptStep::Next;
}

// A handler that inserts an animation (a screen naming what was chosen) and
// is done.
ScriptStep InsertProbe(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<ProbeScript&>(w).mLog.push_back(L"cmd");
    w.InsertAnimationByName(w.GetStringAttribute(L"animation"));
    return ScriptStep::Next;
}

ScriptStep AppProbe(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<ProbeApp*>(gGameApp)->mLog.push_back(w.GetStringAttribute(L"v"));
    return ScriptStep::Next;
}

[[maybe_unused]] const bool kRegistered = [] {
    ScriptCommandRegistry& registry = ScriptCommandRegistry::Instance();
    registry.AddClassCommand<ProbeScript>(L"probe", &Probe);
    registry.AddClassCommand<ProbeScript>(L"hold", &Hold);
    registry.AddClassCommand<ProbeScript>(L"replay", &Replay);
    registry.AddClassCommand<ProbeScript>(L"insert-probe", &InsertProbe);
    return true;
}();

}  // namespace

ProbeApp::ProbeApp() : GameApp("Script Test", "1", 1024, 768) {
    ScriptCommandRegistry::Instance().AddGameCommand(L"app-probe", &AppProbe);
}

void ProbeScript::ScriptEnded() {
    ++mEnded;
    AnimationWidget::ScriptEnded();
}

void ProbeScript::DoAction(const std::wstring& action, const std::wstring& parameter,
                           int object) {
    mEvents.push_back(L"do:" + action + L"/" + parameter + L"/" + std::to_wstring(object));
}

void ProbeScript::AnimationComplete(int id) {
    mEvents.push_back(L"complete:" + std::to_wstring(id));
    AnimationWidget::AnimationComplete(id);
}

void ProbeScript::AnimationPersist(int id) {
    mEvents.push_back(L"persist:" + std::to_wstring(id));
}

void ProbeScript::AnimationMessage(int id, const std::wstring& message) {
    mEvents.push_back(L"message:" + std::to_wstring(id) + L":" + message);
}

ProbeApp& ScriptTest::Boot() {
    return mHarness.Boot<ProbeApp>();
}

void ScriptTest::SetUp() {
    mApp = &Boot();
    ASSERT_TRUE(mHarness.InitSucceeded());
    mManager = mApp->mWidgetManager;
}

void ScriptTest::TearDown() {
    if (!mManager) return;
    std::vector<Widget*> left = mManager->GetWidgets();
    for (Widget* widget : left) widget->RemoveSelf();
    mHarness.RunSteps(1);
}

void ScriptTest::LoadGameDataAndShowcase() {
    mApp->LoadGameData();
    // The harness runs the game in its data folder.
    mOverlay.emplace(PlatformCurrentDirectory());
    std::string error;
    ASSERT_TRUE(LoadAnimationsFile("properties/animations_tests.xml", &error)) << error;
    ASSERT_TRUE(gAssetManager->LoadDefinitions("properties/assets_showcase.xml", &error)) << error;
    ASSERT_TRUE(gAssetManager->LoadGroup("ShowcaseAssets"));
}

void ScriptTest::Load(const std::string& animations) {
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimationsFromString("<animations>" + animations + "</animations>",
                                                "script-test.xml"))
        << loader.GetErrorText();
    loader.Publish();
}

ProbeScript* ScriptTest::Run(const std::wstring& animation, bool removeWhenDone) {
    auto* widget = new ProbeScript(animation, removeWhenDone);
    mManager->AddWidget(widget);
    return widget;
}

ProbeScript* ScriptTest::Idle(WidgetContainer* parent) {
    auto* widget = new ProbeScript();
    (parent ? parent : mManager)->AddWidget(widget);
    return widget;
}

DynamicWidget* ScriptTest::AddObject(AnimationWidget* owner, const wchar_t* name) {
    auto* object = new DynamicWidget(0.0f, 0.0f);
    owner->AddNamedObject(name, object);
    return object;
}

void ScriptTest::Drag(Point from, std::initializer_list<Point> path, bool release) {
    mHarness.MouseMove(from.mX, from.mY);
    mHarness.MouseDown(from.mX, from.mY);
    Point last = from;
    for (Point p : path) {
        mHarness.MouseMove(p.mX, p.mY);
        last = p;
    }
    if (release) mHarness.MouseUp(last.mX, last.mY);
    mHarness.DrainInput();
    mHarness.RunSteps(1);
}

std::wstring ScriptTest::Joined(const std::vector<std::wstring>& log) {
    std::wstring out;
    for (size_t i = 0; i < log.size(); ++i) {
        if (i) out += L",";
        out += log[i];
    }
    return out;
}
