// The hint and mistake meters beside the board.
#include <array>

#include <memory>

#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayMeters.h"
#include "render/Graphics.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/FixedFont.h"
#include "widgets/WidgetManager.h"

namespace {

// Keeps the texts drawn in it.
class TitleFont : public FixedFont {
public:
    void DrawString(Graphics&, float, float, const std::wstring& text, const Color&) override {
        mTexts.push_back(text);
    }
    std::vector<std::wstring> mTexts;
};

class MeterTest : public GridTest {
protected:
    void UseConfig(int size, int hints, int mistakes) {
        GridConfig config;
        config.mHints = hints;
        config.mHintReward = 2;
        config.mMistakes = mistakes;
        gGridConfigs.Publish(GridConfigTable{{size, config}});
    }
    HintMeter* AddHintMeter(int hints) {
        UseConfig(5, hints, 3);
        auto* meter = new HintMeter(700, 100, 240, 120, 5);
        mScreen->AddWidget(meter);
        return meter;
    }
};

// Records where a used hint was sent.
class HintScreen : public TestPlayScreen, public HintReceiver {
public:
    void GiveHint(int x, int y, int count) override { mHints.push_back({x, y, count}); }
    std::vector<std::array<int, 3>> mHints;
};

}  // namespace

TEST_F(MeterTest, BulbsFillInTwelfthsAndAFullBulbAddsAHint) {
    HintMeter* meter = AddHintMeter(10);
    EXPECT_EQ(mPlayer.mNumHints, 1) << "the first bulb starts full";
    EXPECT_EQ(meter->GetBulbFill(0), 10);
    EXPECT_EQ(meter->GetTargetPoint(), Point(700 + 100, 100 + 70));
    const int frames[] = {1, 2, 3, 4, 6, 7, 8, 9, 10};
    for (int frame : frames) {
        meter->UpdateFill(1);
        EXPECT_EQ(meter->GetVariable(L"hint_frame").ToInt(), frame);
    }
    EXPECT_EQ(meter->GetVariable(L"hint_bulb").ToString(), L"hint_bulb2");
    meter->UpdateFill(1);
    EXPECT_EQ(meter->GetVariable(L"hint_frame").ToInt(), HintMeter::kFullFrame);
    EXPECT_EQ(mPlayer.mNumHints, 2);
    EXPECT_TRUE(mPlayer.mSeenHint);
    EXPECT_EQ(meter->GetCurrentBulb(), 2);
    // The pool holds four hints at most: landings beyond fill nothing.
    for (int i = 0; i < 40; ++i) meter->UpdateFill(1);
    EXPECT_EQ(mPlayer.mNumHints, HintMeter::kMaxPool);
    EXPECT_EQ(meter->GetBulbFill(3), 10);
}

TEST_F(MeterTest, AHintSpendsAFullBulbAndTheBulbRefillsFirst) {
    auto* screen = new HintScreen();
    mApp->mWidgetManager->AddWidget(screen);
    UseConfig(5, 4, 3);
    auto* meter = new HintMeter(700, 100, 240, 120, 5);
    screen->AddWidget(meter);
    // Bulbs that are not full, and indexes that name no bulb, do nothing.
    for (const wchar_t* index : {L"1", L"4", L"-1", L"99999999999", L"x", L""})
        meter->DoAction(L"hint", index, 0);
    meter->DoAction(L"other", L"0", 0);
    EXPECT_TRUE(screen->mHints.empty());
    EXPECT_EQ(mPlayer.mNumHints, 1);
    meter->DoAction(L"hint", L"0", 0);
    ASSERT_EQ(screen->mHints.size(), 1u);
    EXPECT_EQ(screen->mHints[0], (std::array<int, 3>{700, 170, 2}));
    EXPECT_EQ(meter->GetHintsUsed(), 1);
    EXPECT_EQ(mPlayer.mNumHints, 0);
    meter->DoAction(L"hint", L"0", 0);
    EXPECT_EQ(meter->GetHintsUsed(), 1) << "an empty bulb gives nothing";
    meter->UpdateFill(1);
    EXPECT_EQ(meter->GetCurrentBulb(), 0);
    EXPECT_EQ(meter->GetBulbFill(0), 1);
}

