#include "screens/MyGameApp.h"

#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "data/Constants.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PlayPuzzleMenu.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/TutorialGrid.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "screens/MyBoard.h"
#include "screens/ConfirmDialogs.h"
#include "screens/MainMenu.h"
#include "screens/StoryLetters.h"
#include "screens/TipsAndCredits.h"
#include "screens/MyPlayScreen.h"
#include "screens/MyTitleScreen.h"
#include "screens/PlayerSelectMenu.h"
#include "screens/LevelCompleteMenu.h"
#include "screens/LevelIntroMenu.h"
#include "screens/LoadingMenu.h"
#include "screens/MapMenu.h"
#include "screens/OptionsMenu.h"
#include "screens/PuzzleSelectMenu.h"
#include "screens/SelectSetMenu.h"
#include "screens/ScreenTransition.h"
#include "widgets/ButtonWidget.h"
#include "widgets/NoticeMenu.h"
#include "widgets/WidgetManager.h"

MyGameApp::MyGameApp() : GameApp("Grand Quiltro 7", "v1.2", 1024, 768) {
    mHideMouseSpeed = false;
    gGameScreens.mOptions = [](const std::wstring& caller, int mode, int set) -> Menu* {
        return new OptionsMenu(gPlayerState ? gPlayerState->mGameName : std::wstring(), caller, mode, set);
    };
    gGameScreens.mPlayerSelect = []() -> Menu* { return new PlayerSelectMenu(); };
    gGameScreens.mSetLoading = [](int set, int puzzle) -> Menu* { return new SetLoadingMenu(set, puzzle); };
    gGameScreens.mPuzzleLoading = [](const std::wstring& game, int mode, int set, int puzzle, bool intro) -> Menu* {
        return new PuzzleLoadingMenu(game, mode, set, puzzle, intro);
    };
    gGameScreens.mPuzzleSelect = [](const std::wstring& game, int mode, int set, int justCompleted,
                                    bool defaultTransition) -> Menu* {
        return new PuzzleSelectMenu(game, mode, set, justCompleted, defaultTransition);
    };
    gGameScreens.mSelectSet = [](const std::wstring& game, int mode, bool last) -> Menu* {
        return new SelectSetMenu(game, mode, last);
    };
    gGameScreens.mMap = [](const std::wstring& game, bool noMapAnimation) -> Menu* {
        return new MapMenu(game, noMapAnimation);
    };
    gGameScreens.mMapArrival = [](Image* screenshot, const std::wstring& setName, const std::wstring& game) -> Menu* {
        return new MapMenu(screenshot, setName, game);
    };
    // The main menu, its pages and the questions before leaving a screen.
    gGameScreens.mMainMenu = [](bool fromMap) -> Menu* { return new MainMenu(fromMap); };
    gGameScreens.mStoryIntro = []() -> Menu* { return new StoryIntroMenu(); };
    gGameScreens.mStoryFinal = []() -> Menu* { return new StoryFinalMenu(); };
    gGameScreens.mCredits = []() -> Menu* { return new CreditsMenu(); };
    gGameScreens.mConfirmMainMenu = [](Menu* caller) -> Menu* { return new ConfirmMainMenu(caller); };
    gGameScreens.mConfirmRestart = [](Menu* caller) -> Menu* { return new ConfirmRestartPuzzle(caller); };
    gGameScreens.mConfirmPuzzleSelect = [](const std::wstring& game, int mode, int set, Menu* caller) -> Menu* {
        return new ConfirmPuzzleSelectMenu(game, mode, set, caller);
    };
    PlayerProgress::ResetSession();
    // What went wrong with profiles.xml is told in the game's own notice,
    // over whatever screen is showing, once the update steps are over (a save
    // may fail in the middle of a screen's teardown) and the start-up
    // screens have gone.
    PlayerProgress::SetNotice([this](const std::wstring& key, const std::string& first, const std::string& second) {
        mPendingNotices.emplace_back(GetLocalizedString(key + L"_title"),
                                     FormatChecked(GetLocalizedString(key + L"_text"),
                                                   {StringToWString(first), StringToWString(second)}));
    });
}

MyGameApp::~MyGameApp() {
    PlayerProgress::SetNotice(nullptr);
    // Only what was read whole is written back: after a start-up that failed
    // the slots may hold defaults in place of the player's file.
    PlayerProgress::SaveAndClose(mSaveOnExit && IsLoadingFinished());
}

void MyGameApp::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    GameApp::RegisterScriptCommands(registry);
    OptionsMenu::RegisterScriptCommands(registry);
    LevelStatusMenu::RegisterScriptCommands(registry);
    LevelCompleteMenu::RegisterScriptCommands(registry);
    LevelIntroMenu::RegisterScriptCommands(registry);
    MapMenu::RegisterScriptCommands(registry);
    PlayTileGrid::RegisterScriptCommands(registry);
    TutorialGrid::RegisterScriptCommands(registry);
    PlayPuzzleMenu::RegisterScriptCommands(registry);
    PuzzleSelectMenu::RegisterScriptCommands(registry);
    SelectSetMenu::RegisterScriptCommands(registry);
    PlayerSelectMenu::RegisterScriptCommands(registry);
}

