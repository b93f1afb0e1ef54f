#include "tests/play/PlayScreenFixture.h"

#include <chrono>
#include <thread>

#include <algorithm>

#include "core/Random.h"
#include "data/AssetLookup.h"
#include "tests/support/FakeAudio.h"
#include "data/AssetManager.h"
#include "puzzle/PlayerState.h"
#include "puzzle/ProfileManager.h"
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
    // The loading thread works in real time while the loop runs on the test clock.
    for (int i = 0; i < 20000 && !mApp->GetBoard(); ++i) {
        mHarness.RunSteps(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(mApp->IsLoadingFinished());
    ASSERT_TRUE(mApp->GetLoadErrors().empty()) << mApp->GetLoadErrors().front();
    ASSERT_TRUE(gAssetManager->LoadGroup("PlayAssets", L"ipad"));
    ProfileManager::CreateProfile(L"Tester");
    ASSERT_NE(gPlayerState, nullptr);
    gPlayerState->mDevice = L"ipad";
    // The one-time notices were read (the hint test asks for its own).
    gPlayerState->mMadeMistake = true;
    gPlayerState->mSeenHint = true;
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
    mHarness.MouseMove(at.mX, at.mY);
    mHarness.Click(at.mX, at.mY, button);
    mHarness.DrainInput();
}

Point PlayScreenTest::LastTile() const {
    const int n = Record().GetSize();
    Point last(-1, -1);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            if (IsTile(x, y)) last = Point(x, y);
    return last;
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
