// The set and puzzle choice: what a fresh completion opens, what the panel
// shows against the saved profile, locked puzzles and sets, and where each
// way out leads.
#include "core/FileUtil.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "render/Image.h"
#include "screens/PuzzleIcon.h"
#include "screens/PuzzleSelectMenu.h"
#include "screens/SelectSetMenu.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/TextLabel.h"

namespace {

// Two wings of the story, the second and the last; each holds more puzzles
// than one row of the page.
constexpr int kHarbor = 2;
constexpr int kPeaks = 3;

class SelectionTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        RecordFollowingScreens();
    }
    void TearDown() override {
        PlayScreenTest::TearDown();
        SetStats restore;  // the real set table again
    }
    // Puzzles below `count` completed, each with a time and stars.
    void Complete(int mode, int set, int count, int unlock) {
        SetProgress& progress = Set(mode, set);
        progress.mUnlock = unlock;
        for (int i = 0; i < count; ++i) progress.mPuzzles[static_cast<size_t>(i)] = {true, 60 + i, i % 2 == 0, i != 1};
    }
    PuzzleSelectMenu* OpenSelect(int mode, int set, int justCompleted, int steps = 120) {
        auto* menu = new PuzzleSelectMenu(L"quiltro7", mode, set, justCompleted, false);
        ShowMenu(menu);
        Run(steps);
        return menu;
    }
    void PointAt(const Widget* widget, bool click) {
        const int x = static_cast<int>(widget->mX) + widget->mWidth / 2, y = static_cast<int>(widget->mY) + widget->mHeight / 2;
        mHarness.MouseMove(x, y);
        if (click) mHarness.Click(x, y);
        Run(2);
    }
    ButtonWidget* Button(PuzzleSelectMenu* menu, int index) {
        return menu->GetEntries()[static_cast<size_t>(index)].mButton.Get();
    }
    // A set's size in the catalogue, as the profile holds it.
    static int PuzzleCount(int mode, int set) { return static_cast<int>(Set(mode, set).mPuzzles.size()); }
};

}  // namespace

// The last open puzzle won for the first time opened the next with the win;
// the choice shows it flashing. A repeat of an earlier puzzle changes nothing.
TEST_F(SelectionTest, AFreshCompletionOpensTheNextPuzzleWhichFlashes) {
    struct Case {
        int justCompleted, unlockAfter, flashes;
    } cases[] = {{1, 3, 2}, {0, 2, 1}};
    for (const Case& c : cases) {
        Complete(0, kHarbor, 1, 2);
        Set(0, kHarbor).mPuzzles[1].mCompleted = false;
        PlayerProgress::RecordWin(L"quiltro7", 0, kHarbor, c.justCompleted, 30, 0, 0);
        PuzzleSelectMenu* menu = OpenSelect(0, kHarbor, c.justCompleted);
        EXPECT_EQ(Set(0, kHarbor).mUnlock, c.unlockAfter);
        EXPECT_TRUE(Puzzle(0, kHarbor, c.justCompleted).mCompleted);
        ASSERT_NE(menu->GetFlashWidget(), nullptr);
        EXPECT_EQ(menu->GetFlashWidget()->mX, Button(menu, c.flashes)->mX);
        EXPECT_EQ(menu->GetShownPuzzle(), c.justCompleted);
        const auto* icon = dynamic_cast<PuzzleIcon*>(Button(menu, c.justCompleted)->GetWidgets().front());
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(icon->IsNew());
        EXPECT_EQ(icon->mWidth, PuzzleIcon::kSize);
        CloseAll();
    }
    EXPECT_TRUE(mOpened.empty());
}

