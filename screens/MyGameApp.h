#pragma once
#include <string>
#include <utility>
#include <vector>

#include "app/GameApp.h"

class MyBoard;

// The game's application: "Grand Quiltro 7" at 1024 x 768, the game data the
// loading thread reads, the board, the menu and text buttons, the screen
// transition, the developer codes, and the profiles saved at exit.
class MyGameApp : public GameApp {
public:
    static constexpr int kGameLoadingSteps = 6;

    MyGameApp();
    ~MyGameApp() override;

    void LoadGameData() override;
    void RegisterScriptCommands(ScriptCommandRegistry& registry) override;
    int GetLoadingStepCount() override { return kGameLoadingSteps; }
    // The board (which opens the main menu) under the title screen, then the
    // developer code check of the selected profile's name.
    void StartGame() override;
    ButtonWidget* CreateMenuButton(int x, int y, const std::wstring& label, bool localize) override;
    ButtonWidget* CreateTextButton(int x, int y, const std::wstring& label, bool localize) override;
    Menu* CreateTransition(Menu* menu) override;
    TitleScreen* CreateTitleScreen() override;
    // Eight characters, whole and case-sensitive. Each needs a selected
    // profile and the board; without them nothing happens.
    void HandleTypedCode(const std::wstring& code) override;

    MyBoard* GetBoard() const;

    // Cleared by "haltrimo": the profiles are then not saved at exit.
    bool mSaveOnExit = true;

protected:
    void InitHook() override;
    void BeforeWindowHook() override;
    void ShutdownHook() override;
    void LoadingThreadCompleted() override;
    // After the steps: the notices of the profile file, once the start-up
    // screens are over.
    void UpdateFrames() override;

private:
    // What went wrong with profiles.xml, waiting to be shown: title, text.
    std::vector<std::pair<std::wstring, std::wstring>> mPendingNotices;
    // A developer path for measuring and looking at the play screen before the
    // menus lead there: QUILTRO7_DEV_PUZZLE="<mode>,<set>,<puzzle>" skips the
    // start-up screens and opens that puzzle as soon as loading ends.
    bool ReadDeveloperPuzzle();
    void OpenDeveloperPuzzle();
    int mDeveloperPuzzle[3] = {-1, -1, -1};
};
