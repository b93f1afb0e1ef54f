#include "widgets/OverlayAnimation.h"

#include "widgets/AppServices.h"
#include "widgets/WidgetManager.h"

OverlayAnimation::OverlayAnimation(const std::wstring& animationName)
    : AnimationWidget(animationName, 0.0f, 0.0f, true) {
    mPriority = kPriority;
    mZOrder = kPriority;
    mMouseVisible = true;
}

void OverlayAnimation::AddedToManager(WidgetManager* manager) {
    AnimationWidget::AddedToManager(manager);
    Rect screen = LocalToScreenRect(Rect(0, 0, 1, 1));
    int width = gAppServices ? gAppServices->GetWidth() : 1024;
    int height = gAppServices ? gAppServices->GetHeight() : 768;
    Resize(static_cast<float>(-screen.mX), static_cast<float>(-screen.mY), width, height);
}

void OverlayAnimation::RemovedFromManager(WidgetManager* manager) {
    AnimationWidget::RemovedFromManager(manager);
    if (manager) manager->RecheckMouseOver();
}
