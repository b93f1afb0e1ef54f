#include "data/BasicPlayerState.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// Script variables in their three scopes: the running widget's own map, the
// map of another AnimationWidget named by "id", and the current player's map
// (the globals, saved with the profile; without a player they do nothing).
// "undefine" forms take the name as written, "unassign" forms evaluate it.

namespace {

// Every attribute except `skip` becomes a variable of `into`, evaluated by
// the running widget.
void DefineAll(AnimationWidget& w, const AnimationCommand& c, VariableMap& into,
               const wchar_t* skip) {
    for (const auto& [name, attribute] : c.mAttributes) {
        if (skip && name == skip) continue;
        ScriptValue value = ScriptCommands::Evaluate(w, attribute);
        into[name] = std::move(value);
    }
}

VariableMap* Globals() { return gCurrentPlayerState ? &gCurrentPlayerState->mVariables : nullptr; }

}  // namespace

// --- Local --------------------------------------------------------------------------

ScriptStep ScriptCommands::Define(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    DefineAll(w, c, w.GetVariables(), nullptr);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Assign(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"name");
    w.SetVariable(name, Evaluate(w, c, L"value"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Undefine(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    w.EraseVariable(c.GetAttribute(L"name"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Unassign(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    w.EraseVariable(EvaluateText(w, c, L"name"));
    return ScriptStep::Next;
}

// --- Global -------------------------------------------------------------------------

ScriptStep ScriptCommands::DefineGlobal(AnimationWidget& w, const AnimationCommand& c,
                                        DynamicWidget*) {
    if (VariableMap* globals = Globals()) DefineAll(w, c, *globals, nullptr);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AssignGlobal(AnimationWidget& w, const AnimationCommand& c,
                                        DynamicWidget*) {
    VariableMap* globals = Globals();
    if (!globals) return ScriptStep::Next;
    std::wstring name = EvaluateText(w, c, L"name");
    (*globals)[name] = Evaluate(w, c, L"value");
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UndefineGlobal(AnimationWidget&, const AnimationCommand& c,
                                          DynamicWidget*) {
    if (VariableMap* globals = Globals()) globals->erase(c.GetAttribute(L"name"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UnassignGlobal(AnimationWidget& w, const AnimationCommand& c,
                                          DynamicWidget*) {
    if (VariableMap* globals = Globals()) globals->erase(EvaluateText(w, c, L"name"));
    return ScriptStep::Next;
}

// --- Another widget's ---------------------------------------------------------------

ScriptStep ScriptCommands::DefineIn(AnimationWidget& w, const AnimationCommand& c,
                                    DynamicWidget* target) {
    if (auto* other = dynamic_cast<AnimationWidget*>(target))
        DefineAll(w, c, other->GetVariables(), L"id");
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AssignIn(AnimationWidget& w, const AnimationCommand& c,
                                    DynamicWidget* target) {
    auto* other = dynamic_cast<AnimationWidget*>(target);
    if (!other) return ScriptStep::Next;
    std::wstring name = EvaluateText(w, c, L"name");
    other->SetVariable(name, Evaluate(w, c, L"value"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UndefineIn(AnimationWidget&, const AnimationCommand& c,
                                      DynamicWidget* target) {
    if (auto* other = dynamic_cast<AnimationWidget*>(target))
        other->EraseVariable(c.GetAttribute(L"name"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UnassignIn(AnimationWidget& w, const AnimationCommand& c,
                                      DynamicWidget* target) {
    if (auto* other = dynamic_cast<AnimationWidget*>(target))
        other->EraseVariable(EvaluateText(w, c, L"name"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::PlayIn(AnimationWidget& w, const AnimationCommand& c,
                                  DynamicWidget* target) {
    auto* other = dynamic_cast<AnimationWidget*>(target);
    if (!other) return ScriptStep::Next;
    // Read everything first: playing on this very widget replaces its script.
    std::wstring name = EvaluateText(w, c, L"animation");
    for (const auto& [attributeName, attribute] : c.mAttributes) {
        if (attributeName == L"id" || attributeName == L"animation") continue;
        other->SetVariable(attributeName, Evaluate(w, attribute));
    }
    other->PlayAnimationByName(name);
    return ScriptStep::Next;
}
