#pragma once
#include "data/BasicPlayerState.h"
#include "widgets/Widget.h"

// The game's whole-window widget under every screen. It starts the game when
// it enters the tree and counts the current player's play time.
class Board : public Widget {
public:
    Board();

    // The game opens its first screen here.
    virtual void Start() {}
    void AddedToManager(WidgetManager* manager) override;
    // One update step is one centisecond of play time.
    void Update() override;
    // Play time adds up the same when steps run late together.
    int StepsUntilDue() override { return kNothingDue; }
    void Draw(Graphics* g) override;
    // While the application's pause count is above 0.
    bool IsPaused() override;

    static constexpr int kUpdatesPerMinute = BasicPlayerState::kStepsPerMinute;
};
