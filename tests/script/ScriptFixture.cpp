#include "tests/script/ScriptFixture.h"

#include "widgets/Widget.h"

int ProbeScript::HandleCommand(const AnimationCommand& command) {
    if (command.mName == L"probe") {
        mLog.push_back(GetStringAttribute(L"v"));
        return 2;
    }
    if (command.mName == L"hold") return 1;
    if (command.mName == L"replay") {
        PlayAnimationByName(GetStringAttribute(L"animation"));
        return 2;
    }
    return 0;
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

int ProbeApp::HandleScriptCommand(const AnimationCommand& command, AnimationWidget* widget) {
    mSeen.push_back(command.mName);
    if (command.mName != L"app-probe") return 0;
    mLog.push_back(widget->GetStringAttribute(L"v"));
    return 2;
}

void ScriptTest::SetUp() {
    mApp = &mHarness.Boot<ProbeApp>();
    ASSERT_TRUE(mHarness.InitSucceeded());
    mManager = mApp->mWidgetManager;
}

void ScriptTest::TearDown() {
    if (!mManager) return;
    std::vector<Widget*> left = mManager->GetWidgets();
    for (Widget* widget : left) widget->RemoveSelf();
    mHarness.RunSteps(1);
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

std::wstring ScriptTest::Joined(const std::vector<std::wstring>& log) {
    std::wstring out;
    for (size_t i = 0; i < log.size(); ++i) {
        if (i) out += L",";
        out += log[i];
    }
    return out;
}
