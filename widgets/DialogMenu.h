#pragma once
#include "core/WeakHandle.h"
#include "widgets/PopupMenu.h"

class DynamicWidget;
class Widget;

// A dialog on the "Dialog" picture. Without a widget to fade from it pops in
// and out; with one it cross-fades from a snapshot of that widget to a
// snapshot of itself over the constant "dialog_fade_time", and back when it
// is dismissed (the widget is shown again as the dialog closes).
class DialogMenu : public PopupMenu {
public:
    enum FadeState { NoFade = 0, FadingIn = 1, Shown = 2, FadingOut = 3 };

    explicit DialogMenu(Widget* fadeFrom);

    void Update() override;
    int StepsUntilDue() override;
    void AddedToManager(WidgetManager* manager) override;
    // "close" dismisses the dialog.
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    // Closes the dialog the way it opened; nothing once it has closed.
    virtual void Dismiss();

    int GetFadeState() const { return mFadeState; }

protected:
    // A picture of the widget with its children, laid out over the window;
    // the widget itself stops drawing.
    DynamicWidget* SnapshotWidget(Widget* widget);
    void FadeSnapshots(float fromOpacity, float dialogOpacity);

    int mFadeState = NoFade;
    WeakHandle<Widget> mFadeFrom;
    WeakHandle<DynamicWidget> mFadeFromSnapshot;
    WeakHandle<DynamicWidget> mDialogSnapshot;
};
