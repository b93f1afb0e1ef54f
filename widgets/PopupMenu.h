#pragma once
#include "core/WeakHandle.h"
#include "widgets/Menu.h"
#include "widgets/OverlayAnimation.h"

// A menu that pops in and out: an intro overlay when it opens, a darkening
// background behind it, and an outro overlay it waits for before it closes.
// The whole rectangle takes the mouse.
class PopupMenu : public Menu {
public:
    PopupMenu(Image* image, bool popup, bool centre);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    // The first call runs the outro and closes when it completes; a second
    // call while it runs closes at once.
    void RemoveSelf() override;
    void AnimationComplete(int id) override;

    bool IsClosing() const { return mOutroOverlay.Get() != nullptr; }
    AnimationWidget* GetBackgroundOverlay() const { return mBackgroundOverlay.Get(); }

    bool mDoIntro = true;
    bool mDoBackground = true;

protected:
    WeakHandle<OverlayAnimation> mOutroOverlay;
    WeakHandle<AnimationWidget> mBackgroundOverlay;
};
