#pragma once
#include "widgets/Menu.h"

// The screen shown while the game data loads; it never pauses.
class TitleScreen : public Menu {
public:
    explicit TitleScreen(Image* image);

    bool IsPaused() override { return false; }
    // Loading has ended (the play button may appear now).
    virtual void LoadingComplete() { MarkDirty(); }
    // The game starts under the title, which then closes.
    void ContinueToGame();
};
