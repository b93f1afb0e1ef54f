#pragma once
#include "core/Geometry.h"
#include "widgets/Listeners.h"

class AnimationListener;
class AnimationWidget;
class Widget;
class WidgetContainer;

// What the play board asks of the widgets around it. The hint and mistake
// meters and the play screen implement these; each may be absent (the board
// then keeps its rules and simply sends no effect there). The board remembers
// them through ListenerRef, so one that goes away reads as absent.

// Where revealed-tile effects land, and what happens when one does.
class HintMeterLink : public ListenerLifetime {
public:
    // In the meter's parent's coordinates.
    virtual Point GetTargetPoint() = 0;
    virtual void UpdateFill(int amount) = 0;
};

// Where mistake effects land (one chance icon per mistake), and the landing.
class MistakeMeterLink : public ListenerLifetime {
public:
    // The centre of chance icon `index` (the meter's centre for an index
    // without an icon), in the meter's parent's coordinates.
    virtual Point GetChancePoint(int index) = 0;
    virtual void ConsumeChance() = 0;
    // The burst of a lost puzzle; its script tells the listener "explode".
    // Null when the meter has none (the board then explodes at once).
    virtual AnimationWidget* Explode(AnimationListener* /*listener*/) { return nullptr; }
};

// The screen the board is played on: found as the board's parent.
class PlayScreenLink {
public:
    virtual ~PlayScreenLink() = default;
    // The board is solved or lost: the tool buttons and the hint meter stop.
    virtual void DisableControls() = 0;
    // The right button with "toggle-mode" on switches the tool.
    virtual void ToggleTool() = 0;
    // Where the board's effects fly (null: the board's parent).
    virtual WidgetContainer* GetEffectLayer() = 0;
    // The board has exploded: the lost puzzle's screen may open.
    virtual void FailPuzzle() {}
};
