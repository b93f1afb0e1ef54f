#include <algorithm>
#include <functional>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "render/D3DInterface.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/TextLayout.h"
#include "widgets/AnimationWidget.h"
#include "widgets/AppServices.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ScriptCommands.h"

// The builders that the commands making objects share: colours, lists, texts,
// button settings, framed text and banners, and the placing of a new object.

namespace {

constexpr int kDefaultTextWidth = 10000;
// A banner grows in steps of this many pixels until its text fits; it stops
// at the texture limit, where a text that never fits is left to overflow.
constexpr int kBannerGrowStep = 10;

int JustificationOf(const std::wstring& word) {
    if (word == L"center") return 0;
    if (word == L"right") return 1;
    return -1;
}

int MaxSurfaceSize() { return D3DInterface::Get()->GetMaxTextureSize(); }

int CelWidth(Image* image) { return image ? image->GetCelWidth() : 0; }
int CelHeight(Image* image) { return image ? image->GetCelHeight() : 0; }

// Draws a made picture: into the own image of the object "to" names when the
// record has "to" (null is returned), else into a new surface of the size
// carried by a new object that the common tail places. `draw` gets the
// surface's size. "to" naming no object with an image draws nothing.
DynamicWidget* DrawMadeObject(AnimationWidget& w, const AnimationCommand* command, int width,
                              int height, float opacity,
                              const std::function<void(Graphics&, int, int)>& draw) {
    DynamicWidget* into = nullptr;
    if (w.HasAttribute(L"to")) {
        into = w.FindScriptObject(L"to");
        if (!into || !into->GetImage()) {
            DebugPrintf("Script '%s' at %s: 'to' names no object with an image; nothing drawn\n",
                        command ? WStringToString(command->mName).c_str() : "add",
                        command ? command->Where().c_str() : "?");
            return nullptr;
        }
    }
    ImageSurface* surface = into ? into->GetOwnImageSurface() : new ImageSurface();
    if (!into) surface->Create(width, height);
    {
        Graphics g(surface);
        draw(g, surface->GetWidth(), surface->GetHeight());
    }
    if (into) {
        into->MarkDirty();
        return nullptr;
    }
    auto* object = new DynamicWidget(0.0f, 0.0f, nullptr, opacity);
    object->SetOwnedImage(surface);
    w.PlaceNewObject(object, static_cast<float>(w.GetIntAttribute(L"x")),
                     static_cast<float>(w.GetIntAttribute(L"y")), true);
    return object;
}

}  // namespace

Color AnimationWidget::GetColorAttributes() {
    Color color = Color::White;
    if (HasAttribute(L"red")) color.mRed = ScriptCommands::Channel255(GetFloatAttribute(L"red"));
    if (HasAttribute(L"green")) color.mGreen = ScriptCommands::Channel255(GetFloatAttribute(L"green"));
    if (HasAttribute(L"blue")) color.mBlue = ScriptCommands::Channel255(GetFloatAttribute(L"blue"));
    if (HasAttribute(L"alpha")) color.mAlpha = ScriptCommands::Channel255(GetFloatAttribute(L"alpha"));
    return color;
}

std::vector<ScriptValue> AnimationWidget::ReadListAttribute(std::wstring_view name, bool evaluate) {
    std::vector<ScriptValue> values;
    if (!HasAttribute(name)) return values;
    for (const std::wstring& part : ExpressionEvaluator::SplitArguments(GetAttribute(name)))
        values.push_back(evaluate ? mEvaluator.Evaluate(part) : ScriptValue(part));
    return values;
}

std::wstring AnimationWidget::GetTextAttribute() {
    std::wstring text = GetStringAttribute(L"text");
    if (!text.empty() && GetBoolAttributeOr(L"lookup", true) && HasLocalizedString(text))
        text = GetLocalizedString(text);
    const std::wstring player = gAppServices ? gAppServices->GetPlayerName() : std::wstring();
    return StringReplaceAll(text, L"[player]", player);
}

