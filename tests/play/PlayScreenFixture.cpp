#include "tests/play/PlayScreenFixture.h"

#include <algorithm>

#include "core/Random.h"
#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/AssetManager.h"
#include "puzzle/PlayerState.h"
#include "render/Image.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/TestPlayer.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/NoticeMenu.h"
#include "widgets/WidgetManager.h"

SoundManager* PlayTestApp::CreateSoundManager() { return new FakeSoundManager(); }

bool PlayTestApp::Played(const std::wstring& name) {
    const std::vector<int>& played = static_cast<FakeSoundManager*>(mSoundManager)->mPlayed;
    return std::find(played.begin(), played.end(), GetSoundId(name)) != played.end();
}

void PlayScreenTest::SetUp() {
    // The play screen alone: the board opens no other screen.
    mSavedScreens = gGameScreens;
    gGameScreens = GameScreens();
    mApp = &mHarness.Boot<PlayTestApp>();
    ASSERT_TRUE(mHarness.InitSucceeded());
    gGameScreens.mMainMenu = nullptr;
    mHarness.RunUntil([this] { return mApp->GetBoard() != nullptr; });
    ASSERT_TRUE(mApp->IsLoadingFinished());
    ASSERT_TRUE(mApp->GetLoadErrors().empty()) << mApp->GetLoadErrors().front();
    ASSERT_TRUE(gAssetManager->LoadGroup("PlayAssets", L"ipad"));
    // The one-time notices were read (the hint test asks for its own).
    MakeSeasonedTestPlayer();
    ASSERT_NE(gPlayerState, nullptr);
    SeedShuffleRandom(1);
}

void PlayScreenTest::TearDown() {
    if (mApp && mApp->mWidgetManager) {
        std::vector<Widget*> left = mApp->mWidgetManager->GetWidgets();
        for (Widget* widget : left) widget->RemoveSelf();
        mHarness.RunSteps(2);
    }
    SetShuffleRandom(nullptr);
    gGameScreens = mSavedScreens;
}

TestPlayMenu* PlayScreenTest::Open(int mode, int set, int puzzle) {
    mMenu = new TestPlayMenu(PuzzleRef{L"quiltro7", mode, set, puzzle});
    ShowMenu(mMenu);
    RunWhile(PlayPuzzleMenu::State::Opening);
    RunWhile(PlayPuzzleMenu::State::Building);
    return mMenu;
}

const PuzzleRecord& PlayScreenTest::Record() const { return *PlayTileGrid::FindPuzzle(mMenu->GetPuzzle()); }

bool PlayScreenTest::IsTile(int x, int y) const { return Record().mSolution.At(x, y) != 0; }

Point PlayScreenTest::CellCentre(int x, int y) {
    const int t = Grid().GetTileSize();
    return Point(static_cast<int>(Grid().mX) + x * t + t / 2, static_cast<int>(Grid().mY) + y * t + t / 2);
}

void PlayScreenTest::ClickCell(int x, int y, MouseButton button) {
    const Point at = CellCentre(x, y);
    mHarness.Click(at.mX, at.mY, button);
}

void PlayScreenTest::RevealTiles(int keep) {
    const int n = Record().GetSize();
    std::vector<Point> tiles;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            if (IsTile(x, y) && !Grid().IsCellDone(x, y)) tiles.emplace_back(x, y);
    for (size_t i = 0; i + static_cast<size_t>(keep) < tiles.size(); ++i) ClickCell(tiles[i].mX, tiles[i].mY);
}

bool PlayScreenTest::CloseNotice() {
    auto* notice = dynamic_cast<NoticeMenu*>(mApp->GetActiveMenu());
    if (!notice) return false;
    notice->DoAction(L"close", L"", 0);  // its OK button
    Run(30);
    return true;
}

int PlayScreenTest::RunWhile(PlayPuzzleMenu::State state, int limit) {
    int steps = 0;
    while (mMenu->GetState() == state && steps < limit) {
        Run(1);
        ++steps;
    }
    return steps;
}

void PlayScreenTest::RecordFollowingScreens() {
    gGameScreens.mSetLoading = [this](int set, int) { return Record("loading " + std::to_string(set)); };
    gGameScreens.mMap = [this](const std::wstring&, bool) { return Record("map"); };
    gGameScreens.mMapArrival = [this](Image* shot, const std::wstring& set, const std::wstring&) {
        delete shot;
        return Record("map " + WStringToString(set));
    };
    gGameScreens.mStoryFinal = [this] { return Record("final"); };
    gGameScreens.mPuzzleSelect = [this](const std::wstring&, int, int set, int, bool) {
        return Record("select " + std::to_string(set));
    };
    gGameScreens.mSelectSet = [this](const std::wstring&, int mode, bool last) {
        return Record("sets " + std::to_string(mode) + (last ? " last" : ""));
    };
    gGameScreens.mPuzzleLoading = [this](const std::wstring&, int, int set, int puzzle, bool) {
        return Record("puzzle " + std::to_string(set) + "." + std::to_string(puzzle));
    };
}

void PlayScreenTest::CloseAll() {
    CloseOpenMenus();
    Run(2);
}

SetProgress& PlayScreenTest::Set(int mode, int set) {
    return gPlayerState->mProgress[mode][static_cast<size_t>(set)];
}

PuzzleProgress& PlayScreenTest::Puzzle(int mode, int set, int puzzle) {
    return Set(mode, set).mPuzzles[static_cast<size_t>(puzzle)];
}
