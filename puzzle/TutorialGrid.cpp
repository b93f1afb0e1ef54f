#include "puzzle/TutorialGrid.h"

#include <algorithm>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AppServices.h"
#include "widgets/ButtonWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/NoticeMenu.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/TextboxPopup.h"

namespace {

constexpr const wchar_t* kCommands[] = {L"popup", L"reveal", L"mark", L"do-tiles", L"clear-tiles",
                                        L"set-flash-groups", L"highlight", L"unhighlight", L"ok",
                                        L"set", L"flash", L"reset-timer", L"add-link", L"remove-link"};
constexpr int kPopupPadding = 20;

void ShowNotice(const std::wstring& key) { ShowMenu(new NoticeMenu(key, nullptr, L"menu", 2)); }

PlayTileGrid* MakeTutorialGrid(const PuzzleRef& puzzle) { return new TutorialGrid(puzzle); }

}  // namespace

void TutorialGrid::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommands<TutorialGrid, &TutorialGrid::RunTutorialCommand>(kCommands);
}

TutorialGrid::TutorialGrid(const PuzzleRef& puzzle)
    : PlayTileGrid(puzzle), mRules(GetSize()), mScriptName(WStrFormat(L"tutorial_%d", puzzle.mPuzzle + 1)) {
    SetPolicy(&mRules);
}

TutorialGrid::~TutorialGrid() { SetPolicy(nullptr); }

TutorialGrid* TutorialGrid::Create(const PuzzleRef& puzzle, std::string* error) {
    return static_cast<TutorialGrid*>(PlayTileGrid::Create(puzzle, error, &MakeTutorialGrid));
}

HyperlinkWidget* TutorialGrid::GetLink(const std::wstring& id) const {
    auto found = mLinks.find(id);
    return found == mLinks.end() ? nullptr : found->second.mWidget.Get();
}

bool TutorialGrid::IsClueHighlighted(LineKind kind, int line, int index) const {
    auto found = mHighlights.find({static_cast<int>(kind), line, index});
    return found != mHighlights.end() && found->second;
}

// --- Commands --------------------------------------------------------------------------

ScriptStep TutorialGrid::RunTutorialCommand(const std::wstring& name) {
    if (name == L"popup") {
        ShowPopup();
    } else if (name == L"reveal" || name == L"mark") {
        NameCells(name == L"reveal" ? CellAction::Reveal : CellAction::Mark);
    } else if (name == L"do-tiles") {
        // Nothing named: nothing the player could do would ever resume it.
        if (mRules.GetRequired() > 0) return Wait();
    } else if (name == L"clear-tiles") {
        mRules.Clear();
        MarkDirty();
    } else if (name == L"set-flash-groups") {
        mRules.SetFlashGroupCount(GetIntAttribute(L"count"));
    } else if (name == L"highlight" || name == L"unhighlight") {
        SetHighlight(name == L"highlight");
    } else if (name == L"ok") {
        TextboxPopup* popup = mPopup.Get();
        ButtonWidget* ok = popup ? popup->GetOkButton() : nullptr;
        // Without a pop-up there is no button to press.
        if (!ok) return ScriptStep::Next;
        ok->SetDisabled(false);
        return Wait();
    } else if (name == L"set" || name == L"flash") {
        // With an object named these are the ordinary commands.
        if (HasAttribute(L"id")) return ScriptStep::NotMine;
        if (name == L"set" && HasAttribute(L"reveal-mode"))
            mRules.SetRevealModeAll(GetStringAttribute(L"reveal-mode") == L"all");
    } else if (name == L"add-link") {
        AddLink();
    } else if (name == L"remove-link") {
        RemoveLink(GetStringAttribute(L"id"));
    } else if (name != L"reset-timer") {
        return ScriptStep::NotMine;
    }
    return ScriptStep::Next;
}

ScriptStep TutorialGrid::Wait() {
    mWaitState = WaitState::TutorialGrid;
    return ScriptStep::Stop;
}

void TutorialGrid::Resume() {
    if (!IsWaiting()) return;
    mWaitState = WaitState::Running;
    RunScript(true);
}

