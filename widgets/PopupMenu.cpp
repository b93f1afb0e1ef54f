#include "widgets/PopupMenu.h"

#include "widgets/OverlayAnimation.h"
#include "widgets/WidgetManager.h"

PopupMenu::PopupMenu(Image* image, bool popup, bool centre) : Menu(image, popup, centre) {
    mCheckPixels = false;
}

void PopupMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    if (!mDoIntro || !mWidgetManager || mClosed) return;
    auto* intro = new OverlayAnimation(L"popup_intro");
    intro->SetVariable(L"menu", ScriptValue(static_cast<ScriptObject*>(this)));
    AddWidget(intro);
    if (!mDoBackground) return;
    auto* background = new AnimationWidget(L"popup_background_intro", 0.0f, 0.0f, false);
    background->SetVariable(L"do_popup", ScriptValue(true));
    background->mPriority = mPriority;
    background->mZOrder = mZOrder;
    AnimationListener::WatchWidget(background);
    mBackgroundOverlay.Reset(background);
    mWidgetManager->AddWidget(background);
    mWidgetManager->PutBehind(background, this);
}

void PopupMenu::RemovedFromManager(WidgetManager* manager) {
    if (AnimationWidget* background = mBackgroundOverlay.Get()) {
        mBackgroundOverlay.Reset();
        background->RemoveSelf();
    }
    Menu::RemovedFromManager(manager);
}

void PopupMenu::RemoveSelf() {
    if (mClosed) return;
    const bool drawn = mVisible && !(mRemoveMask & WidgetFlags::Draw);
    if (AnimationWidget* background = mBackgroundOverlay.Get())
        background->PlayAnimationByName(L"popup_background_outro");
    if (mDoIntro && !mOutroOverlay.Get() && drawn && mWidgetManager) {
        SetPauseWhenCovered(false);
        auto* outro = new OverlayAnimation(L"popup_outro");
        outro->SetVariable(L"menu", ScriptValue(static_cast<ScriptObject*>(this)));
        AnimationListener::WatchWidget(outro);
        mOutroOverlay.Reset(outro);
        AddWidget(outro);
        return;
    }
    Menu::RemoveSelf();
}

void PopupMenu::AnimationComplete(int id) {
    Menu::AnimationComplete(id);
    if (mDestroying) return;
    if (OverlayAnimation* outro = mOutroOverlay.Get(); outro && outro->mId == id) {
        Menu::RemoveSelf();
        return;
    }
    if (AnimationWidget* background = mBackgroundOverlay.Get(); background && background->mId == id)
        mBackgroundOverlay.Reset();
}
