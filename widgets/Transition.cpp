#include "widgets/Transition.h"

#include "render/Image.h"
#include "widgets/AppServices.h"

Transition::Transition(const std::wstring& animationName, Menu* newMenu, bool redrawScreenshot)
    : Menu(animationName) {
    mPriority = kPriority;
    mZOrder = kPriority;
    // It covers everything until its script ends: paused under a menu opened
    // meanwhile (a notice), it would hide that menu behind the old picture
    // for good.
    SetPauseWhenCovered(false);
    CaptureScreenshot(redrawScreenshot);
    auto* screenshot = new DynamicWidget(0.0f, 0.0f, mScreenshot.get(), 1.0f);
    screenshot->mCheckPixels = false;
    AddNamedObject(L"screenshot", screenshot);
    if (!newMenu) return;
    if (gAppServices) gAppServices->AddDialog(newMenu);
    SetVariable(L"menu", ScriptValue(static_cast<ScriptObject*>(newMenu)));
}

void Transition::ScriptEnded() {
    Menu::ScriptEnded();
    RemoveSelf();
}
