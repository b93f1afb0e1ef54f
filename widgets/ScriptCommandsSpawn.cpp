#include "widgets/Menu.h"
#include "widgets/AnimationWidget.h"
#include "widgets/OverlayAnimation.h"
#include "widgets/ScriptCommands.h"

// Commands that start further animations: "play" and "spawn" make scripted
// widgets that report to this one, "overlay" one over the whole screen.

namespace {

bool IsOneOf(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* n : names)
        if (name == n) return true;
    return false;
}

// The command's other attributes become the new widget's variables, evaluated
// by the widget that runs the command.
void PassAttributes(AnimationWidget& from, const AnimationCommand& c, AnimationWidget& to,
                    std::initializer_list<const wchar_t*> skip) {
    for (const auto& [name, attribute] : c.mAttributes) {
        if (IsOneOf(name, skip)) continue;
        to.SetVariable(name, ScriptCommands::Evaluate(from, attribute));
    }
}

}  // namespace

ScriptStep ScriptCommands::Play(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"animation");
    if (!AnimationExists(name)) return ScriptStep::Next;
    float x = static_cast<float>(Evaluate(w, c, L"x").ToInt());
    float y = static_cast<float>(Evaluate(w, c, L"y").ToInt());
    bool remove = EvaluateBool(w, c, L"remove", true);
    int depth = Evaluate(w, c, L"depth").ToInt();
    std::wstring id = EvaluateText(w, c, L"id");

    auto* widget = new AnimationWidget(name, x, y, remove);
    widget->mZOrder = depth;
    w.AddSpawnedAnimation(widget);
    PassAttributes(w, c, *widget, {L"id", L"animation", L"x", L"y", L"depth", L"remove"});
    w.AddNamedObject(id, widget);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Spawn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"animation");
    if (!AnimationExists(name)) return ScriptStep::Next;
    AnimationWidget* adopter = &w;
    if (c.HasAttribute(L"parent")) {
        adopter = dynamic_cast<AnimationWidget*>(w.FindScriptObject(L"parent"));
        // Nothing would ever add or remove it: make none.
        if (!adopter) return ScriptStep::Next;
    }
    bool remove = EvaluateBool(w, c, L"remove", true);
    bool named = c.HasAttribute(L"id");
    std::wstring id = named ? EvaluateText(w, c, L"id") : std::wstring();

    auto* widget = new AnimationWidget(name, 0.0f, 0.0f, remove);
    w.AddSpawnedAnimation(widget);
    widget->SetCurrentLayer(w.GetCurrentLayer());
    widget->GetVariables() = w.GetVariables();
    widget->SetVariable(L"self", ScriptValue(static_cast<ScriptObject*>(widget)));
    PassAttributes(w, c, *widget, {L"id", L"animation", L"remove"});
    if (named)
        adopter->AddNamedObject(id, widget);
    else
        adopter->AddWidget(widget);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Overlay(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"animation");
    if (!AnimationExists(name)) return ScriptStep::Next;
    bool named = c.HasAttribute(L"id");
    std::wstring id = named ? EvaluateText(w, c, L"id") : std::wstring();

    auto* overlay = new OverlayAnimation(name);
    w.RemovalListener::WatchWidget(overlay);
    w.AddSpawnedAnimation(overlay);
    PassAttributes(w, c, *overlay, {L"id", L"animation"});
    if (named) w.SetVariable(id, ScriptValue(static_cast<ScriptObject*>(overlay)));
    w.mNamedObjects[overlay->mId] = overlay;
    // Without an owning menu the script's own layer takes it.
    WidgetContainer* parent = w.mMenu ? static_cast<WidgetContainer*>(w.mMenu) : w.GetCurrentLayer();
    parent->AddWidget(overlay);
    return ScriptStep::Next;
}