// The set's last puzzle: the map with the next story set current; in the
// last story set the closing story comes over the choice instead.
TEST_F(SelectionTest, TheLastPuzzleOfASetLeadsToTheMapOrTheStorysEnd) {
    struct Case {
        int set;
        const char* opened;
        int currentSet;
        bool selectOpen;
    } cases[] = {{kHarbor, "map harbor", kPeaks, false}, {kPeaks, "final", kPeaks, true}};
    for (const Case& c : cases) {
        mOpened.clear();
        const int last = PuzzleCount(0, c.set) - 1;
        Complete(0, c.set, last, last + 1);
        PlayerProgress::RecordWin(L"quiltro7", 0, c.set, last, 30, 0, 0);
        gPlayerState->mCurrentCountry = c.set;
        PuzzleSelectMenu* menu = OpenSelect(0, c.set, last, 1);
        for (int i = 0; i < 200 && mOpened.empty(); ++i) Run(1);
        EXPECT_EQ(menu->GetCompletedSet(), c.set);
        ASSERT_FALSE(mOpened.empty());
        EXPECT_EQ(mOpened.front(), c.opened);
        EXPECT_EQ(gPlayerState->mCurrentCountry, c.currentSet);
        EXPECT_EQ(IsMenuOpen(menu), c.selectOpen);
        CloseAll();
    }
}

// What the panel shows: after a lost puzzle the highest completed one; an
// unsolved one the "unbeaten" texts; a best time of 125 s as 2 and 5; the
// stars and times as profiles.xml (written on the way in) has them.
TEST_F(SelectionTest, ThePanelShowsWhatTheSavedProfileHolds) {
    Complete(0, kHarbor, 4, 5);
    // As a win records it, and saves it at once.
    Set(0, kHarbor).mPuzzles[2].mBestTime = 125;
    PlayerProgress::SaveSettings();
    PuzzleSelectMenu* menu = OpenSelect(0, kHarbor, -2);
    EXPECT_EQ(menu->GetShownPuzzle(), 3);

    std::string saved;
    ASSERT_TRUE(ReadFileToString(GetAppDataFolder() + "profiles.xml", saved));
    EXPECT_NE(saved.find("best-time=\"125\""), std::string::npos);
    const PuzzleRecord* third = FindPuzzleRecord(L"quiltro7", 0, kHarbor, 2);
    ASSERT_NE(third, nullptr);
    struct Case {
        int puzzle;
        std::wstring name, time;
    } cases[] = {
        {2, GetLocalizedString(third->mName), FormatChecked(GetLocalizedString(L"exhibit_time"), {2, 5})},
        {4, GetLocalizedString(L"exhibit_name_unbeaten"), GetLocalizedString(L"exhibit_time_unbeaten")},
    };
    for (const Case& c : cases) {
        PointAt(Button(menu, c.puzzle), false);
        EXPECT_EQ(menu->GetShownPuzzle(), c.puzzle);
        EXPECT_EQ(menu->GetTopLabel()->GetText(), c.name);
        EXPECT_EQ(menu->GetBottomLabel()->GetText(), c.time);
        const PuzzleProgress& p = Puzzle(0, kHarbor, c.puzzle);
        AnimationWidget* stars = menu->GetStarWidget();
        EXPECT_EQ(stars->GetVariable(L"show_complete_star").ToBool(), p.mCompleted);
        EXPECT_EQ(stars->GetVariable(L"show_hint_star").ToBool(), p.mWithoutHints);
        EXPECT_EQ(stars->GetVariable(L"show_mistake_star").ToBool(), p.mWithoutMistakes);
    }
    PointAt(Button(menu, 2), false);
    EXPECT_NE(menu->GetBottomLabel()->GetText().find(L"2:05"), std::wstring::npos);
}

