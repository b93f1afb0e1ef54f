#include "widgets/Listeners.h"

#include "widgets/Widget.h"

RemovalWidget::~RemovalWidget() {
    if (mRemovalListener) mRemovalListener->mWatched.erase(this);
}

RemovalListener::~RemovalListener() {
    for (RemovalWidget* widget : mWatched) widget->mRemovalListener = nullptr;
}

void RemovalListener::WatchWidget(RemovalWidget* widget) {
    if (!widget || widget->mRemovalListener == this) return;
    if (widget->mRemovalListener) widget->mRemovalListener->mWatched.erase(widget);
    widget->mRemovalListener = this;
    mWatched.insert(widget);
}

void RemovalListener::UnwatchWidget(RemovalWidget* widget) {
    if (!widget || widget->mRemovalListener != this) return;
    widget->mRemovalListener = nullptr;
    mWatched.erase(widget);
}

bool RemovalListener::IsWatching(const RemovalWidget* widget) const {
    return widget && widget->mRemovalListener == this;
}

AnimationListener::~AnimationListener() {
    for (Widget* widget : mWatched) widget->mAnimationListener = nullptr;
}

void AnimationListener::WatchWidget(Widget* widget) {
    if (!widget || widget->mAnimationListener == this) return;
    if (widget->mAnimationListener) widget->mAnimationListener->mWatched.erase(widget);
    widget->mAnimationListener = this;
    mWatched.insert(widget);
}

void AnimationListener::UnwatchWidget(Widget* widget) {
    if (!widget || widget->mAnimationListener != this) return;
    widget->mAnimationListener = nullptr;
    mWatched.erase(widget);
}

bool AnimationListener::IsWatching(const Widget* widget) const {
    return widget && widget->mAnimationListener == this;
}
