#include "puzzle/PlayPuzzleMenu.h"

#include <algorithm>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/CheckedFormat.h"
#include "data/Constants.h"
#include "data/Localization.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/PlayerState.h"
#include "puzzle/TutorialGrid.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AppServices.h"
#include "widgets/ButtonWidget.h"
#include "widgets/TextLabel.h"

namespace {

constexpr const wchar_t* kCommands[] = {L"init-grid-holes", L"add-grid",     L"add-hud",          L"show-grid",
                                        L"enable-grid",     L"show-numbers", L"wait-for-numbers", L"finish-init"};


std::wstring Device() { return gPlayerState ? gPlayerState->mDevice : L"ipad"; }

int PositionConstant(const std::wstring& name) { return GetConstantInt(name + Device()); }

// One centred line at (x, y): the timer and the tool captions.
TextLabel* MakeLabel(const std::wstring& text, int x, int y, const wchar_t* font) {
    auto* label = new TextLabel(text, static_cast<float>(x), static_cast<float>(y), font, 0, 0, 0, 0);
    label->mMouseVisible = false;
    label->mRemoveMask |= WidgetFlags::AllowMouse;
    return label;
}

void SetLabelText(TextLabel* label, const std::wstring& text) {
    if (!label || label->GetText() == text) return;
    label->SetText(text);
}

}  // namespace

void PlayPuzzleMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommands<PlayPuzzleMenu, &PlayPuzzleMenu::RunPlayCommand>(kCommands);
}

// --- Construction --------------------------------------------------------------------------

PlayPuzzleMenu::PlayPuzzleMenu(const PuzzleRef& puzzle) : Menu(OpeningAnimation(puzzle)), mPuzzle(puzzle) {
    mValid = Record() != nullptr;
    mFirstSet = puzzle.mGame == L"quiltro7" && puzzle.mMode == 0 && puzzle.mSet == 0;
    mEffectLayer = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
    mEffectLayer->mAddMask |= 0x10;
    mEffectLayer->mLayer = 1;
    mEffectLayer->mRemoveMask |= WidgetFlags::AllowMouse;
    mEffectLayer->Resize(0.0f, 0.0f, mWidth, mHeight);
    AddWidget(mEffectLayer);
    const int completed = gPlayerState ? gPlayerState->CountCompletedPuzzles(puzzle.mMode, puzzle.mSet) : 0;
    SetVariable(L"progress", ScriptValue(completed));
    if (!mValid)
        DebugPrintf("PlayPuzzleMenu: the catalogue has no puzzle %ls mode %d set %d puzzle %d\n", puzzle.mGame.c_str(),
                    puzzle.mMode, puzzle.mSet, puzzle.mPuzzle);
}

PlayPuzzleMenu::~PlayPuzzleMenu() {
    // Every way out of a puzzle keeps what was played (the hint pool, the
    // flags of the notices seen).
    PlayerProgress::SaveSettings();
}

std::wstring PlayPuzzleMenu::OpeningAnimation(const PuzzleRef& puzzle) {
    const GameSets& game = SetStats::FindGame(puzzle.mGame);
    if (puzzle.mMode >= 0 && puzzle.mMode < GameSets::kModeCount && puzzle.mSet >= 0) {
        const auto& sets = game.mModes[puzzle.mMode];
        if (puzzle.mSet < static_cast<int>(sets.size()))
            return sets[static_cast<size_t>(puzzle.mSet)].mName + L"_play_" + puzzle.mGame;
    }
    return L"default_play";
}

std::wstring PlayPuzzleMenu::PlayTimeText(int elapsed) {
    return FormatChecked(GetLocalizedString(L"puzzle_time"), {elapsed / 6000, (elapsed / 100) % 60});
}

void PlayPuzzleMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (!mValid) ReturnToMainMenu();
}

// --- Opening ---------------------------------------------------------------------------------

