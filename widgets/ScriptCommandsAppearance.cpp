#include <string>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "render/Image.h"
#include "render/ShaderProgram.h"
#include "widgets/AnimationWidget.h"
#include "widgets/DragWidget.h"
#include "widgets/ScriptCommands.h"

// How a script's objects draw: blending, culling, pieces, shaders, blinking,
// mask frames and rectangles, inherited transform and colour, child images,
// caching, hit testing, and the drag settings of drag widgets.

namespace {

int DrawModeOf(const std::wstring& word) {
    static const struct {
        const wchar_t* mWord;
        int mMode;
    } kModes[] = {{L"additive", 1}, {L"multiply", 2},    {L"overlay", 3},
                  {L"softlight", 4}, {L"subtractive", 5}, {L"none", 10}};
    for (const auto& mode : kModes)
        if (word == mode.mWord) return mode.mMode;
    return 0;
}

int RecursiveColorOf(const std::wstring& word) {
    if (word == L"inherit") return 2;
    return word == L"postrender" ? 1 : 0;
}

}  // namespace

ScriptStep ScriptCommands::Blend(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mDrawMode = DrawModeOf(w.GetStringAttribute(L"mode"));
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Cull(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mCull = w.GetBoolAttributeOr(L"enable", true);
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Tesselate(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetTessellation(w.GetIntAttributeOr(L"rows", 1), w.GetIntAttributeOr(L"cols", 1));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::TileTexture(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mTileTexture = w.GetBoolAttribute(L"enable");
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Shader(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetShader(ShaderProgram::Load(WStringToString(w.GetStringAttribute(L"name"))));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetShaderConstant(AnimationWidget& w, const AnimationCommand& c,
                                             DynamicWidget* target) {
    ShaderProgram* shader = target->mShader;
    if (!shader) return ScriptStep::Next;
    const std::string name = WStringToString(w.GetStringAttribute(L"name"));
    if (c.HasAttribute(L"real_ptr")) {
        // Only a checked reference (obj.prop_ptr) binds: a number from a
        // script is never taken as an address.
        const ScriptValue reference = w.EvaluateAttribute(L"real_ptr");
        if (!shader->BindConstant(name, reference))
            DebugPrintf("set-shader-constant: real_ptr of '%s' is not a property reference\n",
                        name.c_str());
    } else {
        shader->SetConstant(name, w.GetFloatAttribute(L"real"));
    }
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Flash(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    // StartBlinking takes an interval of 0 or less as one step.
    target->StartBlinking(w.GetIntAttributeOr(L"timer_init", -20), w.GetIntAttribute(L"cycles"),
                          w.GetIntAttribute(L"interval"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::CycleMask(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    if (c.HasAttribute(L"frame")) target->SetMaskFrame(w.GetIntAttribute(L"frame"));
    const float rate = w.GetFloatAttribute(L"rate");
    target->CycleMaskFrames(rate > 0.0f ? rate : 1.0f, w.GetIntAttribute(L"min"),
                            w.GetIntAttributeOr(L"max", -1), w.GetIntAttributeOr(L"cycles", -1),
                            0.0f, 0.0f, CycleDirection(w.GetStringAttribute(L"dir")), {});
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::FadeToFrame(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->FadeToFrame(w.GetIntAttribute(L"frame"), w.GetFloatAttributeOr(L"time", 20.0f),
                        w.GetCurveAttribute());
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetMaskFrame(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetMaskFrame(w.GetIntAttribute(L"frame"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::MaskRect(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetMaskRect(FRect(static_cast<float>(w.GetIntAttribute(L"x")),
                              static_cast<float>(w.GetIntAttribute(L"y")),
                              static_cast<float>(w.GetIntAttribute(L"width")),
                              static_cast<float>(w.GetIntAttribute(L"height"))),
                        w.GetBoolAttributeOr(L"enable", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Recursive(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    if (c.HasAttribute(L"transform")) target->SetRecursiveTransform(w.GetBoolAttribute(L"transform"));
    if (c.HasAttribute(L"color")) target->SetRecursiveColor(RecursiveColorOf(w.GetStringAttribute(L"color")));
    if (c.HasAttribute(L"clipping")) target->mRecursiveClipping = w.GetBoolAttribute(L"clipping");
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetMask(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    target->SetMaskImage(c.HasAttribute(L"image") ? w.GetImageAttribute(L"image") : nullptr);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::ChildImage(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    target->SetChildImage(c.HasAttribute(L"image") ? w.GetImageAttribute(L"image") : nullptr);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Cache(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetCached(w.GetBoolAttribute(L"enable"), w.GetBoolAttributeOr(L"immediate", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::CheckPixels(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mCheckPixels = w.GetBoolAttribute(L"enable");
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::UseHandCursor(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mHandCursor = w.GetBoolAttribute(L"enable");
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetDraggable(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    if (auto* drag = dynamic_cast<DragWidget*>(target)) drag->SetDraggable(w.GetBoolAttributeOr(L"enable", true), true);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetDragThrough(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    if (auto* drag = dynamic_cast<DragWidget*>(target)) drag->SetPushesParent(w.GetBoolAttributeOr(L"enable", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::CrossFade(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    ApplyFlagBit(w, *target, WidgetFlags::CrossFade);
    return ScriptStep::Next;
}
