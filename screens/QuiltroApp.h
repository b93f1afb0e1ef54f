#pragma once
#include "app/GameApp.h"

// The game's application until its screens exist: the window, the start-up
// loading of every table the game reads, and a clean end on broken data.
class QuiltroApp : public GameApp {
public:
    QuiltroApp();

    void LoadGameData() override;
    int GetLoadingStepCount() override { return kGameLoadingSteps; }

    static constexpr int kGameLoadingSteps = 6;

protected:
    void InitHook() override;
    void ShutdownHook() override;
    void LoadingThreadCompleted() override;
};
