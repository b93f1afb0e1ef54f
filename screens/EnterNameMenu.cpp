#include "screens/EnterNameMenu.h"

#include "app/GameApp.h"
#include "core/Color.h"
#include "data/AssetLookup.h"
#include "data/Constants.h"
#include "data/Localization.h"
#include "platform/InputEvent.h"
#include "puzzle/PlayerProgress.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"
#include "widgets/TitleScreen.h"
#include "widgets/WidgetManager.h"

namespace {
constexpr int kEditWidth = 200;
constexpr int kEditHeight = 35;
constexpr float kPromptBaseline = 75.0f;
// The desk colour, half over the title.
const Color kShade(0x14, 0x1A, 0x29, 150);
}  // namespace

bool IsValidNameChar(const std::wstring& text, wchar_t ch) {
    if (text.size() >= kMaxNameLength) return false;
    if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9')) return true;
    return ch == L' ' && !text.empty();
}

EnterNameMenu::EnterNameMenu(TitleScreen* title)
    : Menu(FindImage(L"EnterName"), true, true), mTitleScreen(title) {
    mEdit = new EditWidget(this);
    mEdit->SetFont(FindFont(L"normal15"));
    // The picture draws the field; the edit draws only its text and caret.
    mEdit->SetColor(EditWidget::Background, Color(0, 0, 0, 0));
    mEdit->SetColor(EditWidget::Outline, Color(0, 0, 0, 0));
    mEdit->SetColor(EditWidget::Text, Color::White);
    mEdit->SetColor(EditWidget::Highlight,
                    Color(GetConstantInt(L"enter_name_highlight_red"), GetConstantInt(L"enter_name_highlight_green"),
                          GetConstantInt(L"enter_name_highlight_blue"), 255));
    mEdit->SetColor(EditWidget::HighlightText, Color::White);
    mEdit->ResizeEdit(static_cast<int>(GetConstantFloat(L"nametextx")), static_cast<int>(GetConstantFloat(L"nametexty")),
                      kEditWidth, kEditHeight);
    mEdit->SetVisible(true);
    AddWidget(mEdit);
    mOkButton = AddButton(static_cast<int>(GetConstantFloat(L"nameCheckx")),
                          static_cast<int>(GetConstantFloat(L"nameChecky")), L"enter_name_btn", L"", true);
    mOkButton->Move(mOkButton->mX - static_cast<float>(mOkButton->mWidth / 2), mOkButton->mY);
    mOkButton->mButtonListener = static_cast<ButtonListener*>(this);
}

void EnterNameMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (manager) manager->SetFocus(mEdit);
}

void EnterNameMenu::Update() {
    Menu::Update();
    mOkButton->SetDisabled(mEdit->GetText().empty());
}

void EnterNameMenu::Draw(Graphics* g) {
    // The title fades back behind the question (the box draws in its own
    // coordinates: the window starts at minus its place).
    g->SetColor(kShade);
    g->FillRect(-mX, -mY, static_cast<float>(gGameApp ? gGameApp->GetWidth() : 1024),
                static_cast<float>(gGameApp ? gGameApp->GetHeight() : 768));
    Menu::Draw(g);
    if (Font* font = FindFont(L"normal17")) {
        g->SetFont(font);
        g->SetColor(Color::White);
        g->DrawTextLine(GetLocalizedString(L"enter_your_name"), static_cast<float>(mWidth / 2), kPromptBaseline, 0.0f, 0);
    }
}

bool EnterNameMenu::AllowChar(int editId, wchar_t character) {
    return editId != mEdit->mId || IsValidNameChar(mEdit->GetText(), character);
}

bool EnterNameMenu::AllowKey(int editId, int key) {
    if (editId != mEdit->mId || key != KeyCode::Return || mEdit->GetText().empty()) return true;
    ButtonDepress(mOkButton->mId);
    return false;
}

void EnterNameMenu::ButtonDepress(int id) {
    Menu::ButtonDepress(id);
    if (id != mOkButton->mId || mEdit->GetText().empty() || mRemoveRequested) return;
    // The game starts with the new player before the name is saved:
    // starting tries the name as a developer code, and the one that quits
    // without saving must leave profiles.xml as it was.
    PlayerProgress::CreateProfile(mEdit->GetText(), [this] {
        RemoveSelf();
        if (TitleScreen* title = mTitleScreen.Get()) title->ContinueToGame();
    });
}