TEST_F(MeterTest, ZeroHintsPerBulbDoesNotDivideByZero) {
    HintMeter* meter = AddHintMeter(0);
    EXPECT_EQ(meter->GetFullAmount(), 1);
    meter->UpdateFill(1);
    EXPECT_EQ(mPlayer.mNumHints, 2);
}

TEST_F(MeterTest, ChanceIconsFormRowsAndExtraChancesFlyToTheCentre) {
    struct Case {
        int size, chances, icons;
        Point firstCentre, lastCentre;  // in the screen, meter at (700, 300), 240 x 200
    };
    // 9: 3 rows of 3 (row step 160 / 3 = 53); 3: one row of 3; 5: 2 x 2 and
    // the fifth chance has no icon; 0: none.
    const Case cases[] = {
        {5, 9, 9, {760, 366}, {880, 472}},
        {5, 3, 3, {760, 366}, {880, 366}},
        {15, 5, 4, {780, 366}, {860, 419}},
        {5, 0, 0, {820, 400}, {820, 400}},
    };
    for (const Case& c : cases) {
        UseConfig(c.size, 3, c.chances);
        auto* meter = new MistakeMeter(700, 300, 240, 200, c.size);
        mScreen->AddWidget(meter);
        EXPECT_EQ(meter->GetIconCount(), c.icons) << c.chances;
        EXPECT_EQ(meter->GetChancePoint(0), c.firstCentre) << c.chances;
        EXPECT_EQ(meter->GetChancePoint(std::max(c.icons - 1, 0)), c.lastCentre) << c.chances;
        EXPECT_EQ(meter->GetChancePoint(c.icons), Point(820, 400)) << c.chances;
        for (int i = 0; i <= c.chances; ++i) meter->ConsumeChance();
        EXPECT_EQ(meter->GetArrived(), c.chances + 1);
        if (c.icons) {
            EXPECT_EQ(meter->GetIcon(c.icons - 1)->GetFrame(), 1);
            EXPECT_EQ(meter->GetIcon(0)->GetImage(), FindImage(c.size < 15 ? L"chanceLarge_ipad" : L"chanceSmall_ipad"));
        }
        meter->RemoveSelf();
    }
}

// Every grid size of our data shows each chance it allows as an icon: a
// chance without one is used up unseen, and the meter reads empty while play
// goes on.
TEST_F(MeterTest, EveryGridSizeOfOurDataShowsOneIconPerChance) {
    GameStats stats(false);
    ASSERT_TRUE(stats.LoadPropertiesFile(GameStats::kFileName)) << stats.GetErrorText();
    const GridConfigTable table = stats.GetTable();
    ASSERT_FALSE(table.empty());
    stats.Publish();
    for (const auto& [size, config] : table) {
        auto* meter = new MistakeMeter(700, 300, 240, 200, size);
        mScreen->AddWidget(meter);
        EXPECT_EQ(meter->GetIconCount(), config.mMistakes) << size << " x " << size;
        meter->RemoveSelf();
    }
}

TEST_F(MeterTest, TheHintsAndTheChancesAreTitledInTheHudFonts) {
    const auto saved = gLocalizedStrings.Snapshot();
    LocalizedStringMap strings = *saved;
    strings[L"hints_title"] = L"Hints";
    strings[L"mistakes_title"] = L"Chances";
    gLocalizedStrings.Publish(strings);
    auto hintsFont = std::make_unique<TitleFont>();
    auto chancesFont = std::make_unique<TitleFont>();
    TitleFont* hints = hintsFont.get();
    TitleFont* chances = chancesFont.get();
    gFontMap.Add(L"hud_title2", std::move(hintsFont));
    gFontMap.Add(L"hud_title", std::move(chancesFont));
    UseConfig(5, 3, 3);
    auto* hintMeter = new HintMeter(700, 100, 240, 120, 5);
    auto* mistakeMeter = new MistakeMeter(700, 300, 240, 200, 5);
    gLocalizedStrings.Publish(*saved);
    mScreen->AddWidget(hintMeter);
    mScreen->AddWidget(mistakeMeter);
    {
        Graphics g;
        hintMeter->Draw(&g);
        mistakeMeter->Draw(&g);
        g.FlushBatch();
    }
    EXPECT_EQ(hints->mTexts, std::vector<std::wstring>{L"Hints"});
    EXPECT_EQ(chances->mTexts, std::vector<std::wstring>{L"Chances"});
    gFontMap.Clear();
}