void TutorialGrid::ShowPopup() {
    ClosePopup();
    // The note's OK (a menu button at three quarters of its height) stays
    // below however many lines the text takes.
    const Image* button = FindImage(L"menubutton");
    DynamicWidget* text = CreateTextObject(0, kPopupPadding, button ? button->GetCelHeight() : 0);
    if (!text) return;
    text->SetVisible(false);
    mPopupText = text;
    const FRect at = text->LocalToScreenRect(FRect(0.0f, 0.0f, 1.0f, 1.0f));
    auto* popup = new TextboxPopup(static_cast<int>(at.mX), static_cast<int>(at.mY), text->GetImage(), this);
    mPopup = popup;
    ShowMenu(popup);
}

void TutorialGrid::ClosePopup() {
    if (TextboxPopup* popup = mPopup.Get()) popup->RemoveSelf();
    if (DynamicWidget* text = mPopupText.Get()) text->RemoveSelf();
    mPopup.Reset();
    mPopupText.Reset();
}

void TutorialGrid::NameCells(CellAction action) {
    const int x1 = GetIntAttribute(L"x1"), y1 = GetIntAttribute(L"y1");
    if (!mRules.NameCells(action, GetIntAttribute(L"group"), x1, y1, GetIntAttribute(L"x2"), GetIntAttribute(L"y2")))
        DebugPrintf("TutorialGrid: '%ls' with group %d names nothing (groups are 0..%d)\n",
                    GetCurrentCommand()->mName.c_str(), GetIntAttribute(L"group"), TutorialRules::kMaxGroup);
    mRules.SkipDone(GetModel());
    MarkDirty();
}

void TutorialGrid::SetHighlight(bool on) {
    const std::wstring column = GetStringAttribute(L"col");
    const LineKind kind = column.empty() ? LineKind::Row : LineKind::Column;
    const int line = (column.empty() ? GetIntAttribute(L"row") : GetIntAttribute(L"col")) - 1;
    const std::vector<ClueLine>& clues = GetClues(kind);
    if (line >= 0 && line < static_cast<int>(clues.size())) {
        const int count = static_cast<int>(clues[static_cast<size_t>(line)].size());
        if (!GetStringAttribute(L"position").empty()) {
            const int index = GetIntAttribute(L"position") - 1;
            if (index >= 0 && index < count) mHighlights[{static_cast<int>(kind), line, index}] = on;
        } else {
            for (int index = 0; index < count; ++index) mHighlights[{static_cast<int>(kind), line, index}] = on;
        }
    }
    MarkDirty();
}

void TutorialGrid::AddLink() {
    DynamicWidget* overlay = mOverlay.Get();
    const std::wstring id = GetStringAttribute(L"id");
    if (!overlay) return;
    RemoveLink(id);
    auto* link = new HyperlinkWidget(this);
    link->SetLabel(GetLocalizedString(GetStringAttribute(L"text")), false);
    link->SetStateFont(GetFontAttribute(L"font"), ButtonWidget::Normal);
    link->SetStateFont(GetFontAttribute(L"font-over"), ButtonWidget::Over);
    link->SizeToText(GetIntAttribute(L"x"), GetIntAttribute(L"y"), GetIntAttributeOr(L"width", 1));
    overlay->AddWidget(link);
    mLinks[id] = Link{link, GetStringAttribute(L"popup-text")};
}

void TutorialGrid::RemoveLink(const std::wstring& id) {
    auto found = mLinks.find(id);
    if (found == mLinks.end()) return;
    if (HyperlinkWidget* link = found->second.mWidget.Get()) link->RemoveSelf();
    mLinks.erase(found);
}

void TutorialGrid::ButtonDepress(int id) {
    PlayTileGrid::ButtonDepress(id);
    TextboxPopup* popup = mPopup.Get();
    if (popup && popup->GetOkButton() && popup->GetOkButton()->mId == id) {
        ClosePopup();
        Resume();
        return;
    }
    for (const auto& [linkId, link] : mLinks)
        if (HyperlinkWidget* widget = link.mWidget.Get(); widget && widget->mId == id) {
            ShowNotice(link.mPopupText);
            return;
        }
}