MyBoard* MyGameApp::GetBoard() const { return static_cast<MyBoard*>(mBoard); }

void MyGameApp::BeforeWindowHook() {
    // The developer path skips the start-up screens and so their pictures.
    if (ReadDeveloperPuzzle()) mBoot.startupScreens = false;
    GameApp::BeforeWindowHook();
}

void MyGameApp::InitHook() {
    GameApp::InitHook();
    // The tracks play in the group the options' slider sets; a group without
    // a volume is silent, so a first start (no settings.xml yet) would have
    // no music until the options had been opened once.
    EnsureMusicGroupVolume(L"music");
    BeginLoading();
    // The logo, the distributor splashes, then the title screen (or, without
    // one, the game).
    ShowStartupScreens();
}

void MyGameApp::LoadGameData() {
    GameApp::LoadGameData();
    // Each table is built aside and published whole; a file that fails stops
    // the start-up with its own file, line and reason. How the tables fit
    // together is checked only on tables that loaded.
    bool loaded = true;
    auto report = [&](const auto& loader) {
        if (!loader.Succeeded()) {
            ReportLoadError(loader.GetErrorText());
            loaded = false;
        }
        StepLoadingProgress();
    };
    report(PuzzleStats());
    report(GameStats());
    report(SetStats());
    // Read and published here; the player is chosen on the main thread once
    // loading has finished (LoadingThreadCompleted).
    ProfileManager profiles{ProfileManager::NoSelection{}};
    StepLoadingProgress();
    report(MyLocalization());
    std::string message;
    if (loaded && !CheckGameData(message)) ReportLoadError(message);
    StepLoadingProgress();
}

void MyGameApp::LoadingThreadCompleted() {
    if (GetLoadErrors().empty()) {
        PlayerProgress::SelectStoredProfile();
        std::string reason;
        if (WereSettingsLostAtLastExit(&reason))
            PlayerProgress::TellSettingsLostAtExit(reason.empty() ? "the disk refused the write" : reason);
    }
    GameApp::LoadingThreadCompleted();
    OpenDeveloperPuzzle();
}

void MyGameApp::UpdateFrames() {
    GameApp::UpdateFrames();
    if (mPendingNotices.empty() || !IsPastStartupScreens() || IsShutdownRequested()) return;
    for (const auto& [title, text] : mPendingNotices) ShowMenu(NoticeMenu::WithText(title, text, L"menu", 2));
    mPendingNotices.clear();
}

void MyGameApp::ShutdownHook() {
    GameApp::ShutdownHook();
    // Images go while the renderer that made their textures still exists.
    gAssetManager->Clear();
}

void MyGameApp::StartGame() {
    GameApp::StartGame();
    if (!mBoard) {
        mBoard = new MyBoard();
        mWidgetManager->AddWidget(mBoard);
    }
    if (gPlayerState) gPlayerState->mDevice = L"ipad";
    // The selected profile's name may be a code; it is tried only now, on
    // the main thread with the board there.
    HandleTypedCode(mPlayerName);
}

ButtonWidget* MyGameApp::CreateMenuButton(int x, int y, const std::wstring& label, bool /*localize*/) {
    auto* button = new ButtonWidget(static_cast<float>(x), static_cast<float>(y), L"menubutton", label, true);
    const wchar_t* fonts[] = {L"button", L"button_over", L"button_down", L"button_disabled"};
    for (int state = 0; state < ButtonWidget::StateCount; ++state)
        if (Font* font = FindFont(fonts[state])) button->SetStateFont(font, state);
    button->mLabelOffsetY = GetConstantInt(L"button-text-offset");
    button->mPressedLabelOffsetX = 0;
    button->mCheckPixels = true;
    if (Image* image = button->GetImage())
        button->Move(static_cast<float>(x - image->GetCelWidth() / 2), static_cast<float>(y - image->GetCelHeight() / 2));
    return button;
}

ButtonWidget* MyGameApp::CreateTextButton(int x, int y, const std::wstring& label, bool localize) {
    ButtonWidget* button = CreateMenuButton(x, y, label, localize);
    button->mLabelOffsetY = 0;
    button->mCheckPixels = false;
    button->mWrapWidth = -1;
    Font* font = button->GetStateFont(ButtonWidget::Normal);
    const int width = font ? font->StringWidth(button->GetDisplayLabel()) : 0;
    const int height = font ? static_cast<int>(font->GetHeight()) : 0;
    button->Resize(static_cast<float>(x - width / 2), static_cast<float>(y), width, height);
    return button;
}

Menu* MyGameApp::CreateTransition(Menu* menu) { return new ScreenTransition(menu); }

TitleScreen* MyGameApp::CreateTitleScreen() { return new MyTitleScreen(); }