void AnimationWidget::ConfigureButton(ButtonWidget* button) {
    if (!button) return;
    if (HasAttribute(L"text")) button->SetLabel(GetStringAttribute(L"text"), GetBoolAttributeOr(L"lookup", true));
    static const std::pair<const wchar_t*, int> kFonts[] = {
        {L"font", ButtonWidget::Normal},
        {L"font_over", ButtonWidget::Over},
        {L"font_down", ButtonWidget::Down},
        {L"font_disabled", ButtonWidget::Disabled},
    };
    for (const auto& [name, state] : kFonts)
        if (HasAttribute(name)) button->SetStateFont(GetFontAttribute(name), state);
    if (HasAttribute(L"width")) button->mWrapWidth = GetIntAttribute(L"width");
    if (HasAttribute(L"check_pixels")) button->mCheckPixels = GetBoolAttribute(L"check_pixels");
    if (HasAttribute(L"text_offset_x")) button->mLabelOffsetX = GetIntAttribute(L"text_offset_x");
    if (HasAttribute(L"text_offset_y")) button->mLabelOffsetY = GetIntAttribute(L"text_offset_y");
    if (HasAttribute(L"use_hand_cursor")) button->mHandCursor = GetBoolAttribute(L"use_hand_cursor");
    if (HasAttribute(L"sound")) button->mPlaySounds = GetBoolAttribute(L"sound");
    if (HasAttribute(L"sound_down")) button->mPressSound = GetSoundAttribute(L"sound_down");
    if (HasAttribute(L"sound_over")) button->mHoverSound = GetSoundAttribute(L"sound_over");
    if (HasAttribute(L"down_text_offset_x"))
        button->mPressedLabelOffsetX = GetIntAttribute(L"down_text_offset_x");
    if (HasAttribute(L"down_text_offset_y"))
        button->mPressedLabelOffsetY = GetIntAttribute(L"down_text_offset_y");
}

void AnimationWidget::PlaceNewObject(DynamicWidget* object, float x, float y, bool readZ) {
    object->mZOrder = GetIntAttribute(L"depth");
    if (readZ) object->mZ = GetFloatAttribute(L"z");
    AddNamedObject(GetStringAttribute(L"id"), object);
    const std::wstring align = GetStringAttribute(L"align");
    const std::wstring valign = GetStringAttribute(L"valign");
    if (align == L"right") x -= static_cast<float>(object->mWidth);
    if (align == L"center") x -= static_cast<float>(object->mWidth / 2);
    if (valign == L"bottom") y -= static_cast<float>(object->mHeight);
    if (valign == L"center") y -= static_cast<float>(object->mHeight / 2);
    object->Move(x, y);
}

DynamicWidget* AnimationWidget::CreateTextObject(int textDY, int paddingBottom, int buttonHeight) {
    const std::wstring text = GetTextAttribute();
    const int limit = MaxSurfaceSize();
    const int wrapWidth = std::clamp(GetIntAttributeOr(L"width", kDefaultTextWidth), 1, limit);
    const int justification = JustificationOf(GetStringAttribute(L"justification"));
    Font* font = GetFontAttribute(L"font");
    Color color = GetColorAttributes();
    color.mAlpha = ScriptCommands::Channel255(static_cast<float>(color.mAlpha) / 255.0f *
                             GetFloatAttributeOr(L"opacity", 1.0f));

    // The nine pieces of the frame: columns l, c, r by rows t, c, b.
    Image* pieces[3][3] = {};
    const std::wstring box = GetStringAttribute(L"textbox");
    if (!box.empty()) {
        static const wchar_t kColumns[] = L"lcr";
        static const wchar_t kRows[] = L"tcb";
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                pieces[row][column] = FindImage(box + L"_" + kColumns[column] + kRows[row]);
    }
    const int left = CelWidth(pieces[1][0]), right = CelWidth(pieces[1][2]);
    const int top = CelHeight(pieces[0][1]), bottom = CelHeight(pieces[2][1]);

    int widest = 0;
    const int textHeight = font ? MeasureWrappedText(*font, text, wrapWidth, &widest) : 0;
    const int contentWidth = GetBoolAttribute(L"force_width") ? wrapWidth : widest;
    const int width = std::clamp(left + contentWidth + right, 1, limit);
    int tallEnough = std::max(GetIntAttribute(L"height"), top + textHeight + bottom + paddingBottom);
    if (buttonHeight > 0) {
        // The button's top, at 3/4 of the height less its half, a gap below the text.
        constexpr int kGap = 8;
        const int clearOfText = textDY + top + textHeight + kGap + buttonHeight / 2;
        tallEnough = std::max(tallEnough, (clearOfText * 4 + 2) / 3);
    }
    const int height = std::clamp(tallEnough, 1, limit);

    auto draw = [&](Graphics& g, int surfaceWidth, int surfaceHeight) {
        if (!box.empty()) {
            const int midW = surfaceWidth - left - right, midH = surfaceHeight - top - bottom;
            const int xs[3] = {0, left, surfaceWidth - right}, ws[3] = {left, midW, right};
            const int ys[3] = {0, top, surfaceHeight - bottom}, hs[3] = {top, midH, bottom};
            for (int row = 0; row < 3; ++row)
                for (int column = 0; column < 3; ++column)
                    if (pieces[row][column] && ws[column] > 0 && hs[row] > 0)
                        g.DrawImageScaled(pieces[row][column], static_cast<float>(xs[column]),
                                          static_cast<float>(ys[row]),
                                          static_cast<float>(ws[column]),
                                          static_cast<float>(hs[row]));
        }
        if (!font) return;
        g.SetFont(font);
        g.SetColor(color);
        g.DrawTextWrappedAtBaseline(static_cast<float>(left),
                                    static_cast<float>(top + textDY) + font->GetAscent(), text,
                                    std::max(contentWidth, 1), justification);
    };
    return DrawMadeObject(*this, GetCurrentCommand(), width, height,
                          GetFloatAttributeOr(L"opacity", 1.0f), draw);
}

