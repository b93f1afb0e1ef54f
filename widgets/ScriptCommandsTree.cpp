#include "core/StringUtil.h"
#include "render/Font.h"
#include "render/TextLayout.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// The commands on a target's place in the tree, its visibility and input,
// its flag bits, and "analyze", which measures text for a script.

namespace {

// A script whose own widget was removed (or an ancestor of it) has been
// stopped by the removal: the walk ends there. Deletion waits for the end of
// the update step, so nothing here touches freed memory.
ScriptStep AfterRemoval(AnimationWidget& w) {
    return w.IsScriptFinished() ? ScriptStep::End : ScriptStep::Next;
}

}  // namespace

void ScriptCommands::ApplyFlagBit(AnimationWidget& w, DynamicWidget& target, int bit) {
    if (w.HasAttribute(L"enable")) {
        if (w.GetBoolAttribute(L"enable"))
            target.mAddMask |= bit;
        else
            target.mAddMask &= ~bit;
    }
    if (w.HasAttribute(L"disable")) {
        if (w.GetBoolAttribute(L"disable"))
            target.mRemoveMask |= bit;
        else
            target.mRemoveMask &= ~bit;
    }
    target.MarkDirty();
}

ScriptStep ScriptCommands::Remove(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->RemoveSelf();
    return AfterRemoval(w);
}

ScriptStep ScriptCommands::RemoveChildren(AnimationWidget& w, const AnimationCommand&,
                                          DynamicWidget* target) {
    target->RemoveAllWidgets();
    return AfterRemoval(w);
}

ScriptStep ScriptCommands::Show(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    target->SetVisible(true);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Hide(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    target->SetVisible(false);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Enable(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    target->SetDisabled(false);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Disable(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    target->SetDisabled(true);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AllowMouse(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    ApplyFlagBit(w, *target, WidgetFlags::AllowMouse);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UpdateFlag(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    ApplyFlagBit(w, *target, WidgetFlags::Update);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::MouseVisible(AnimationWidget& w, const AnimationCommand&,
                                        DynamicWidget* target) {
    target->SetPropertyValue(L"mouse_visible", w.GetBoolAttributeOr(L"enable", true) ? 1.0f : 0.0f);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::WhenDone(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    if (w.HasAttribute(L"hide")) target->SetHideWhenDone(w.GetBoolAttribute(L"hide"));
    if (w.HasAttribute(L"stop_crossfading"))
        target->SetStopCrossfadeWhenDone(w.GetBoolAttribute(L"stop_crossfading"));
    if (w.HasAttribute(L"stop_recursion"))
        target->SetStopRecursionWhenDone(w.GetBoolAttribute(L"stop_recursion"));
    if (w.HasAttribute(L"remove")) target->SetRemoveWhenDone(w.GetBoolAttribute(L"remove"));
    return AfterRemoval(w);
}

ScriptStep ScriptCommands::Analyze(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    if (!c.HasAttribute(L"font")) return ScriptStep::Next;
    Font* font = w.GetFontAttribute(L"font");
    const std::wstring text = w.GetTextAttribute();
    int widest = 0;
    const int height = font ? MeasureWrappedText(*font, text, w.GetIntAttributeOr(L"maxWidth", 10000),
                                                 &widest)
                            : 0;
    if (c.HasAttribute(L"width")) w.SetVariable(c.GetAttribute(L"width"), ScriptValue(widest));
    if (c.HasAttribute(L"height")) w.SetVariable(c.GetAttribute(L"height"), ScriptValue(height));
    if (c.HasAttribute(L"ascent"))
        w.SetVariable(c.GetAttribute(L"ascent"), ScriptValue(font ? font->GetAscent() : 0.0f));
    return ScriptStep::Next;
}
