// The tutorial board on the first story set's first puzzles, played through
// the game's lessons (gamedata tutorial_animations.xml) with real mouse input.
#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "puzzle/TutorialGrid.h"
#include "render/Font.h"
#include "render/Image.h"
#include "render/TextLayout.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/NoticeMenu.h"
#include "widgets/TextboxPopup.h"

namespace {

class TutorialTest : public PlayScreenTest {
protected:
    TutorialGrid& Tutorial() {
        auto* grid = dynamic_cast<TutorialGrid*>(mMenu->GetGrid());
        EXPECT_NE(grid, nullptr);
        return *grid;
    }
    int Required() { return Tutorial().GetRules().GetRequired(); }
    // A line from one cell to another, pressed, dragged and released.
    void DragCells(Point from, Point to, MouseButton button = MouseButton::Left) {
        const Point a = CellCentre(from.mX, from.mY), b = CellCentre(to.mX, to.mY);
        mHarness.MouseMove(a.mX, a.mY);
        mHarness.MouseDown(a.mX, a.mY, button);
        mHarness.MouseMove(b.mX, b.mY);
        mHarness.MouseUp(b.mX, b.mY, button);
    }
    // The title of the notice over the board, empty when none.
    std::wstring NoticeTitle() {
        auto* notice = dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu());
        return notice ? notice->GetVariable(L"title").ToString() : L"";
    }
    void Press(const Widget& widget) {
        ClickCentre(mHarness, widget);
        Run(2);
    }
    void PressOk() { Press(*Tutorial().GetPopup()->GetOkButton()); }
};

TEST_F(TutorialTest, TheFirstLessonWaitsForItsCellsThenLeavesTheBoardFree) {
    Open(0, 0, 0);
    TutorialGrid& grid = Tutorial();
    ASSERT_EQ(grid.GetLessonName(), L"tutorial_1");
    ASSERT_TRUE(grid.IsWaiting());
    ASSERT_NE(grid.GetPopup(), nullptr);
    EXPECT_TRUE(grid.IsClueHighlighted(LineKind::Row, 1, 0));
    EXPECT_EQ(Required(), 10) << "rows 2 and 3";

    // The two groups light one second each, in turn.
    const TutorialRules& rules = grid.GetRules();
    const int first = rules.LitGroup();
    for (int steps = 0; rules.LitGroup() == first && steps < 200; ++steps) Run(1);
    for (int second = 0; second < 3; ++second) {
        const int lit = (first + 1 + second) % 2;
        EXPECT_EQ(rules.Lit(0, 1), lit == 0 ? CellAction::Reveal : CellAction::None) << second;
        EXPECT_EQ(rules.Lit(0, 2), lit == 1 ? CellAction::Reveal : CellAction::None) << second;
        Run(99);
        EXPECT_EQ(rules.LitGroup(), lit) << second;
        Run(1);
    }

    // A named cell alone counts; the script goes on only when all are done.
    ClickCell(0, 1);
    EXPECT_TRUE(grid.IsCellDone(0, 1));
    EXPECT_EQ(Required(), 9);
    DragCells({1, 1}, {4, 1});
    EXPECT_TRUE(grid.IsWaiting());
    DragCells({0, 2}, {4, 2});
    Run(2);
    ASSERT_EQ(Required(), 2) << "the column's two cells";
    EXPECT_FALSE(grid.IsClueHighlighted(LineKind::Row, 1, 0));
    EXPECT_TRUE(grid.IsClueHighlighted(LineKind::Column, 2, 0));

    // A line over a named and an unnamed cell: "blank_tile", and the named one still changes.
    DragCells({2, 3}, {3, 3});
    EXPECT_EQ(NoticeTitle(), GetLocalizedString(L"blank_tile_title"));
    EXPECT_TRUE(grid.IsCellDone(2, 3));
    EXPECT_FALSE(grid.IsCellDone(3, 3));
    ASSERT_TRUE(CloseNotice());
    ClickCell(2, 4);
    Run(2);

    // The last pop-up waits for its button; then the board is free.
    ASSERT_NE(grid.GetPopup(), nullptr);
    EXPECT_FALSE(grid.GetPopup()->GetOkButton()->mDisabled);
    // The lesson's link shows its notice.
    HyperlinkWidget* link = grid.GetLink(L"rules");
    ASSERT_NE(link, nullptr);
    Press(*link);
    EXPECT_EQ(NoticeTitle(), GetLocalizedString(L"tut_rules_title"));
    ASSERT_TRUE(CloseNotice());
    PressOk();
    EXPECT_EQ(grid.GetPopup(), nullptr);
    EXPECT_TRUE(grid.GetRules().IsFreePlay());
    ClickCell(3, 3);
    EXPECT_TRUE(grid.IsCellDone(3, 3));
    EXPECT_EQ(NoticeTitle(), L"");

    // With nothing required and no pop-up open, "do-tiles" and "ok" go on at once.
    EXPECT_EQ(grid.RunTutorialCommand(L"do-tiles"), ScriptStep::Next);
    EXPECT_EQ(grid.RunTutorialCommand(L"ok"), ScriptStep::Next);
    EXPECT_FALSE(grid.IsWaiting());
}

