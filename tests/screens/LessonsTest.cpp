#include <gtest/gtest.h>

#include "app/GameApp.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "data/Localization.h"
#include "puzzle/PlayMeters.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/SetStats.h"
#include "puzzle/TutorialGrid.h"
#include "screens/LevelIntroMenu.h"
#include "screens/MainMenu.h"
#include "screens/MyBoard.h"
#include "screens/MyGameApp.h"
#include "screens/MyPlayScreen.h"
#include "screens/OptionsMenu.h"
#include "screens/ShadedConfirmMenu.h"
#include "screens/StoryLetters.h"
#include "tests/support/AppHarness.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"
#include "widgets/NoticeMenu.h"

namespace {

// The game with its own screens and data: a new player meets the letter and
// the lessons, all with the mouse.
class LessonsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mApp = &mHarness.Boot<MyGameApp>();
        ASSERT_TRUE(mHarness.InitSucceeded());
        ASSERT_TRUE(mHarness.RunUntil([this] { return mApp->GetBoard() != nullptr; }));
        ProfileManager::CreateProfile(L"Lena");
        ASSERT_NE(gPlayerState, nullptr);
        gPlayerState->mDevice = L"ipad";
    }
    void TearDown() override {
        CloseOpenMenus();
        mHarness.RunSteps(2);
        mHarness.Quit();
    }

    void Run(int steps) { mHarness.RunSteps(steps); }
    // Clicks the named button of a menu, where it shows.
    void Click(Widget* menu, const wchar_t* name) {
        ASSERT_NE(menu, nullptr);
        Widget* button = FindWidgetByName(*static_cast<Menu*>(menu), name);
        ASSERT_NE(button, nullptr);
        ClickCentre(mHarness, *button);
        Run(60);
    }
    // The first lesson from the main menu: the letter (its end kept in
    // `letterEnd`), yes to the lessons, and the card of tips.
    MyPlayScreen* OpenFirstLesson(std::wstring* letterEnd = nullptr) {
        mApp->GetBoard()->ShowMainMenu();
        Run(80);
        Click(TopOpenMenu(), L"play_button");
        auto* letter = TopMenu<StoryIntroMenu>();
        EXPECT_NE(letter, nullptr);
        if (letter && letterEnd) *letterEnd = letter->GetVariable(L"letter_end").ToString();
        Click(TopOpenMenu(), L"ok_button");  // the letter
        Click(TopOpenMenu(), L"ok_button");  // the lessons, yes
        EXPECT_TRUE(mHarness.RunUntil([] { return TopMenu<LevelIntroMenu>() != nullptr; }));
        Run(60);
        Click(TopMenu<LevelIntroMenu>(), L"ok_button");
        return WaitForPlay();
    }
    // A lesson opened directly, as the puzzle loading screen opens it.
    MyPlayScreen* OpenLesson(int puzzle) {
        CloseOpenMenus();
        EXPECT_TRUE(gAssetManager->LoadGroup("PlayAssets", L"ipad"));
        ShowMenu(new MyPlayScreen(PuzzleRef{L"quiltro7", 0, 0, puzzle}));
        return WaitForPlay();
    }
    MyPlayScreen* WaitForPlay() {
        MyPlayScreen* screen = nullptr;
        EXPECT_TRUE(mHarness.RunUntil([&screen] {
            screen = MyPlayScreen::FindOpen();
            return screen && screen->GetState() == PlayPuzzleMenu::State::Playing;
        }));
        return screen;
    }
    // Presses on one cell of the board and releases on another.
    void Drag(PlayTileGrid& grid, int fromX, int fromY, int toX, int toY, MouseButton button = MouseButton::Left) {
        const int t = grid.GetTileSize();
        const auto at = [t](int cell, float origin) { return static_cast<int>(origin) + cell * t + t / 2; };
        mHarness.MouseMove(at(fromX, grid.mX), at(fromY, grid.mY));
        mHarness.MouseDown(at(fromX, grid.mX), at(fromY, grid.mY), button);
        mHarness.MouseMove(at(toX, grid.mX), at(toY, grid.mY));
        mHarness.MouseUp(at(toX, grid.mX), at(toY, grid.mY), button);
        mHarness.DrainInput();
        Run(2);
    }
    static std::vector<NoticeMenu*> OpenNotices() {
        std::vector<NoticeMenu*> notices;
        for (Menu* menu : gGameApp->GetOpenMenus())
            if (auto* notice = dynamic_cast<NoticeMenu*>(menu)) notices.push_back(notice);
        return notices;
    }

    AppHarness mHarness;
    MyGameApp* mApp = nullptr;
};

}  // namespace

// The letter comes just before the offer of the lessons, whose yes opens the
// Workshop's first lesson: the first place the letter sends the player to is
// the Workshop, not a wing beyond it.
TEST_F(LessonsTest, TheFirstLetterSendsThePlayerToTheWorkshopWhoseLessonComesNext) {
    std::wstring letterEnd;
    MyPlayScreen* screen = OpenFirstLesson(&letterEnd);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetPuzzle().mSet, 0);
    EXPECT_EQ(screen->GetPuzzle().mPuzzle, 0);
    const auto& story = SetStats::FindGame(L"quiltro7").mModes[0];
    ASSERT_GT(story.size(), 1u);
    size_t first = std::wstring::npos;
    int named = -1;
    for (size_t set = 0; set < story.size(); ++set) {
        const size_t at = letterEnd.find(GetLocalizedString(story[set].mName + L"_short"));
        if (at < first) first = at, named = static_cast<int>(set);
    }
    EXPECT_EQ(named, 0) << "the letter sends the player first to another set than the lessons: "
                        << WStringToString(letterEnd);
}

