#include "core/Log.h"
#include "data/Localization.h"
#include "render/Font.h"
#include "render/Image.h"
#include "render/TextLayout.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ButtonWidget.h"
#include "widgets/DragButton.h"
#include "widgets/DragWidget.h"
#include "widgets/FlashWidget.h"
#include "widgets/NumericalTextWidget.h"
#include "widgets/RectWidget.h"
#include "widgets/ScriptCommands.h"
#include "widgets/TextLabel.h"

// "add" in its forms, "add-button", "add-label" and "add-rect": the commands
// that make objects and place them in the script's current layer.

namespace {

// Button labels measured without wrapping.
constexpr int kNoWrap = 1073741824;

int AnchorOf(const std::wstring& word, const wchar_t* end) {
    if (word == L"center") return 0;
    return word == end ? 1 : -1;
}

int LineJustification(const std::wstring& word) {
    if (word == L"center") return 0;
    return word == L"right" ? 1 : -1;
}

DragWidget* AddDraggable(AnimationWidget& w, float x, float y, Image* image, float opacity) {
    auto* drag = new DragWidget(x, y, image, opacity,
                                DragWidget::BoundsFromWord(w.GetStringAttribute(L"boundary"), 0),
                                w.GetIntAttributeOr(L"boundary_x", -1), w.GetIntAttributeOr(L"boundary_y", -1),
                                w.GetIntAttributeOr(L"boundary_width", -1),
                                w.GetIntAttributeOr(L"boundary_height", -1));
    drag->Resize(x, y, w.GetIntAttributeOr(L"width", drag->mWidth),
                 w.GetIntAttributeOr(L"height", drag->mHeight));
    drag->SetPushesParent(w.GetBoolAttributeOr(L"drag_through", false));
    drag->mMomentum = w.GetBoolAttributeOr(L"momentum", true);
    drag->mFlingable = w.GetBoolAttributeOr(L"flingable", false);
    drag->mCanDragPastBoundaryX = w.GetBoolAttributeOr(L"can_drag_past_boundary_x", false);
    drag->mCanDragPastBoundaryY = w.GetBoolAttributeOr(L"can_drag_past_boundary_y", false);
    drag->SetDraggable(w.GetBoolAttributeOr(L"draggable", true), false);
    if (w.HasAttribute(L"animation")) drag->InsertAnimationByName(w.GetStringAttribute(L"animation"));
    return drag;
}

DynamicWidget* AddImage(AnimationWidget& w) {
    const float x = static_cast<float>(w.GetIntAttribute(L"x"));
    const float y = static_cast<float>(w.GetIntAttribute(L"y"));
    Image* image = w.GetImageAttribute(L"image");
    const float opacity = w.GetFloatAttributeOr(L"opacity", 1.0f);
    DynamicWidget* object;
    if (w.HasAttribute(L"draggable")) {
        object = AddDraggable(w, x, y, image, opacity);
    } else if (w.HasAttribute(L"animation")) {
        auto* animated = new AnimationWidget(w.GetStringAttribute(L"animation"), x, y, false);
        animated->SetImage(image);
        animated->mOpacity = opacity;
        object = animated;
    } else {
        object = new DynamicWidget(x, y, image, opacity);
    }
    w.PlaceNewObject(object, x, y, true);
    return object;
}

DynamicWidget* AddCounter(AnimationWidget& w) {
    std::wstring format = w.GetStringAttribute(L"template");
    if (w.GetBoolAttributeOr(L"lookup", true) && HasLocalizedString(format))
        format = GetLocalizedString(format);
    auto* counter = new NumericalTextWidget(
        static_cast<float>(w.GetIntAttribute(L"x")), static_cast<float>(w.GetIntAttribute(L"y") - 4),
        LineJustification(w.GetStringAttribute(L"align")), w.GetStringAttribute(L"font"), format,
        w.GetIntAttributeOr(L"speed", 1), w.GetIntAttributeOr(L"delay", 1),
        w.EvaluateAttribute(L"integer"));
    counter->mZOrder = w.GetIntAttribute(L"depth");
    if (w.HasAttribute(L"up_sound")) counter->mUpSound = w.GetSoundAttribute(L"up_sound");
    if (w.HasAttribute(L"down_sound")) counter->mDownSound = w.GetSoundAttribute(L"down_sound");
    w.AddNamedObject(w.GetStringAttribute(L"id"), counter);
    const std::wstring valign = w.GetStringAttribute(L"valign");
    if (valign == L"bottom") counter->Move(counter->mX, counter->mY - static_cast<float>(counter->mHeight));
    if (valign == L"center")
        counter->Move(counter->mX, counter->mY - static_cast<float>(counter->mHeight / 2));
    return counter;
}

DynamicWidget* AddMovie(AnimationWidget& w) {
    const float x = static_cast<float>(w.GetIntAttribute(L"x"));
    const float y = static_cast<float>(w.GetIntAttribute(L"y"));
    auto* movie = new FlashWidget(x, y, w.GetStringAttribute(L"video"), w.GetIntAttribute(L"width"),
                                  w.GetIntAttribute(L"height"), w.GetBoolAttribute(L"loop"));
    w.PlaceNewObject(movie, x, y, false);
    return movie;
}

}  // namespace