void PlayPuzzleMenu::ScriptEnded() {
    if (!mValid) return;
    if (mState == State::Opening) {
        const PuzzleRecord* record = Record();
        mSize = record->GetSize();
        SetVariable(L"c_device", ScriptValue(Device()));
        SetVariable(L"c_width", ScriptValue(mWidth));
        SetVariable(L"c_height", ScriptValue(mHeight));
        const GameSets& game = SetStats::FindGame(mPuzzle.mGame);
        const auto& sets = game.mModes[mPuzzle.mMode];
        const std::wstring setName =
            mPuzzle.mSet < static_cast<int>(sets.size()) ? sets[static_cast<size_t>(mPuzzle.mSet)].mName : L"";
        SetVariable(L"c_setname", ScriptValue(GetLocalizedString(setName)));
        bool completed = false;
        if (gPlayerState && mPuzzle.mSet < static_cast<int>(gPlayerState->mProgress[mPuzzle.mMode].size())) {
            const SetProgress& set = gPlayerState->mProgress[mPuzzle.mMode][static_cast<size_t>(mPuzzle.mSet)];
            completed = mPuzzle.mPuzzle < static_cast<int>(set.mPuzzles.size()) &&
                        set.mPuzzles[static_cast<size_t>(mPuzzle.mPuzzle)].mCompleted;
        }
        SetVariable(L"c_puzzlename", completed ? ScriptValue(GetLocalizedString(record->mName)) : ScriptValue(true));
        SetVariable(L"c_time", ScriptValue(PlayTimeText(mElapsed)));
        mState = State::Building;
        InsertAnimationByName(L"play_puzzle_menu_" + Device());
    } else if (mState == State::Building) {
        for (const auto& handle : mHud)
            if (Widget* widget = handle.Get()) widget->SetVisible(true);
        mState = State::Playing;
        if (PlayTileGrid* grid = mGrid.Get()) grid->BeginPlay();
        MarkDirty();
    }
}

ScriptStep PlayPuzzleMenu::RunPlayCommand(const std::wstring& name) {
    if (mState != State::Building) return ScriptStep::NotMine;
    PlayTileGrid* grid = mGrid.Get();
    if (name == L"finish-init") {
        FinishInit(GetIntAttributeOr(L"x", 0), GetIntAttributeOr(L"y", 0), GetIntAttributeOr(L"mX", 0),
                   GetIntAttributeOr(L"mY", 0));
        return ScriptStep::Next;
    }
    if (!grid) return ScriptStep::Next;
    if (name == L"init-grid-holes") {
        grid->InitHoles();
    } else if (name == L"show-grid") {
        grid->SetVisible(true);
    } else if (name == L"enable-grid") {
        grid->SetDisabled(false);
    } else if (name == L"show-numbers") {
        grid->StartNumbersIntro();
    } else if (name == L"wait-for-numbers") {
        mWaitState = WaitState::PlayScreen;
        return ScriptStep::Stop;
    } else if (name == L"add-grid" || name == L"add-hud") {
        // A picture of the board or the HUD the script may move and fade,
        // while the widgets themselves stay hidden until play begins.
        int x = GetIntAttributeOr(L"x", 0);
        if (name == L"add-grid" && mSize == 15) x += GetConstantInt(L"dim15_offset");
        const std::vector<Widget*> shown = name == L"add-grid" ? std::vector<Widget*>{grid} : HudWidgets();
        float opacity = GetFloatAttributeOr(L"opacity", 1.0f);
        // The HUD's picture is seen whole unless an opacity is really given.
        if (name == L"add-hud" && GetStringAttribute(L"opacity").empty()) opacity = 1.0f;
        auto* picture = new DynamicWidget(static_cast<float>(x), static_cast<float>(GetIntAttributeOr(L"y", 0)),
                                          nullptr, opacity);
        picture->SetOwnedImage(Snapshot(shown));
        picture->mRemoveMask |= WidgetFlags::AllowMouse;
        AddWidget(picture);
        AddNamedObject(GetStringAttribute(L"id"), picture);
    }
    return ScriptStep::Next;
}

std::vector<Widget*> PlayPuzzleMenu::HudWidgets() const {
    std::vector<Widget*> widgets;
    for (const auto& handle : mHud)
        if (Widget* widget = handle.Get()) widgets.push_back(widget);
    return widgets;
}

