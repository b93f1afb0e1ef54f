#include <algorithm>

#include "render/D3DInterface.h"
#include "render/Image.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ScriptCommands.h"
#include "widgets/TextLabel.h"

// The frame and image commands the game's own animations use ("cycle",
// "set-frame", "replace") and the settings of the buttons and labels that
// scripts make ("config-button", "config-label").

int ScriptCommands::CycleDirection(const std::wstring& word) {
    if (word == L"back") return -1;
    if (word == L"both") return 0;
    if (word == L"random") return 2;
    return 1;
}

ScriptStep ScriptCommands::Cycle(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    if (c.HasAttribute(L"frame")) target->SetFrame(w.GetIntAttribute(L"frame"));
    std::vector<int> sequence;
    for (const ScriptValue& frame : w.ReadListAttribute(L"sequence", true)) sequence.push_back(frame.ToInt());
    // No "max": up to the last frame. A rate of 0 or less shows a frame per step.
    const float rate = w.GetFloatAttribute(L"rate");
    target->CycleFrames(rate > 0.0f ? rate : 1.0f, w.GetIntAttribute(L"min"),
                        w.GetIntAttributeOr(L"max", -1), w.GetIntAttributeOr(L"cycles", -1),
                        w.GetFloatAttribute(L"timer"), w.GetFloatAttribute(L"crossfade"),
                        CycleDirection(w.GetStringAttribute(L"dir")), sequence);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetFrame(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->SetFrame(w.GetIntAttribute(L"frame"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Replace(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    if (c.HasAttribute(L"image") || !c.HasAttribute(L"width")) {
        target->SetImage(w.GetImageAttribute(L"image"));
        return ScriptStep::Next;
    }
    // A surface of no area is refused; one beyond the texture limit is cut to it.
    const int limit = D3DInterface::Get()->GetMaxTextureSize();
    const int width = std::min(w.GetIntAttribute(L"width"), limit);
    const int height = std::min(w.GetIntAttribute(L"height"), limit);
    if (width <= 0 || height <= 0) return ScriptStep::Next;
    const Color color(ScriptCommands::Channel255(w.GetFloatAttribute(L"red")), ScriptCommands::Channel255(w.GetFloatAttribute(L"green")),
                      ScriptCommands::Channel255(w.GetFloatAttribute(L"blue")),
                      ScriptCommands::Channel255(w.GetFloatAttributeOr(L"alpha", 1.0f)));
    ImageData data;
    data.mWidth = width;
    data.mHeight = height;
    data.mBits.assign(static_cast<size_t>(width) * static_cast<size_t>(height), color.ToARGB());
    target->SetOwnedImage(new ImageSurface(std::move(data)));
    return ScriptStep::Next;
}

int ScriptCommands::Channel255(float value) {
    return value > 0.0f ? std::min(255, static_cast<int>(value * 255.0f)) : 0;
}

ScriptStep ScriptCommands::ConfigButton(AnimationWidget& w, const AnimationCommand&,
                                        DynamicWidget* target) {
    if (auto* button = dynamic_cast<ButtonWidget*>(target)) {
        w.ConfigureButton(button);
        button->MarkDirty();
    }
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::ConfigLabel(AnimationWidget& w, const AnimationCommand& c,
                                       DynamicWidget* target) {
    auto* label = dynamic_cast<TextLabel*>(target);
    if (!label) return ScriptStep::Next;
    if (c.HasAttribute(L"font")) label->SetFont(w.GetStringAttribute(L"font"));
    if (c.HasAttribute(L"text")) label->SetText(w.GetTextAttribute());
    if (c.HasAttribute(L"justification")) {
        const std::wstring word = w.GetStringAttribute(L"justification");
        label->SetJustification(word == L"center" ? 0 : word == L"right" ? 1 : -1);
    }
    return ScriptStep::Next;
}