// --- Play ------------------------------------------------------------------------------

void TutorialGrid::MouseUpAt(int x, int y, int clickCount) {
    PlayTileGrid::MouseUpAt(x, y, clickCount);
    switch (mRules.TakeVerdict()) {
        case TutorialRules::Verdict::IncorrectTile: ShowNotice(L"incorrect_tile"); break;
        case TutorialRules::Verdict::BlankTile: ShowNotice(L"blank_tile"); break;
        case TutorialRules::Verdict::None: break;
    }
    if (mRules.TakeAllDone()) Resume();
}

void TutorialGrid::SetPauseWhenCovered(bool pause) {
    Menu* owner = dynamic_cast<Menu*>(GetPauseOwner());
    if (!owner) owner = dynamic_cast<Menu*>(mParent);
    if (owner) owner->SetPauseWhenCovered(pause);
}

void TutorialGrid::BeginPlay() {
    mRules.SetFreePlay(false);
    SetDisabled(false);
    SetPauseWhenCovered(false);
    InsertAnimationByName(mScriptName);
}

void TutorialGrid::ScriptEnded() {
    PlayTileGrid::ScriptEnded();
    EndLesson();
}

void TutorialGrid::PlayedEmptyAnimation() { EndLesson(); }

void TutorialGrid::EndLesson() {
    mRules.SetFreePlay(true);
    SetPauseWhenCovered(true);
    // A pop-up the lesson left open would have no one to enable its button.
    if (TextboxPopup* popup = mPopup.Get())
        if (ButtonWidget* ok = popup->GetOkButton()) ok->SetDisabled(false);
}

// --- Tree and drawing ---------------------------------------------------------------------

void TutorialGrid::AddedToManager(WidgetManager* manager) {
    PlayTileGrid::AddedToManager(manager);
    if (mOverlay.Get() || !mParent) return;
    auto* overlay = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
    const int width = gAppServices ? gAppServices->GetWidth() : 1024;
    const int height = gAppServices ? gAppServices->GetHeight() : 768;
    overlay->Resize(0.0f, 0.0f, width, height);
    overlay->mPriority = 1;
    overlay->mMouseVisible = false;  // only its links take the mouse
    mParent->AddWidget(overlay);
    mOverlay = overlay;
}

void TutorialGrid::RemovedFromManager(WidgetManager* manager) {
    ClosePopup();
    if (DynamicWidget* overlay = mOverlay.Get()) overlay->RemoveSelf();
    mOverlay.Reset();
    PlayTileGrid::RemovedFromManager(manager);
}

void TutorialGrid::Update() {
    PlayTileGrid::Update();
    if (mRules.StepFlash()) MarkDirty();
}

void TutorialGrid::Draw(Graphics* g) {
    PlayTileGrid::Draw(g);
    DeferOverlay(0);
}

void TutorialGrid::DrawOverlay(Graphics* g) {
    PlayTileGrid::DrawOverlay(g);
    if (mRules.GetRequired() <= 0) return;
    const int n = GetSize(), t = GetTileSize();
    // The line being dragged shows its own highlight.
    const bool dragging = GetCurrentAction() != CellAction::None;
    const Point press = GetPressCell(), end = GetEndCell();
    const int left = std::min(press.mX, end.mX), right = std::max(press.mX, end.mX);
    const int top = std::min(press.mY, end.mY), bottom = std::max(press.mY, end.mY);
    GraphicsState saved;
    saved.CopyFrom(*g);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            const CellAction lit = mRules.Lit(x, y);
            if (lit == CellAction::None) continue;
            if (dragging && x >= left && x <= right && y >= top && y <= bottom) continue;
            Image* image = lit == CellAction::Mark ? GetMarkHighlight() : GetTileHighlight();
            if (image) g->DrawImage(image, static_cast<float>(x * t), static_cast<float>(y * t));
        }
    g->RestoreState(saved);
}

void TutorialGrid::DrawClueNumber(Graphics* g, int x, int y, LineKind kind, int line, int index, bool highlighted) {
    PlayTileGrid::DrawClueNumber(g, x, y, kind, line, index, highlighted || IsClueHighlighted(kind, line, index));
}