ImageSurface* PlayPuzzleMenu::Snapshot(const std::vector<Widget*>& widgets) {
    auto* surface = new ImageSurface();
    if (!surface->Create(std::max(mWidth, 1), std::max(mHeight, 1))) return surface;
    Graphics g(surface);
    for (Widget* widget : widgets) {
        if (!widget->mWidgetManager) continue;
        // Hidden HUD widgets are pictured as they will show.
        const bool visible = widget->mVisible;
        widget->mVisible = true;
        widget->DrawAll(&g, WidgetFlags::Default);
        widget->mVisible = visible;
    }
    g.FlushBatch();
    return surface;
}

Widget* PlayPuzzleMenu::Freeze(const std::vector<Widget*>& widgets) {
    if (widgets.empty()) return nullptr;
    auto* picture = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
    picture->SetOwnedImage(Snapshot(widgets));
    picture->mRemoveMask |= WidgetFlags::AllowMouse;
    AddWidget(picture);
    for (Widget* widget : widgets) widget->RemoveSelf();
    return picture;
}

void PlayPuzzleMenu::ReleaseHudPicture() {
    if (Widget* picture = mHudPicture.Get()) picture->RemoveSelf();
    mHudPicture.Reset();
}

void PlayPuzzleMenu::AddHud(Widget* widget) {
    widget->SetVisible(false);
    mHud.emplace_back(widget);
    AddWidget(widget);
}

void PlayPuzzleMenu::FinishInit(int x, int y, int mX, int mY) {
    if (mGrid.Get()) return;
    auto* timer = MakeLabel(PlayTimeText(mElapsed), PositionConstant(L"timer_text_x_") + x,
                            PositionConstant(L"timer_text_y_") + y, L"hud_text");
    mTimerLabel = timer;
    AddHud(timer);
    auto* hint = new HintMeter(static_cast<float>(PositionConstant(L"hint_meter_x_") + x),
                               static_cast<float>(PositionConstant(L"hint_meter_y_") + y), 240, 120, mSize);
    mHintMeter = hint;
    AddHud(hint);
    auto* mistakes = new MistakeMeter(static_cast<float>(PositionConstant(L"mistake_meter_x_") + x),
                                      static_cast<float>(PositionConstant(L"mistake_meter_y_") + y), 240, 200, mSize);
    mMistakeMeter = mistakes;
    AddHud(mistakes);

    const bool withoutMark = mFirstSet && mPuzzle.mPuzzle < GetConstantInt(L"puzzles_without_shovel");
    ToolRecord tile = MakeTool(L"tile_tool_btn", L"left_click_", L"left_click_text_", L"puzzle_left_click",
                               L"brushcursor", mX, mY);
    mTools.push_back(tile);
    if (!withoutMark)
        mTools.push_back(MakeTool(L"mark_tool_btn", L"right_click_", L"right_click_text_", L"puzzle_right_click",
                                  L"shovelcursor", mX, mY));
    SelectTool(0);

    const bool tutorial = mFirstSet && mPuzzle.mPuzzle < GetConstantInt(L"tutorials");
    std::string error;
    PlayTileGrid* grid = tutorial ? TutorialGrid::Create(mPuzzle, &error) : PlayTileGrid::Create(mPuzzle, &error);
    if (!grid) {
        ReturnToMainMenu();
        return;
    }
    mGrid = grid;
    AddWidget(grid);
    PlaceGrid(grid);
    grid->SetMeters(hint, mistakes);
    grid->SetVisible(false);
    Widget* cursors[2] = {nullptr, nullptr};
    for (size_t i = 0; i < mTools.size(); ++i) {
        auto* cursor = new AnimationWidget(mTools[i].mCursor, 0.0f, 0.0f, false);
        cursor->SetVisible(false);
        cursor->mRemoveMask |= WidgetFlags::AllowMouse;
        AddWidget(cursor);
        cursors[i] = cursor;
    }
    grid->SetCursors(cursors[0], cursors[1]);
    grid->SetRightButtonOff(mTools.size() == 1);
    SelectTool(mCurrentTool);
    SetVariable(L"c_device", ScriptValue(Device()));
    InsertAnimationByName(L"play_intro");
}

