// The story map in the real game: which sets open, what a click leads to, the
// arrival form and the way back.
#include <memory>

#include "data/AnimationStats.h"
#include "puzzle/PlayerState.h"
#include "puzzle/SetStats.h"
#include "render/Image.h"
#include "screens/MapMenu.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/ButtonWidget.h"

namespace {

constexpr int kSets = 7;
constexpr int kOpenSets = 4;
// Set 1 has no place on the map.
constexpr int kUnplaced = 1;

// Seven story sets of a game of their own, listed by its map script, with
// index 7 and -1 that name no set; set 5 names no image.
const char* const kScripts = R"(<animations>
  <animation name="map_menu_maptest">
    <define names_shown="0"/>
    <for name="i" from="-1" to="8">
      <set-item index="i" button-name="'map_meadow_btn_quiltro7'" unless="i == 5"/>
      <set-item index="i" button-name="''" if="i == 5"/>
    </for>
  </animation>
  <animation name="update_set_name_maptest"><assign name="'names_shown'" value="names_shown + 1"/></animation>
</animations>)";

class MapMenuTest : public PlayScreenTest {
protected:
    void SetUp() override {
        PlayScreenTest::SetUp();
        mSavedSets = gSetTable.Get();
        gSetTable.Edit([](SetTable& table) {
            GameSets game;
            game.mName = L"maptest";
            for (int i = 0; i < kSets; ++i) {
                SetRecord set;
                set.mName = L"set" + std::to_wstring(i);
                if (i != kUnplaced) set.mX = 20 + 140 * i, set.mY = 300;
                game.mModes[0].push_back(set);
            }
            table.push_back(game);
        });
        AnimationStats scripts;
        ASSERT_TRUE(scripts.LoadAnimations("properties/animations.xml"));
        ASSERT_TRUE(scripts.LoadAnimationsFromString(kScripts, "maptest.xml")) << scripts.GetErrorText();
        scripts.Publish();
        gPlayerState->mGameName = L"maptest";
        gPlayerState->mProgress[0].assign(kSets, SetProgress{});
        for (int i = 0; i < kOpenSets; ++i) gPlayerState->mProgress[0][static_cast<size_t>(i)].mUnlock = 1;
        gPlayerState->mCurrentMode = 1;
        gGameScreens.mSetLoading = [this](int set, int puzzle) -> Menu* {
            mLoadingOpened.push_back({set, puzzle});
            return nullptr;
        };
        gGameScreens.mMainMenu = [this](bool fromMap) -> Menu* {
            mMainMenuOpened.push_back(fromMap);
            return nullptr;
        };
    }
    void TearDown() override {
        PlayScreenTest::TearDown();
        gSetTable.Publish(*mSavedSets);
    }

    MapMenu* OpenMap(MapMenu* map) {
        ShowMenu(map);
        Run(5);
        return map;
    }
    void ClickSet(const MapMenu& map, int set) {
        const ButtonWidget* button = map.GetSetItems()[static_cast<size_t>(set)].mButton.Get();
        ASSERT_NE(button, nullptr);
        ClickCentre(mHarness, *button);
        Run(2);
    }

    std::shared_ptr<const SetTable> mSavedSets;
    std::vector<std::pair<int, int>> mLoadingOpened;
    std::vector<bool> mMainMenuOpened;
};

}  // namespace