TEST_F(TutorialTest, RevealModeAllWaitsForALineAsLongAsWhatIsRequired) {
    Open(0, 0, 1);
    TutorialGrid& grid = Tutorial();
    ASSERT_EQ(grid.GetLessonName(), L"tutorial_2");
    ASSERT_EQ(Required(), 5);
    DragCells({2, 0}, {2, 2});
    EXPECT_TRUE(grid.IsCellDone(2, 2));
    EXPECT_EQ(Required(), 2);
    EXPECT_TRUE(grid.IsWaiting()) << "a line shorter than what was required";
    DragCells({2, 3}, {2, 4});
    Run(2);
    EXPECT_EQ(Required(), 4) << "the next step: row 3 without its middle";
    // A lesson that ends with its pop-up's button still disabled lets the player close it.
    ASSERT_TRUE(grid.GetPopup()->GetOkButton()->mDisabled);
    grid.StopAndEnd();
    EXPECT_TRUE(grid.GetRules().IsFreePlay());
    PressOk();
    EXPECT_EQ(grid.GetPopup(), nullptr);
}

}  // namespace

// However many lines a note's text takes, its OK button (at three quarters of
// the note's height) sits below the text, not over it.
TEST_F(TutorialTest, ALongNoteKeepsItsOkButtonBelowItsText) {
    const auto saved = gLocalizedStrings.Snapshot();
    for (int sentences : {1, 3, 6}) {
        LocalizedStringMap strings = *saved;
        std::wstring text;
        for (int i = 0; i < sentences; ++i) text += L"Each row's numbers count its runs of tiles, in order from the left. ";
        strings[L"tut1_rows"] = text;
        gLocalizedStrings.Publish(strings);
        Open(0, 0, 0);
        TextboxPopup* popup = Tutorial().GetPopup();
        ASSERT_NE(popup, nullptr);
        Font* font = FindFont(L"dialog_text");
        ASSERT_NE(font, nullptr);
        const Image* top = FindImage(L"tutorial_box_ct");
        const int textBottom = (top ? top->GetCelHeight() : 0) + MeasureWrappedText(*font, text, 700);
        EXPECT_GE(static_cast<int>(popup->GetOkButton()->mY), textBottom) << sentences << " sentences";
        CloseAll();
    }
    gLocalizedStrings.Publish(*saved);
}

// The second lesson teaches marking: it has the mark tool, and its last step
// waits until the top row's empty cells are marked with the right button.
TEST_F(TutorialTest, TheSecondLessonTeachesMarking) {
    Open(0, 0, 1);
    TutorialGrid& grid = Tutorial();
    EXPECT_EQ(mMenu->GetToolCount(), 2) << "the mark tool is there";
    DragCells({2, 0}, {2, 4});
    Run(2);
    DragCells({0, 2}, {1, 2});
    DragCells({3, 2}, {4, 2});
    Run(2);
    ASSERT_EQ(Required(), 4) << "the top row's four empty cells";
    DragCells({0, 0}, {1, 0}, MouseButton::Right);
    DragCells({3, 0}, {4, 0}, MouseButton::Right);
    Run(2);
    for (int x : {0, 1, 3, 4}) EXPECT_TRUE(grid.IsCellDone(x, 0)) << x;
    EXPECT_EQ(Grid().GetMistakesMade(), 0);
    EXPECT_NE(grid.GetPopup(), nullptr) << "the lesson's last note";
    EXPECT_EQ(Required(), 0);
}
