#include "screens/ShadedConfirmMenu.h"

#include "data/Localization.h"
#include "render/Graphics.h"

namespace {
// The screen the shade covers, in the game's own coordinates, and its darkness.
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;
constexpr int kShadeAlpha = 150;
}  // namespace

ShadedConfirmMenu::ShadedConfirmMenu(const std::wstring& title, const std::wstring& text,
                                     const std::wstring& okText, const std::wstring& cancelText,
                                     const std::wstring& name, Widget* fadeFrom)
    : ConfirmMenu(title, text, okText, cancelText, fadeFrom), mName(name) {}

// The dialog's script shows all four texts as they come: the answers' keys
// are looked up here too.
ShadedConfirmMenu::ShadedConfirmMenu(const Keys& keys, const std::wstring& name, Widget* fadeFrom)
    : ShadedConfirmMenu(GetLocalizedString(keys.title), GetLocalizedString(keys.text), GetLocalizedString(keys.ok),
                        GetLocalizedString(keys.cancel), name, fadeFrom) {}

FRect ShadedConfirmMenu::GetShadeRect() const {
    return FRect(-static_cast<float>(static_cast<int>(mX)), -static_cast<float>(static_cast<int>(mY)), kScreenWidth,
                 kScreenHeight);
}

void ShadedConfirmMenu::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, kShadeAlpha));
    const FRect shade = GetShadeRect();
    g->FillRect(shade.mX, shade.mY, shade.mWidth, shade.mHeight);
    ConfirmMenu::Draw(g);
}