ScriptStep ScriptCommands::Add(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    if (c.HasAttribute(L"image") || c.HasAttribute(L"draggable"))
        AddImage(w);
    else if (c.HasAttribute(L"textends"))
        w.CreateBanner();
    else if (c.HasAttribute(L"text") || c.HasAttribute(L"textbox"))
        w.CreateTextObject(0, 0);
    else if (c.HasAttribute(L"template"))
        AddCounter(w);
    else if (c.HasAttribute(L"video"))
        AddMovie(w);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AddButton(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const float x = static_cast<float>(w.GetIntAttribute(L"x"));
    const float y = static_cast<float>(w.GetIntAttribute(L"y"));
    const std::wstring type = w.GetStringAttribute(L"type");
    const std::wstring text = w.GetStringAttribute(L"text");
    const bool lookup = w.GetBoolAttributeOr(L"lookup", true);
    ButtonWidget* button = w.GetBoolAttribute(L"drag_through")
                               ? new DragButton(0.0f, 0.0f, type, text, lookup)
                               : new ButtonWidget(0.0f, 0.0f, type, text, lookup);
    if (w.GetBoolAttribute(L"allow_fast_click")) button->mFastClick = true;
    button->mZOrder = w.GetIntAttribute(L"depth");
    button->mDepressOnlyWhenOver = w.GetBoolAttributeOr(L"depress_only_when_over", true);
    const std::wstring justification = w.GetStringAttribute(L"justification");
    button->mJustification = justification == L"left" ? -1 : justification == L"right" ? 1 : 0;
    if (w.HasAttribute(L"image")) button->SetButtonImage(w.GetImageAttribute(L"image"));
    w.ConfigureButton(button);
    if (!button->GetImage()) {
        const int saved = button->mWrapWidth;
        if (button->mWrapWidth <= 0) button->mWrapWidth = kNoWrap;
        Point size = button->MeasureLabel();
        button->mWrapWidth = saved;
        button->Resize(button->mX, button->mY, size.mX, size.mY);
    }

    ButtonAction action;
    action.mHover = w.GetStringAttribute(L"hover");
    action.mLeave = w.GetStringAttribute(L"leave");
    // The last of launch, call and action in the record decides.
    for (const auto& [name, kind] : {std::pair{L"launch", ButtonAction::Launch},
                                     std::pair{L"call", ButtonAction::Call},
                                     std::pair{L"action", ButtonAction::Action}}) {
        if (!w.HasAttribute(name)) continue;
        action.mKind = kind;
        action.mName = w.GetStringAttribute(name);
    }
    action.mParameter = w.GetStringAttribute(L"parameter");
    action.mObject = w.GetIntAttributeAlt(L"object", &w);
    action.mOnDepress = w.GetBoolAttributeOr(L"depress", true);

    button->mButtonListener = static_cast<ButtonListener*>(&w);
    w.PlaceNewObject(button, x, y, false);
    w.SetButtonAction(button->mId, action);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AddLabel(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    const float x = static_cast<float>(w.GetIntAttribute(L"x"));
    const float y = static_cast<float>(w.GetIntAttribute(L"y"));
    const std::wstring font = w.GetStringAttribute(L"font");
    const int width = w.GetIntAttribute(L"width");
    const int justification = LineJustification(w.GetStringAttribute(L"justification"));
    const int hAnchor = AnchorOf(w.GetStringAttribute(L"align"), L"right");
    const int vAnchor = AnchorOf(w.GetStringAttribute(L"valign"), L"bottom");
    TextLabel* label;
    if (c.HasAttribute(L"expression"))
        label = new ExpressionTextWidget(w.GetAttribute(L"expression"), font, w.GetVariables(), x, y,
                                         width, justification, hAnchor, vAnchor);
    else
        label = new TextLabel(w.GetTextAttribute(), x, y, font, width, justification, hAnchor,
                              vAnchor);
    if (c.HasAttribute(L"depth")) label->mZOrder = w.GetIntAttribute(L"depth");
    if (c.HasAttribute(L"opacity")) label->SetPropertyValue(L"opacity", w.GetFloatAttribute(L"opacity"));
    w.AddNamedObject(w.GetStringAttribute(L"id"), label);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::AddRect(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    float x = static_cast<float>(w.GetIntAttribute(L"x"));
    float y = static_cast<float>(w.GetIntAttribute(L"y"));
    const int width = w.GetIntAttribute(L"width"), height = w.GetIntAttribute(L"height");
    const std::wstring align = w.GetStringAttribute(L"align");
    const std::wstring valign = w.GetStringAttribute(L"valign");
    if (align == L"right") x -= static_cast<float>(width);
    if (align == L"center") x -= static_cast<float>(width / 2);
    if (valign == L"bottom") y -= static_cast<float>(height);
    if (valign == L"center") y -= static_cast<float>(height / 2);
    Color color = w.GetColorAttributes();
    // Absent colour channels are 0 here, not the white of the text colours.
    if (!c.HasAttribute(L"red")) color.mRed = 0;
    if (!c.HasAttribute(L"green")) color.mGreen = 0;
    if (!c.HasAttribute(L"blue")) color.mBlue = 0;
    auto* rect = new RectWidget(x, y, width, height, color);
    if (c.HasAttribute(L"opacity")) rect->mOpacity = w.GetFloatAttribute(L"opacity");
    rect->mZOrder = w.GetIntAttribute(L"depth");
    w.AddNamedObject(w.GetStringAttribute(L"id"), rect);
    return ScriptStep::Next;
}