// A locked puzzle shows its locked frame and its click opens nothing;
// indexes from scripts and profiles out of range change nothing.
TEST_F(SelectionTest, LockedPuzzlesAndBadIndexesDoNothing) {
    PuzzleSelectMenu* menu = OpenSelect(0, kHarbor, -1);  // a set still locked
    const int count = PuzzleCount(0, kHarbor);
    ASSERT_EQ(static_cast<int>(menu->GetEntries().size()), count);
    const PuzzleSelectMenu::PuzzleEntry& locked = menu->GetEntries()[0];
    EXPECT_TRUE(locked.mLocked);
    ASSERT_NE(locked.mPreview.Get(), nullptr);
    EXPECT_EQ(locked.mPreview->GetImage(), FindImage(L"ui_Puzzle_Locked_Frame"));
    EXPECT_TRUE(locked.mPreview->mVisible) << "the shown puzzle 0 is locked";
    PointAt(Button(menu, 1), true);
    EXPECT_TRUE(mOpened.empty());
    EXPECT_TRUE(IsMenuOpen(menu));
    for (int index : {-3, count, 99}) {
        menu->ShowPuzzleInfo(index);
        EXPECT_EQ(menu->GetShownPuzzle(), -1);
    }
    CloseAll();
    for (int set : {-1, 99}) {
        PuzzleSelectMenu* odd = OpenSelect(0, set, 7);
        EXPECT_TRUE(odd->GetEntries().empty());
        CloseAll();
    }
    // An open puzzle's click opens its loading screen.
    Complete(0, kHarbor, 0, 1);
    menu = OpenSelect(0, kHarbor, -1);
    PointAt(Button(menu, 0), true);
    EXPECT_EQ(mOpened, std::vector<std::string>{"puzzle 2.0"});
}

// A set holds up to ten puzzles, two rows of five: every button and its
// number lie on the page, and the way back stands below it (a second row
// once spilled under the page, its numbers cut off).
TEST_F(SelectionTest, EveryPuzzleButtonAndItsNumberLieOnThePage) {
    auto inside = [](const Rect& inner, const Rect& outer) { return inner.Intersection(outer) == inner; };
    const std::pair<int, int> sets[] = {{0, 1}, {0, kHarbor}, {0, kPeaks}, {1, 0}};
    for (const auto& [mode, set] : sets) {
        SCOPED_TRACE("mode " + std::to_string(mode) + " set " + std::to_string(set));
        Complete(mode, set, 0, 1);
        PuzzleSelectMenu* menu = OpenSelect(mode, set, -1);
        const int count = PuzzleCount(mode, set);
        EXPECT_GT(count, 5) << "the second row is used";
        EXPECT_LE(count, 10) << "a third row has no place on the page";
        ASSERT_EQ(static_cast<int>(menu->GetEntries().size()), count);
        auto* page = dynamic_cast<Widget*>(menu->GetVariable(L"page").GetObject());
        ASSERT_NE(page, nullptr);
        const Rect paper(static_cast<int>(page->mX), static_cast<int>(page->mY), page->mWidth, page->mHeight);
        for (int i = 0; i < count; ++i) {
            const ButtonWidget* button = Button(menu, i);
            ASSERT_NE(button, nullptr);
            const Rect place(static_cast<int>(button->mX), static_cast<int>(button->mY), button->mWidth,
                             button->mHeight);
            EXPECT_TRUE(inside(place, paper)) << "button " << i << " at " << place.mX << "," << place.mY;
        }
        std::vector<std::wstring> numbers;
        for (Widget* child : page->GetWidgets()) {
            const auto* label = dynamic_cast<TextLabel*>(child);
            if (!label) continue;
            numbers.push_back(label->GetText());
            const int top = static_cast<int>(label->mY) + label->GetOffsetY() -
                            static_cast<int>(label->GetFont()->GetAscent());
            const Rect text(static_cast<int>(label->mX) + label->GetOffsetX(), top, label->GetTextWidth(),
                            label->GetTextHeight());
            EXPECT_TRUE(inside(text, Rect(0, 0, paper.mWidth, paper.mHeight)))
                << "number " << WStringToString(label->GetText()) << " at " << text.mX << "," << text.mY;
        }
        ASSERT_EQ(static_cast<int>(numbers.size()), count);
        EXPECT_EQ(numbers.back(), std::to_wstring(count));
        auto* back = dynamic_cast<Widget*>(menu->GetVariable(L"back_button").GetObject());
        ASSERT_NE(back, nullptr);
        EXPECT_GE(static_cast<int>(back->mY), paper.mY + paper.mHeight - 20) << "the way back under the page";
        CloseAll();
    }
}