// The mark tool's icon picks the tool only with "Pick a tool" on, and then
// the right button switches tools instead of marking; without the option the
// icon does nothing, and a left click on a cell lit for marking is told "Not
// that way". The texts that teach marking (the card of tips before the
// lesson, the lesson's own card) name the option, the card names the icon
// only together with it, and either way its words lead through the step.
TEST_F(LessonsTest, TheMarkingTextsOfferTheToolIconOnlyWithPickATool) {
    const std::wstring option = GetLocalizedString(L"toggle_mode");
    for (const wchar_t* key : {L"intro_tip_2", L"tut2_mark"}) {
        const std::wstring text = GetLocalizedString(key);
        EXPECT_NE(text.find(option), std::wstring::npos) << "no word of the option in " << WStringToString(key);
        for (size_t begin = 0; begin < text.size();) {
            const size_t end = std::min(text.find_first_of(L"().;", begin), text.size());
            const std::wstring part = text.substr(begin, end - begin);
            if (part.find(L"at the left") != std::wstring::npos) {
                EXPECT_NE(part.find(option), std::wstring::npos)
                    << "the icon offered without its option: " << WStringToString(part);
            }
            begin = end + 1;
        }
    }
    for (bool pickATool : {false, true}) {
        SCOPED_TRACE(pickATool ? "Pick a tool" : "without Pick a tool");
        gPlayerState->mToggleMode = pickATool;
        MyPlayScreen* screen = OpenLesson(1);
        ASSERT_NE(screen, nullptr);
        auto* grid = dynamic_cast<TutorialGrid*>(screen->GetGrid());
        ASSERT_NE(grid, nullptr);
        Drag(*grid, 2, 0, 2, 4);
        Drag(*grid, 0, 2, 1, 2);
        Drag(*grid, 3, 2, 4, 2);
        ASSERT_TRUE(mHarness.RunUntil([grid] { return grid->GetRules().GetRequired() == 4; }, 200))
            << "the marking step";
        ClickCentre(mHarness, *screen->GetToolButton(1));
        Run(2);
        EXPECT_EQ(screen->GetCurrentTool(), pickATool ? 1 : 0) << "what the icon does";
        if (!pickATool) {
            Drag(*grid, 0, 0, 1, 0);
            const std::vector<NoticeMenu*> notices = OpenNotices();
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_EQ(notices[0]->GetVariable(L"title").ToString(), GetLocalizedString(L"incorrect_tile_title"));
            notices[0]->DoAction(L"close", L"", 0);
            Run(30);
        }
        // The right button without the option; the icon, then the left button, with it.
        const MouseButton button = pickATool ? MouseButton::Left : MouseButton::Right;
        Drag(*grid, 0, 0, 1, 0, button);
        Drag(*grid, 3, 0, 4, 0, button);
        for (int x : {0, 1, 3, 4}) EXPECT_TRUE(grid->IsCellDone(x, 0)) << x;
        EXPECT_TRUE(OpenNotices().empty());
        EXPECT_EQ(grid->GetMistakesMade(), 0);
        EXPECT_EQ(grid->GetRules().GetRequired(), 0) << "the step is done";
    }
}

// The revealed tiles' trails are still on their way to the hint bulb when
// the player pauses and leaves for the main menu. They land as the screen
// closes, the bulb fills there, and its notice ("A hint") opened over the
// main menu, for a screen no longer there.
TEST_F(LessonsTest, ABulbFilledAsTheLessonClosesOpensNoNoticeOverTheMainMenu) {
    MyPlayScreen* screen = OpenFirstLesson();
    ASSERT_NE(screen, nullptr);
    gPlayerState->mSeenHint = false;
    // The lesson's first step, row 2: its five tiles fill the second bulb.
    Drag(*screen->GetGrid(), 0, 1, 4, 1);
    Run(3);
    ASSERT_EQ(gPlayerState->mNumHints, 1) << "the trails are still flying";
    // The lesson's card is the active menu, not the screen: the HUD's button pauses.
    Click(screen, L"options_button");
    auto* pause = TopMenu<OptionsMenu>();
    ASSERT_NE(pause, nullptr);
    Click(pause, L"main_menu_button");
    Click(TopMenu<ShadedConfirmMenu>(), L"ok_button");
    Run(3 * kPlayNoticePauseSteps);
    EXPECT_EQ(MyPlayScreen::FindOpen(), nullptr);
    EXPECT_NE(TopMenu<MainMenu>(), nullptr) << "the main menu is on top";
    EXPECT_TRUE(OpenNotices().empty()) << "a notice of the lesson outlived it";
    EXPECT_FALSE(gPlayerState->mSeenHint) << "the bulbs are still to be explained";
}