DynamicWidget* AnimationWidget::CreateBanner() {
    const std::wstring text = GetTextAttribute();
    const int justification = JustificationOf(GetStringAttribute(L"justification"));
    const std::wstring ends = GetStringAttribute(L"textends");
    Image* leftPiece = FindImage(ends + L"_left");
    Image* centrePiece = FindImage(ends + L"_center");
    Image* rightPiece = FindImage(ends + L"_right");
    Font* font = GetFontAttribute(L"font");
    const int limit = MaxSurfaceSize();

    const int areaHeight = CelHeight(centrePiece) - GetIntAttribute(L"margin_top") -
                           GetIntAttribute(L"margin_bottom");
    const int marginLeft = GetIntAttributeOr(L"margin_left", CelWidth(leftPiece));
    const int marginRight = GetIntAttributeOr(L"margin_right", CelWidth(rightPiece));
    int textWidth = std::clamp(std::max(areaHeight, GetIntAttribute(L"min_width")), 1, limit);
    // Without a font or an area there is nothing to fit; a line taller than
    // the area never fits: the width stops at the texture limit.
    if (font && areaHeight > 0) {
        while (textWidth < limit && MeasureWrappedText(*font, text, textWidth) > areaHeight)
            textWidth = std::min(limit, textWidth + kBannerGrowStep);
    }
    const int width = std::clamp(marginLeft + textWidth + marginRight, 1, limit);
    const int height = std::clamp(CelHeight(centrePiece), 1, limit);

    const int marginTop = GetIntAttribute(L"margin_top");
    const Color textColor = Color::FromFloats(1.0f, 1.0f, 1.0f, GetFloatAttributeOr(L"opacity", 1.0f));
    auto draw = [&](Graphics& g, int surfaceWidth, int surfaceHeight) {
        if (leftPiece) g.DrawImage(leftPiece, 0.0f, 0.0f);
        if (centrePiece)
            g.DrawImageScaled(centrePiece, static_cast<float>(CelWidth(leftPiece)), 0.0f,
                              static_cast<float>(surfaceWidth - CelWidth(leftPiece) - CelWidth(rightPiece)),
                              static_cast<float>(surfaceHeight));
        if (rightPiece)
            g.DrawImage(rightPiece, static_cast<float>(surfaceWidth - CelWidth(rightPiece)), 0.0f);
        if (!font) return;
        g.SetFont(font);
        g.SetColor(textColor);
        g.DrawTextWrappedAtBaseline(static_cast<float>(marginLeft),
                                    static_cast<float>(marginTop) + font->GetAscent(), text,
                                    textWidth, justification);
    };
    return DrawMadeObject(*this, GetCurrentCommand(), width, height, 1.0f, draw);
}
