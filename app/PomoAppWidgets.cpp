// The application's side of the widget tree: the dialog registry, the frame
// hooks that walk the tree, and the widget drawn as the mouse cursor.
#include <algorithm>

#include "app/PomoAppBase.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "widgets/WidgetManager.h"

void PomoAppBase::UpdateFramesF(float elapsedSteps) { mWidgetManager->UpdateF(elapsedSteps); }

void PomoAppBase::DrawScreen(Graphics& g) { mWidgetManager->DrawToGraphics(g); }

// --- Dialogs ---------------------------------------------------------------------

void PomoAppBase::AddDialog(Widget* dialog) {
    if (dialog) AddDialogWithId(dialog->mId, dialog);
}

void PomoAppBase::AddDialogWithId(int id, Widget* dialog) {
    if (!dialog) return;
    auto it = mDialogMap.find(id);
    if (it != mDialogMap.end()) {
        if (it->second.Get() == dialog) {
            // Already registered under this id: killing it first would flag
            // the very widget we are adding for deletion.
            if (dialog->mParent != mWidgetManager) mWidgetManager->AddWidget(dialog);
            if (dialog->mWidgetManager == mWidgetManager) mWidgetManager->SetFocus(dialog);
            return;
        }
        KillDialog(id);
    }
    dialog->mId = id;
    mDialogMap[id] = dialog;
    mDialogList.emplace_back(dialog);
    // Modal before it is added, so that a dialog its start opens at once (a
    // notice from its first script command) stacks above it and keeps the
    // focus.
    const bool modal = dialog->IsModal();
    if (modal) mWidgetManager->AddBaseModal(dialog);
    Widget* focus = mWidgetManager->GetFocus();
    mWidgetManager->AddWidget(dialog);
    // Its AddedToManager may already have closed it again.
    auto now = mDialogMap.find(id);
    if (now == mDialogMap.end() || now->second.Get() != dialog) return;
    Widget* focusNow = mWidgetManager->GetFocus();
    if (dialog->mWidgetManager == mWidgetManager && (focusNow == focus || focusNow == dialog))
        mWidgetManager->SetFocus(dialog);
    if (modal) DialogAddedHook(dialog);
    dialog->OnAddedToApp();
}

bool PomoAppBase::KillDialogEx(int id, bool remove, bool doDelete) {
    auto it = mDialogMap.find(id);
    if (it == mDialogMap.end()) return false;
    Widget* dialog = it->second.Get();
    mDialogMap.erase(it);
    mDialogList.erase(std::remove_if(mDialogList.begin(), mDialogList.end(),
                                     [dialog](const WeakHandle<Widget>& h) {
                                         return !h.Get() || h.Get() == dialog;
                                     }),
                      mDialogList.end());
    if (!dialog) return true;  // deleted behind the registry's back

    bool keepFlag = dialog->mDeleteWhenRemoved;
    dialog->mDeleteWhenRemoved = doDelete;
    if (remove && dialog->mParent) {
        dialog->mParent->RemoveWidget(dialog);
    } else if (doDelete && !dialog->mParent) {
        DeferWidgetDelete(dialog);
    }
    if (!doDelete) dialog->mDeleteWhenRemoved = keepFlag;

    if (dialog->IsModal()) {
        DialogRemovedHook(dialog);
        mWidgetManager->RemoveBaseModal(dialog);
    }
    return true;
}

bool PomoAppBase::KillDialogWidget(Widget* dialog) {
    if (!dialog) return false;
    auto it = mDialogMap.find(dialog->mId);
    // Only the dialog itself: another widget under the same id stays.
    if (it == mDialogMap.end() || it->second.Get() != dialog) return false;
    return KillDialog(dialog->mId);
}

Widget* PomoAppBase::GetDialog(int id) const {
    auto it = mDialogMap.find(id);
    return it == mDialogMap.end() ? nullptr : it->second.Get();
}

// --- Cursor widget ---------------------------------------------------------------

void PomoAppBase::SetCursorImage(Widget* cursor) {
    mCursorWidget = cursor;
    if (mD3DInterface) {
        if (cursor) {
            WeakHandle<Widget> handle(cursor);
            mD3DInterface->SetCursorDrawer([handle](Graphics& g, int x, int y) {
                Widget* widget = handle.Get();
                if (!widget) return;
                GraphicsState saved;
                saved.CopyFrom(g);
                g.Translate(static_cast<float>(x), static_cast<float>(y));
                // A cursor widget stays hidden in the tree: it shows only here.
                const bool visible = widget->mVisible;
                widget->mVisible = true;
                widget->DrawAll(&g, WidgetFlags::Default);
                widget->mVisible = visible;
                g.RestoreState(saved);
            });
        } else {
            mD3DInterface->SetCursorDrawer(nullptr);
        }
    }
    if (mWindow) mWindow->ShowSystemCursor(cursor == nullptr);
}

Widget* PomoAppBase::GetCursorImage() const { return mCursorWidget.Get(); }