PlayPuzzleMenu::ToolRecord PlayPuzzleMenu::MakeTool(const std::wstring& image, const std::wstring& prefix,
                                                    const std::wstring& textPrefix, const std::wstring& labelKey,
                                                    const std::wstring& cursor, int mX, int mY) {
    ToolRecord record;
    auto* button = new ButtonWidget(static_cast<float>(PositionConstant(prefix + L"x_") + mX),
                                    static_cast<float>(PositionConstant(prefix + L"y_") + mY), image);
    button->Move(button->mX - static_cast<float>(button->mWidth / 2), button->mY);
    button->mButtonListener = this;
    auto* label = MakeLabel(GetLocalizedString(labelKey), PositionConstant(textPrefix + L"x_") + mX,
                            PositionConstant(textPrefix + L"y_") + mY, L"hud_text2");
    record.mButton = button;
    record.mLabel = label;
    record.mFrameX = static_cast<int>(button->mX) - 11;
    record.mFrameY = static_cast<int>(button->mY) - 11;
    record.mCursor = cursor;
    AddHud(button);
    AddHud(label);
    return record;
}

void PlayPuzzleMenu::PlaceGrid(PlayTileGrid* grid) {
    const Image* hud = FindImage(L"hud_back_" + Device());
    const Image* column = FindImage(WStrFormat(L"Grid%d_V_%ls", mSize, Device().c_str()));
    // Without the pictures the board keeps the clue room clear of the HUD.
    const int hudWidth = hud ? hud->GetWidth() : 0;
    const int columnWidth = column ? column->GetWidth() : grid->GetOffsetX();
    const int screenWidth = gAppServices ? gAppServices->GetWidth() : mWidth;
    const int free = screenWidth - grid->mWidth;
    const int t = (free - columnWidth - hudWidth) / 2;
    const int x = t > 0 ? t + columnWidth + hudWidth : free;
    grid->Move(static_cast<float>(x), grid->mY + grid->mHeight * 0.5f - static_cast<float>(grid->mHeight / 2));
}

// --- Tools -----------------------------------------------------------------------------------

ButtonWidget* PlayPuzzleMenu::GetToolButton(int index) const {
    return index >= 0 && index < GetToolCount() ? mTools[static_cast<size_t>(index)].mButton.Get() : nullptr;
}

std::wstring PlayPuzzleMenu::GetToolLabel(int index) const {
    if (index < 0 || index >= GetToolCount()) return {};
    TextLabel* label = mTools[static_cast<size_t>(index)].mLabel.Get();
    return label ? label->GetText() : std::wstring();
}

void PlayPuzzleMenu::SelectTool(int index) {
    if (mTools.empty()) return;
    mCurrentTool = std::clamp(index, 0, GetToolCount() - 1);
    const bool toggle = gPlayerState && gPlayerState->mToggleMode;
    for (size_t i = 0; i < mTools.size(); ++i) {
        ButtonWidget* button = mTools[i].mButton.Get();
        TextLabel* label = mTools[i].mLabel.Get();
        if (button) {
            button->SetDisabled(static_cast<int>(i) == mCurrentTool);
            button->mMouseVisible = toggle;
        }
        if (!label) continue;
        if (toggle)
            SetLabelText(label, static_cast<int>(i) == mCurrentTool ? GetLocalizedString(L"puzzle_left_click") : L"");
        else
            SetLabelText(label, GetLocalizedString(i == 0 ? L"puzzle_left_click" : L"puzzle_right_click"));
    }
    mShownTool = mCurrentTool == 0;
    if (PlayTileGrid* grid = mGrid.Get()) {
        grid->SetTool(mCurrentTool != 0 ? Tool::Mark : Tool::Tile);
        grid->UpdateCursorImage();
    }
    MarkDirty();
}

void PlayPuzzleMenu::ToggleTool() {
    // Before the tools exist (a space during the opening) there is nothing to switch.
    if (mTools.empty()) return;
    SelectTool((mCurrentTool + 1) % GetToolCount());
}

void PlayPuzzleMenu::FollowGridTool() {
    PlayTileGrid* grid = mGrid.Get();
    if (!grid) return;
    const CellAction action = grid->GetCurrentAction();
    const bool tile = action == CellAction::Reveal || (action == CellAction::None && grid->GetTool() == Tool::Tile);
    if (tile == mShownTool) return;
    mShownTool = tile;
    if (ButtonWidget* button = GetToolButton(0)) button->SetDisabled(tile);
    if (ButtonWidget* button = GetToolButton(1)) button->SetDisabled(!tile);
    MarkDirty();
}

