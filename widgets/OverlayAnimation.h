#pragma once
#include <string>

#include "widgets/AnimationWidget.h"

// An animation over the whole screen, above every ordinary widget (pop-up
// intros and outros, the script command "overlay"). It removes itself when
// its script ends.
class OverlayAnimation : public AnimationWidget {
public:
    static constexpr int kPriority = 1 << 30;

    explicit OverlayAnimation(const std::wstring& animationName);

    // Covers the screen wherever its parent is.
    void AddedToManager(WidgetManager* manager) override;
    // What lay under the overlay may be under the pointer now.
    void RemovedFromManager(WidgetManager* manager) override;
};
