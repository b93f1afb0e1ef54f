#include "widgets/DialogMenu.h"

#include "data/AssetLookup.h"
#include "data/Constants.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AppServices.h"
#include "widgets/WidgetManager.h"

DialogMenu::DialogMenu(Widget* fadeFrom) : PopupMenu(FindImage(L"Dialog"), true, true) {
    if (!fadeFrom) return;
    mFadeFrom.Reset(fadeFrom);
    mDoIntro = false;
    mFadeState = Shown;
}

DynamicWidget* DialogMenu::SnapshotWidget(Widget* widget) {
    const int width = gAppServices ? gAppServices->GetWidth() : 1024;
    const int height = gAppServices ? gAppServices->GetHeight() : 768;
    auto* surface = new ImageSurface();
    surface->Create(width, height);
    {
        // DrawAll places the widget at its own position.
        Graphics g(surface);
        const int flags = mWidgetManager ? mWidgetManager->mDrawFlags : WidgetFlags::Default;
        widget->DrawAll(&g, flags | WidgetFlags::Draw);
    }
    auto* snapshot = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
    snapshot->SetOwnedImage(surface);
    snapshot->mAddMask |= WidgetFlags::Draw;
    snapshot->mCheckPixels = false;
    widget->mRemoveMask |= WidgetFlags::Draw;
    widget->MarkDirty();
    return snapshot;
}

void DialogMenu::FadeSnapshots(float fromOpacity, float dialogOpacity) {
    const float steps = GetConstantFloat(L"dialog_fade_time") * 100.0f;
    if (DynamicWidget* from = mFadeFromSnapshot.Get()) from->TweenProperty(L"opacity", L"", fromOpacity, steps);
    if (DynamicWidget* dialog = mDialogSnapshot.Get()) dialog->TweenProperty(L"opacity", L"", dialogOpacity, steps);
}

void DialogMenu::AddedToManager(WidgetManager* manager) {
    PopupMenu::AddedToManager(manager);
    if (mFadeState == NoFade || mClosed || !mWidgetManager) return;
    Widget* fadeFrom = mFadeFrom.Get();
    if (!fadeFrom) {
        mFadeState = NoFade;
        return;
    }
    mRemoveMask |= WidgetFlags::AllowMouse;
    mWidgetManager->RecheckMouseOver();
    DynamicWidget* from = SnapshotWidget(fadeFrom);
    DynamicWidget* dialog = SnapshotWidget(this);
    from->AddWidget(dialog);
    from->mAddMask |= WidgetFlags::CrossFade;
    from->Move(-mX, -mY);
    AddWidget(from);
    mFadeFromSnapshot.Reset(from);
    mDialogSnapshot.Reset(dialog);
    dialog->mOpacity = 0.0f;
    FadeSnapshots(0.0f, 1.0f);
    mFadeState = FadingIn;
}

void DialogMenu::Update() {
    PopupMenu::Update();
    if (mFadeState == FadingIn) {
        DynamicWidget* from = mFadeFromSnapshot.Get();
        if (from && from->IsBusy()) return;
        if (from) from->SetVisible(false);
        mRemoveMask &= ~(WidgetFlags::Draw | WidgetFlags::AllowMouse);
        mFadeState = Shown;
        MarkDirty();
    } else if (mFadeState == FadingOut) {
        DynamicWidget* dialog = mDialogSnapshot.Get();
        if (dialog && dialog->IsBusy()) return;
        if (Widget* fadeFrom = mFadeFrom.Get()) {
            fadeFrom->mRemoveMask &= ~WidgetFlags::Draw;
            fadeFrom->MarkDirty();
        }
        mFadeState = Shown;
        Menu::RemoveSelf();
    }
}

int DialogMenu::StepsUntilDue() {
    if (mFadeState == FadingIn || mFadeState == FadingOut) return 0;
    return PopupMenu::StepsUntilDue();
}

void DialogMenu::Dismiss() {
    if (mClosed) return;
    if (mFadeState == NoFade || !mFadeFromSnapshot.Get()) {
        RemoveSelf();
        return;
    }
    if (mFadeState == FadingOut) return;
    if (DynamicWidget* from = mFadeFromSnapshot.Get()) from->SetVisible(true);
    FadeSnapshots(1.0f, 0.0f);
    mRemoveMask |= WidgetFlags::Draw;
    MarkDirty();
    mFadeState = FadingOut;
}

void DialogMenu::DoAction(const std::wstring& action, const std::wstring& parameter, int object) {
    if (action == L"close") {
        Dismiss();
        return;
    }
    PopupMenu::DoAction(action, parameter, object);
}
