#pragma once
#include <map>
#include <string>
#include <tuple>

#include "puzzle/PlayTileGrid.h"
#include "puzzle/TutorialRules.h"
#include "widgets/TextboxPopup.h"

class HyperlinkWidget;
class Menu;

// The board of the tutorial puzzles: a lesson script ("tutorial_<n>", n the
// puzzle index + 1) drives it through its own commands. It shows pop-up
// texts, names the cells the player must reveal or mark next (lit in flash
// groups), highlights clue numbers, adds text links and waits until the
// player has done what was asked. The rules of a lesson step are
// TutorialRules; when the script has ended the player plays freely.
class TutorialGrid : public PlayTileGrid {
public:
    explicit TutorialGrid(const PuzzleRef& puzzle);
    ~TutorialGrid() override;
    // The board, or null (with the reason) as PlayTileGrid::Create.
    static TutorialGrid* Create(const PuzzleRef& puzzle, std::string* error);
    // The lesson commands, registered by the game.
    static void RegisterScriptCommands(ScriptCommandRegistry& registry);

    // --- Widget ----------------------------------------------------------------
    void Update() override;
    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    void MouseUpAt(int x, int y, int clickCount) override;
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;

    // --- Script --------------------------------------------------------------------
    void BeginPlay() override;
    void ScriptEnded() override;
    void PlayedEmptyAnimation() override;
    ScriptStep RunTutorialCommand(const std::wstring& name);
    void ButtonDepress(int id) override;
    void DrawClueNumber(Graphics* g, int x, int y, LineKind kind, int line, int index, bool highlighted) override;

    // --- What tests and the play screen read -----------------------------------------
    const TutorialRules& GetRules() const { return mRules; }
    const std::wstring& GetLessonName() const { return mScriptName; }
    bool IsWaiting() const { return mWaitState == WaitState::TutorialGrid; }
    TextboxPopup* GetPopup() const { return mPopup.Get(); }
    HyperlinkWidget* GetLink(const std::wstring& id) const;
    bool IsClueHighlighted(LineKind kind, int line, int index) const;

private:
    struct Link {
        WeakHandle<HyperlinkWidget> mWidget;
        std::wstring mPopupText;
    };
    void ShowPopup();
    void NameCells(CellAction action);
    void SetHighlight(bool on);
    void AddLink();
    void RemoveLink(const std::wstring& id);
    ScriptStep Wait();
    void Resume();
    void SetPauseWhenCovered(bool pause);
    void ClosePopup();
    // The lesson is over (or there was none): the board is free.
    void EndLesson();

    TutorialRules mRules;
    WeakHandle<DynamicWidget> mPopupText;
    WeakHandle<TextboxPopup> mPopup;
    std::wstring mScriptName;
    std::map<std::tuple<int, int, int>, bool> mHighlights;  // (kind, line, clue position)
    std::map<std::wstring, Link> mLinks;
    WeakHandle<DynamicWidget> mOverlay;  // the links' full-screen layer
};