void PlayPuzzleMenu::ButtonPress(int id) {
    Menu::ButtonPress(id);
    for (size_t i = 0; i < mTools.size(); ++i) {
        ButtonWidget* button = mTools[i].mButton.Get();
        if (button && button->mId == id) SelectTool(static_cast<int>(i));
    }
}

void PlayPuzzleMenu::DisableControls() {
    for (const ToolRecord& tool : mTools)
        if (ButtonWidget* button = tool.mButton.Get()) button->mMouseVisible = false;
    if (HintMeter* meter = mHintMeter.Get()) {
        meter->mMouseVisible = false;
        meter->mRemoveMask |= WidgetFlags::AllowMouse;
    }
}

void PlayPuzzleMenu::GiveHint(int sourceX, int sourceY, int cellCount) {
    if (PlayTileGrid* grid = mGrid.Get()) grid->GiveHint(sourceX, sourceY, cellCount);
}

// --- Input -----------------------------------------------------------------------------------

void PlayPuzzleMenu::KeyChar(wchar_t character) {
    Menu::KeyChar(character);
    if (character == L' ' && gPlayerState && gPlayerState->mToggleMode) ToggleTool();
    if (GetTypedCode() == L"wunderpa" && mState == State::Playing) CompletePuzzle();
}

void PlayPuzzleMenu::MouseDown(int x, int y, int clickCount) {
    Menu::MouseDown(x, y, clickCount);
    if (clickCount < 0 && gPlayerState && gPlayerState->mToggleMode) ToggleTool();
}

void PlayPuzzleMenu::GotFocus() {
    Menu::GotFocus();
    if (mState == State::Playing) {
        SelectTool(gPlayerState && gPlayerState->mToggleMode ? mCurrentTool : 0);
    } else if (mState == State::Revealing || mState == State::Failing) {
        SetPauseWhenCovered(false);
    }
}

void PlayPuzzleMenu::DoAction(const std::wstring& action, const std::wstring& /*parameter*/, int /*object*/) {
    if (action == L"options") OpenOptions();
}

// --- The play loop -----------------------------------------------------------------------------

std::wstring PlayPuzzleMenu::GetTimerText() const {
    TextLabel* label = mTimerLabel.Get();
    return label ? label->GetText() : std::wstring();
}

int PlayPuzzleMenu::StepsUntilDue() {
    if (mWaitState == WaitState::PlayScreen || mState == State::Revealing) return 0;
    const int base = Menu::StepsUntilDue();
    if (mState != State::Playing) return base;
    // The clock counts every step (those slept through run when the loop
    // wakes); only its label's change must be on time: the steps before the
    // one that reaches the next whole second may run late.
    const int label = kTimerStep - mElapsed % kTimerStep - 1;
    return std::min(base, label);
}

void PlayPuzzleMenu::Update() {
    Menu::Update();
    PlayTileGrid* grid = mGrid.Get();
    if (mWaitState == WaitState::PlayScreen) {
        if (grid && !grid->mDisabled) {
            mWaitState = WaitState::Running;
            RunScript(true);
        }
        return;
    }
    if (mState == State::Revealing) {
        PlayArtGrid* art = mArtGrid.Get();
        if (art && art->StartReveal()) {
            // The finished picture covers every cell, and the clue room has
            // faded out with its numbers: a picture of the board would never
            // show, yet it held a texture of the screen's size and, in
            // llvmpipe, the draws of every cell it was made from (some
            // 24 MiB for a played 25 x 25 board) until the screen closed.
            // A room still fading (a reveal shorter than the fade) stays as
            // it stands, as before.
            if (grid && grid->GetNumberAlpha() > 0.0f)
                Freeze({grid});
            else if (grid)
                grid->RemoveSelf();
            mState = State::Finished;
        }
        return;
    }
    if (mState != State::Playing || !grid) return;
    FollowGridTool();
    if (grid->GetRemainingTiles() == 0 && grid->GetRunningCellAnimations() == 0) {
        CompletePuzzle();
    } else if (IsPuzzleFailed()) {
        CompletePuzzle();
    } else {
        ++mElapsed;
        if (mElapsed % kTimerStep == 0)
            if (TextLabel* label = mTimerLabel.Get()) SetLabelText(label, PlayTimeText(mElapsed));
    }
}

