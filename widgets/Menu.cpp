#include "widgets/Menu.h"

#include <algorithm>
#include <set>

#include "audio/SoundPlayer.h"

#include "widgets/AppServices.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

namespace {
constexpr size_t kTypedCodeLength = 8;

SoundPlayer* Player() { return gAppServices ? gAppServices->GetSoundPlayer() : nullptr; }

}  // namespace

void ShowMenu(Menu* menu) {
    if (!menu || !gAppServices) return;
    gAppServices->AddDialog(menu->mUseTransition ? menu->CreateTransition() : menu);
}

void ShowMenuWithTransition(Menu* menu) {
    if (menu && gAppServices) gAppServices->AddDialog(menu->CreateTransition());
}

Menu::Menu(Image* image, bool popup, bool centre) : AnimationWidget(0.0f, 0.0f, nullptr, 1.0f) {
    if (popup) {
        mPriority = 2;
        mZOrder = 2;
    }
    int windowWidth = gAppServices ? gAppServices->GetWidth() : 1024;
    int windowHeight = gAppServices ? gAppServices->GetHeight() : 768;
    if (image) {
        SetImage(image);
        if (centre) Move(static_cast<float>(windowWidth / 2 - mWidth / 2),
                         static_cast<float>(windowHeight / 2 - mHeight / 2));
    } else {
        mWidth = windowWidth;
        mHeight = windowHeight;
    }
    InitMenu();
}

Menu::Menu(const std::wstring& animationName) : Menu(nullptr, false, false) {
    PlayAnimationByName(animationName);
}

Menu::~Menu() = default;

void Menu::InitMenu() {
    // A paused menu pauses its whole subtree.
    SetPauseOwner(this, false);
    mMenu = this;
    mIsMenuRoot = true;
    mMouseVisible = true;
    if (gAppServices) gAppServices->SetCursor(0);
}

bool Menu::IsPaused() {
    if ((gAppServices && gAppServices->GetPauseCount() >= 1) || mPaused) return true;
    if (!mPauseWhenCovered || !IsInManager() || mActive) return false;
    return !(gAppServices && gAppServices->IsScreenSaverMode());
}

void Menu::GotFocus() {
    AnimationWidget::GotFocus();
    if (gAppServices) gAppServices->SetActiveMenu(this);
    MarkDirty();
}

void Menu::MouseDown(int x, int y, int clickCount) {
    AnimationWidget::MouseDown(x, y, clickCount);
    if (!IsPaused()) return;
    // A click on a covered menu brings it forward.
    if (mWidgetManager) mWidgetManager->SetFocus(this);
    mPaused = false;
    UpdatePausedState();
}

void Menu::KeyChar(wchar_t character) {
    AnimationWidget::KeyChar(character);
    mTypedCode.push_back(character);
    if (mTypedCode.size() > kTypedCodeLength) mTypedCode.erase(0, mTypedCode.size() - kTypedCodeLength);
    if (mTypedCode.size() == kTypedCodeLength && gAppServices) gAppServices->HandleTypedCode(mTypedCode);
}

void Menu::AddedToManager(WidgetManager* manager) {
    mClosed = false;
    if (gAppServices) gAppServices->AddMenu(this);
    Widget* focus = manager ? manager->GetFocus() : nullptr;
    AnimationWidget::AddedToManager(manager);
    if (mRemoveRequested)
        RemoveSelf();
    // A menu that its script opened at once (a notice) keeps the focus.
    else if (manager && manager->GetFocus() == focus)
        manager->SetFocus(this);
}

void Menu::RemovedFromManager(WidgetManager* manager) {
    mClosed = true;
    StopAllSounds(0.0);
    AnimationWidget::RemovedFromManager(manager);
    if (gAppServices) gAppServices->RemoveMenu(this);
}

void Menu::RemoveSelf() {
    if (mClosed) return;
    mRemoveRequested = true;
    if (gAppServices && gAppServices->KillDialogWidget(this)) return;
    // Not a registered dialog: a menu added as a plain child still leaves;
    // one not added yet closes as soon as it is (see AddedToManager).
    if (mParent) AnimationWidget::RemoveSelf();
}

Menu* Menu::CreateTransition() { return gAppServices ? gAppServices->CreateTransition(this) : this; }

void Menu::CaptureScreenshot(bool redraw) {
    mScreenshot.reset();
    if (!redraw) {
        if (gAppServices) mScreenshot.reset(gAppServices->CopyScreenImage());
        return;
    }
    auto surface = std::make_unique<ImageSurface>();
    if (!surface->Create(std::max(mWidth, 1), std::max(mHeight, 1))) return;
    if (mWidgetManager) {
        Graphics g(surface.get());
        mWidgetManager->DrawToGraphics(g);
    }
    mScreenshot = std::move(surface);
}

ButtonWidget* Menu::AddButton(int x, int y, const std::wstring& buttonName, const std::wstring& label,
                              bool localize) {
    auto* button = new ButtonWidget(static_cast<float>(x), static_cast<float>(y), buttonName, label, localize);
    AddWidget(button);
    return button;
}

ButtonWidget* Menu::AddMenuButton(int x, int y, const std::wstring& labelKey) {
    ButtonWidget* button = gAppServices ? gAppServices->CreateMenuButton(x, y, labelKey, true) : nullptr;
    if (button) AddWidget(button);
    return button;
}

void Menu::SetActive(bool active) {
    // A menu may draw differently while it is the active one.
    if (active != mActive) MarkDirty();
    mActive = active;
    UpdatePausedState();
}

bool Menu::SetPauseWhenCovered(bool pause) {
    bool old = mPauseWhenCovered;
    mPauseWhenCovered = pause;
    if (old != pause) UpdatePausedState();
    return old;
}

void Menu::UpdatePausedState() {
    if (IsPaused()) {
        if (mRemovedInputFlag == 0) {
            mRemovedInputFlag = (mRemoveMask & WidgetFlags::AllowMouse) ? 0 : WidgetFlags::AllowMouse;
            mRemoveMask |= mRemovedInputFlag;
        }
    } else {
        mRemoveMask &= ~mRemovedInputFlag;
        mRemovedInputFlag = 0;
    }
    if (SoundPlayer* player = Player(); player && !mSoundCounts.empty()) {
        std::set<int> ids;
        for (const auto& entry : mSoundCounts) ids.insert(entry.first);
        player->SetLoopsMuted(IsPaused(), ids);
    }
}

void Menu::PlaySound(int soundId, double volume) {
    ++mSoundCounts[soundId];
    if (SoundPlayer* player = Player()) player->PlayLooping(soundId, volume);
}

void Menu::StopSound(int soundId, double fadeTime) {
    auto it = mSoundCounts.find(soundId);
    if (it == mSoundCounts.end()) return;
    if (--it->second <= 0) mSoundCounts.erase(it);
    if (SoundPlayer* player = Player()) player->StopLooping(soundId, fadeTime);
}

void Menu::StopAllSounds(double fadeTime) {
    for (auto& [id, count] : mSoundCounts)
        for (int i = 0; i < count; ++i)
            if (SoundPlayer* player = Player()) player->StopLooping(id, fadeTime);
    mSoundCounts.clear();
}

int Menu::GetSoundCount(int soundId) const {
    auto it = mSoundCounts.find(soundId);
    return it == mSoundCounts.end() ? 0 : it->second;
}