// The set list's text: an open set's progress; a locked one what it waits
// for, plural or singular, and nothing once it waits for nothing.
TEST_F(SelectionTest, TheSetInformationTellsWhatIsLeft) {
    std::string sets;
    ASSERT_TRUE(ReadFileToString(JoinPath(QUILTRO7_SOURCE_GAMEDATA, "properties/sets7.xml"), sets));
    const size_t at = sets.find("unlock=\"4\" separate");
    ASSERT_NE(at, std::string::npos);
    sets.replace(at, 10, "unlock=\"3\"");
    SetStats table(false);
    ASSERT_TRUE(table.LoadText(sets, "sets7.xml"));
    table.Publish();
    struct Case {
        int storySetsDone, bonusUnlock;
        std::wstring text;
    } cases[] = {
        {1, 0, FormatChecked(GetLocalizedString(L"bonus_set_locked_plural"), {2})},
        {2, 0, GetLocalizedString(L"bonus_set_locked_singular")},
        {3, 0, L""},
        {0, 1, FormatChecked(GetLocalizedString(L"bonus_set_info"), {GetLocalizedString(L"attic"), 1, PuzzleCount(1, 0)})},
    };
    for (const Case& c : cases) {
        for (int set = 0; set < 3; ++set) {
            const int puzzles = static_cast<int>(Set(0, set).mPuzzles.size());
            Complete(0, set, set < c.storySetsDone ? puzzles : 0, 1);
        }
        Complete(1, 0, 1, c.bonusUnlock);
        auto* menu = new SelectSetMenu(L"quiltro7", 1, false);
        ShowMenu(menu);
        Run(60);
        ASSERT_EQ(menu->GetSetButtons().size(), 1u);
        ButtonWidget* button = menu->GetSetButtons()[0].Get();
        EXPECT_EQ(button->mDisabled, c.bonusUnlock == 0);
        EXPECT_EQ(menu->GetShownSet(), 0) << "the first set is told of before any pointing";
        EXPECT_EQ(menu->GetInfoText(), c.text);
        PointAt(button, false);
        EXPECT_EQ(menu->GetShownSet(), 0);
        EXPECT_EQ(menu->GetInfoText(), c.text);
        CloseAll();
    }
}

// "set-column": an unknown font falls back to "tiny"; x is the centre, the
// half width an integer division.
TEST_F(SelectionTest, TheSetColumnCentresItsButtonsInTheFallbackFont) {
    auto odd = std::make_shared<ImageSurface>();
    ASSERT_TRUE(odd->Create(65, 20));
    gAssetManager->AddSharedImage(L"odd_button", odd);
    auto* menu = new SelectSetMenu(L"quiltro7", 1, false);
    ShowMenu(menu);
    Run(2);
    const size_t before = menu->GetSetButtons().size();
    menu->AddSetColumn(101, 40, 50, 3, L"no_such_font", L"odd_button");
    ASSERT_EQ(menu->GetSetButtons().size(), before) << "every set has its button already";
    auto* fresh = new SelectSetMenu(L"quiltro7", 1, false);
    fresh->AddSetColumn(101, 40, 50, 3, L"no_such_font", L"odd_button");
    ASSERT_EQ(fresh->GetSetButtons().size(), 1u);
    ButtonWidget* button = fresh->GetSetButtons()[0].Get();
    EXPECT_EQ(button->mX, 101 - 65 / 2);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::Disabled)->GetHeight(), FindFont(L"tiny")->GetHeight());
    delete fresh;
}