void PlayPuzzleMenu::Draw(Graphics* g) {
    Menu::Draw(g);
    if (mState == State::Playing) DeferOverlay(0);
}

bool PlayPuzzleMenu::IsPuzzleFailed() {
    if (mFailedCached) return true;
    PlayTileGrid* grid = mGrid.Get();
    MistakeMeter* meter = mMistakeMeter.Get();
    if (!grid || !meter) return false;
    mFailedCached = grid->GetMistakesMade() >= grid->GetMistakesAllowed() && grid->GetMistakeTrailsInFlight() == 0 &&
                    meter->GetArrived() >= meter->GetChances();
    return mFailedCached;
}

void PlayPuzzleMenu::CompletePuzzle() {
    PlayTileGrid* grid = mGrid.Get();
    if (!grid || mState != State::Playing) return;
    const bool failed = IsPuzzleFailed();
    // Failing, the state is set first: the explosion may fail the puzzle at once.
    if (failed)
        mState = State::Failing;
    // The meter bursts before the board lets go of it.
    if (failed)
        grid->ExplodeMistakeMeter();
    else
        grid->FadeNumbers(true);
    SetPauseWhenCovered(false);
    grid->SetDisabled(true);
    grid->SetMeters(nullptr, nullptr);
    DisableControls();
    const int seconds = mElapsed / 100;
    // The HUD stops as it is: the results are read first.
    if (HintMeter* meter = mHintMeter.Get()) mHintsUsed = meter->GetHintsUsed();
    mHudPicture = Freeze(HudWidgets());
    if (failed) return;
    mState = State::Revealing;
    if (gAppServices) gAppServices->PlaySample(GetSoundId(WStrFormat(L"reveal%d", mSize)));
    auto* art = new PlayArtGrid(*Record(), grid);
    mArtGrid = art;
    AddWidget(art);
    // On disk before the results show: a crash on them loses nothing.
    mWin = PlayerProgress::RecordWin(mPuzzle.mGame, mPuzzle.mMode, mPuzzle.mSet, mPuzzle.mPuzzle, seconds,
                                     grid->GetMistakesMade(), mHintsUsed);
    OpenLevelComplete(MakeResult(seconds));
}

PlayResult PlayPuzzleMenu::MakeResult(int seconds) const {
    PlayResult result;
    result.mPuzzle = mPuzzle;
    result.mSeconds = seconds;
    if (PlayTileGrid* grid = mGrid.Get()) result.mMistakes = grid->GetMistakesMade();
    result.mHintsUsed = mHintsUsed;
    result.mWin = mWin;
    result.mArtGrid = mArtGrid.Get();
    return result;
}

void PlayPuzzleMenu::FailPuzzle() {
    if (mFailShown || mState != State::Failing) return;
    mFailShown = true;
    OpenLevelFail(MakeResult(mElapsed / 100));
    if (PlayTileGrid* grid = mGrid.Get()) Freeze({grid});
}

// --- The screens that follow (a game screen opens them) -------------------------------------------

void PlayPuzzleMenu::OpenLevelComplete(const PlayResult& result) {
    DebugPrintf("PlayPuzzleMenu: solved in %d s, %d mistakes, %d hints%s\n", result.mSeconds, result.mMistakes,
                result.mHintsUsed, result.mWin.mFirstCompletion ? ", first time" : "");
}

void PlayPuzzleMenu::OpenLevelFail(const PlayResult& result) {
    DebugPrintf("PlayPuzzleMenu: lost after %d s, %d mistakes, %d hints\n", result.mSeconds, result.mMistakes,
                result.mHintsUsed);
}

void PlayPuzzleMenu::OpenOptions() { DebugPrintf("PlayPuzzleMenu: options asked while playing\n"); }

void PlayPuzzleMenu::ReturnToMainMenu() { RemoveSelf(); }

PlayArtGrid* PlayPuzzleMenu::GetArtGrid() const { return mArtGrid.Get(); }