TEST_F(MapMenuTest, OpenSetsHaveButtonsLockedOnesAreDisabledAndAClickOpensTheSetsOwnIndex) {
    MapMenu* map = OpenMap(new MapMenu(L"maptest", true));
    // Indexes 7 and -1 were refused; every set keeps its place, placed or not.
    const auto& items = map->GetSetItems();
    ASSERT_EQ(items.size(), static_cast<size_t>(kSets));
    for (int i = 0; i < kSets; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(items[static_cast<size_t>(i)].mIndex, i);
        const ButtonWidget* button = items[static_cast<size_t>(i)].mButton.Get();
        ASSERT_EQ(button != nullptr, i != kUnplaced);
        if (button) {
            EXPECT_EQ(button->mDisabled, i >= kOpenSets);
        }
    }
    EXPECT_EQ(items[5].mButton.Get()->mTypeName, L"map_set5_btn_maptest");
    // The newest open set is the one named.
    EXPECT_EQ(map->GetVariable(L"set_name").ToString(), L"set3");
    EXPECT_EQ(map->GetVariable(L"selected_btn_name").ToString(), L"map_meadow_btn_quiltro7");
    EXPECT_EQ(map->GetVariable(L"btn_x").ToInt(), 20 + 140 * 3);
    EXPECT_EQ(map->GetVariable(L"names_shown").ToInt(), 3);
    EXPECT_EQ(map->GetVariable(L"animate_map_time").ToInt(), 0);

    ClickSet(*map, 5);
    EXPECT_TRUE(mLoadingOpened.empty()) << "a locked set does nothing";
    EXPECT_TRUE(IsMenuOpen(map));
    ClickSet(*map, 2);
    ASSERT_EQ(mLoadingOpened.size(), 1u);
    EXPECT_EQ(mLoadingOpened[0], std::make_pair(-1, 0));
    EXPECT_EQ(gPlayerState->mCurrentCountry, 2) << "the set's own index, though set 1 has no button";
    EXPECT_EQ(gPlayerState->mCurrentMode, 1) << "the mode is left as it was";
    EXPECT_FALSE(IsMenuOpen(map));

    MapMenu* again = OpenMap(new MapMenu(L"maptest", false));
    EXPECT_EQ(again->GetVariable(L"animate_map_time").ToInt(), 80);
    again->DoAction(L"main_menu", L"", 0);
    Run(2);
    EXPECT_EQ(mMainMenuOpened, std::vector<bool>{true});
    EXPECT_FALSE(IsMenuOpen(again));
}

TEST_F(MapMenuTest, ArrivingShowsTheOldScreenAndNamesOnlyAGivenSet) {
    for (auto& set : gPlayerState->mProgress[0]) set.mUnlock = 0;
    for (const wchar_t* name : {L"", L"set2"}) {
        SCOPED_TRACE(name[0] ? "named" : "unnamed");
        ImageData pixels;
        pixels.mWidth = pixels.mHeight = 4;
        pixels.mBits.assign(16, 0xff000000u);
        MapMenu* map = OpenMap(new MapMenu(new ImageSurface(pixels), name, L"another game"));
        EXPECT_EQ(map->HasVariable(L"set_name"), name[0] != 0);
        if (name[0]) {
            EXPECT_EQ(map->GetVariable(L"set_name").ToString(), name);
        }
        EXPECT_TRUE(map->GetVariable(L"animate_map").ToBool());
        EXPECT_EQ(map->GetVariable(L"c_gamename").ToString(), L"maptest") << "the player's game";
        map->RemoveSelf();
        Run(2);
    }
}

TEST_F(MapMenuTest, EachSetButtonCarriesItsSetsNameWhichTheHoverShows) {
    MapMenu* map = OpenMap(new MapMenu(L"maptest", true));
    const auto& items = map->GetSetItems();
    for (int i = 0; i < kSets; ++i) {
        ButtonWidget* button = items[static_cast<size_t>(i)].mButton.Get();
        if (!button) continue;
        EXPECT_EQ(button->GetVariable(L"set_name").ToString(), L"set" + std::to_wstring(i));
    }
    // Scripts read it as the button's property.
    ButtonWidget* second = items[2].mButton.Get();
    ASSERT_NE(second, nullptr);
    map->SetVariable(L"probe_button", ScriptValue(static_cast<ScriptObject*>(second)));
    EXPECT_EQ(map->GetEvaluator().Evaluate(L"probe_button.set_name").ToString(), L"set2");
    EXPECT_EQ(map->GetEvaluator().Evaluate(L"probe_button.width").ToInt(), second->mWidth);

    // The pointer over an open set names it from its button.
    second->SetVariable(L"set_name", ScriptValue(L"renamed"));
    const FRect r = second->LocalToScreenRect(FRect(0, 0, second->mWidth, second->mHeight));
    mHarness.MouseMove(static_cast<int>(r.mX + r.mWidth / 2), static_cast<int>(r.mY + r.mHeight / 2));
    Run(1);
    EXPECT_EQ(map->GetVariable(L"set_name").ToString(), L"renamed");
}
