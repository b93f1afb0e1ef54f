#include "screens/OptionsMenu.h"

#include "app/GameApp.h"
#include "core/Log.h"
#include "data/AssetLookup.h"
#include "data/Localization.h"
#include "platform/Window.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "widgets/Checkbox.h"
#include "widgets/NoticeMenu.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/Slider.h"

namespace {

const wchar_t* const kBoxNames[OptionsMenu::kBoxTypes] = {L"tips", L"cursors", L"swap",
                                                           L"numbers", L"full", L"stretch"};
// The label drawn beside each box, in the order above.
const wchar_t* const kBoxLabels[OptionsMenu::kBoxTypes] = {
    L"disable_tips", L"custom_cursors", L"toggle_mode", L"toggle_numbers", L"full_screen", L"stretch_screen"};

// Mouse speeds 1 to 20 sit 19 steps apart on the slider.
constexpr double kMouseSteps = 19.0;

ScriptStep AddSliderCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<OptionsMenu&>(w).AddSlider(w.GetStringAttribute(L"type"), w.GetIntAttribute(L"x"),
                                           w.GetIntAttribute(L"y"));
    return ScriptStep::Next;
}

ScriptStep AddCheckboxCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<OptionsMenu&>(w).AddCheckbox(w.GetStringAttribute(L"type"), w.GetIntAttribute(L"x"),
                                             w.GetIntAttribute(L"y"));
    return ScriptStep::Next;
}

bool IsChecked(const Checkbox* box) { return box && box->IsChecked(); }

}  // namespace

void OptionsMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<OptionsMenu>(L"add-slider", &AddSliderCommand);
    registry.AddClassCommand<OptionsMenu>(L"add-checkbox", &AddCheckboxCommand);
}

OptionsMenu::OptionsMenu(const std::wstring& gameName, const std::wstring& caller, int mode, int set)
    : DialogMenu(nullptr), mGameName(gameName), mMode(mode), mSet(set), mPause(caller != L"main-menu") {
    // The controls need a larger card than the plain dialog's, dark enough
    // for light text.
    if (Image* panel = FindImage(L"OptionsPanel")) {
        SetImage(panel);
        const int width = gGameApp ? gGameApp->GetWidth() : 1024, height = gGameApp ? gGameApp->GetHeight() : 768;
        Resize(static_cast<float>((width - panel->GetWidth()) / 2), static_cast<float>((height - panel->GetHeight()) / 2),
               panel->GetWidth(), panel->GetHeight());
    }
    Slider** sliders[] = {&mMusicSlider, &mSfxSlider, &mMouseSlider};
    for (Slider** slider : sliders) {
        *slider = new Slider(FindImage(L"Slider"), FindImage(L"Slider_Thumb"), this);
        AddWidget(*slider);
    }
    // Until the script places it, the mouse slider is not offered.
    mMouseSlider->SetVisible(false);
    SetVariable(L"title", GetLocalizedString(L"options_title"));
    InsertAnimationByName(mPause ? L"pause_menu" : L"options_menu");
}

double OptionsMenu::MouseSpeedValue(int speed) { return (speed - 1) / kMouseSteps; }

void OptionsMenu::AddSlider(const std::wstring& type, int x, int y) {
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (type == L"music") {
        // Before the tracks have loaded the group has no volume yet: it gets
        // the one they will find.
        if (gGameApp) gGameApp->EnsureMusicGroupVolume(L"music");
        mMusicSlider->SetValue(gGameApp ? gGameApp->GetMusicGroupVolume(L"music") : 0.0);
        mMusicSlider->Move(fx, fy);
    } else if (type == L"sfx") {
        mSfxSlider->SetValue(gGameApp ? gGameApp->GetSfxVolume() : 0.0);
        mSfxSlider->Resize(fx, fy, mMusicSlider->mWidth, mMusicSlider->mHeight);
    } else if (type == L"mouse") {
        mMouseSlider->Resize(fx, fy, mMusicSlider->mWidth, mMusicSlider->mHeight);
        mMouseSlider->SetValue(MouseSpeedValue(gGameApp ? gGameApp->GetMouseSpeed() : 10));
        mMouseSlider->SetVisible(gGameApp && !gGameApp->mIsWindowed);
    }
}

bool OptionsMenu::IsStretchPossible() const {
    // Stretching means something only when the desktop is not the game's size.
    if (!gGameApp || !gGameApp->GetWindow()) return false;
    int width = 0, height = 0;
    gGameApp->GetWindow()->GetDesktopSize(width, height);
    return width != gGameApp->GetWidth() || height != gGameApp->GetHeight();
}

void OptionsMenu::AddCheckbox(const std::wstring& type, int x, int y) {
    int index = 0;
    while (index < kBoxTypes && type != kBoxNames[index]) ++index;
    if (index == kBoxTypes) return;
    Checkbox*& box = mBoxes[index];
    if (box) box->RemoveSelf();
    box = new Checkbox(FindImage(L"Checkbox"), FindImage(L"Checkbox_hover"), FindImage(L"Checkbox_checked"),
                       FindImage(L"Checkbox_Checked_hover"), this);
    box->Move(static_cast<float>(x), static_cast<float>(y));
    bool checked = false;
    switch (static_cast<BoxType>(index)) {
        case Tips: checked = gPlayerState && gPlayerState->mDisableTips; break;
        case Swap: checked = gPlayerState && gPlayerState->mToggleMode; break;
        case Numbers: checked = gPlayerState && gPlayerState->mShowNumbers; break;
        case Cursors: checked = gGameApp && gGameApp->mCustomCursorsEnabled; break;
        case Full: checked = gGameApp && !gGameApp->mIsWindowed; break;
        case Stretch: checked = gGameApp && gGameApp->mStretchScreen; break;
        default: break;
    }
    box->SetChecked(checked, false);
    AddWidget(box);
    if (index == Stretch) {
        box->mDisabled = !IsStretchPossible();
        box->SetVisible(!box->mDisabled && IsChecked(mBoxes[Full]));
    }
}

void OptionsMenu::ShowFullScreenControls(bool fullScreen) {
    mMouseSlider->SetVisible(fullScreen);
    if (Checkbox* stretch = mBoxes[Stretch]) stretch->SetVisible(!stretch->mDisabled && fullScreen);
}

void OptionsMenu::SliderValueChanged(Slider* slider, double value) {
    if (!gGameApp) return;
    if (slider == mMusicSlider) {
        gGameApp->SetMusicGroupVolume(L"music", value);
    } else if (slider == mSfxSlider) {
        gGameApp->SetSfxVolume(value);
        // A drag rings once, when it ends, at the volume it settled on.
        if (slider->IsDragging()) mSfxDragged = true;
        else gGameApp->PlaySample(GetSoundId(L"Bell"));
    } else if (slider == mMouseSlider) {
        gGameApp->SetMouseSpeed(static_cast<int>(value * kMouseSteps + 1.5));
    }
}

void OptionsMenu::SliderReleased(Slider* slider) {
    if (slider == mMouseSlider && gGameApp) mMouseSlider->SetValue(MouseSpeedValue(gGameApp->GetMouseSpeed()));
    if (slider == mSfxSlider && mSfxDragged && gGameApp) gGameApp->PlaySample(GetSoundId(L"Bell"));
    if (slider == mSfxSlider) mSfxDragged = false;
}

void OptionsMenu::CheckboxChecked(int id, bool checked) {
    int index = 0;
    while (index < kBoxTypes && !(mBoxes[index] && mBoxes[index]->mId == id)) ++index;
    switch (index) {
        case Full:
            ShowFullScreenControls(checked);
            if (!checked && gGameApp && gGameApp->mNoWindowedMode) {
                ShowMenu(new NoticeMenu(L"no_windowed_mode", nullptr, L"menu", 2));
                mBoxes[Full]->SetChecked(true, true);
            }
            break;
        case Tips: if (gPlayerState) gPlayerState->mDisableTips = checked; break;
        case Swap: if (gPlayerState) gPlayerState->mToggleMode = checked; break;
        case Numbers: if (gPlayerState) gPlayerState->mShowNumbers = checked; break;
        default: break;  // cursors and stretch wait for a button
    }
}

void OptionsMenu::ButtonDepress(int id) {
    // The modes first, so that what a button's way out saves is what shows.
    if (gGameApp) {
        if (Checkbox* full = mBoxes[Full]) gGameApp->SwitchScreenMode(!full->IsChecked(), false);
        if (Checkbox* stretch = mBoxes[Stretch]) gGameApp->SetStretchScreen(stretch->IsChecked());
        if (Checkbox* cursors = mBoxes[Cursors]) gGameApp->SetCustomCursorsEnabled(cursors->IsChecked());
    }
    DialogMenu::ButtonDepress(id);
}

void OptionsMenu::SaveAll() {
    PlayerProgress::SaveSettings();
    if (!gGameApp) return;
    std::string reason;
    const bool written = gGameApp->WriteSettings(&reason);
    PlayerProgress::SettingsWritten(written, reason);
}

void OptionsMenu::DoAction(const std::wstring& action, const std::wstring& parameter, int object) {
    auto open = [](Menu* menu) {
        if (menu) ShowMenu(menu);
    };
    if (action == L"close") {
        SaveAll();
        RemoveSelf();
    } else if (action == L"credits") {
        SaveAll();
        RemoveSelf();
        if (gGameScreens.mCredits) open(gGameScreens.mCredits());
    } else if (action == L"main_menu") {
        SaveAll();
        if (gGameScreens.mConfirmMainMenu) open(gGameScreens.mConfirmMainMenu(this));
    } else if (action == L"desk") {
        SaveAll();
        const std::wstring game = gPlayerState ? gPlayerState->mGameName : mGameName;
        if (gGameScreens.mConfirmPuzzleSelect) open(gGameScreens.mConfirmPuzzleSelect(game, mMode, mSet, this));
    } else if (action == L"restart") {
        SaveAll();
        if (gGameScreens.mConfirmRestart) open(gGameScreens.mConfirmRestart(this));
    } else {
        DialogMenu::DoAction(action, parameter, object);
    }
}

void OptionsMenu::Draw(Graphics* g) {
    g->SetColor(Color(0, 0, 0, 150));
    g->FillRect(-mX, -mY, 1024.0f, 768.0f);
    DialogMenu::Draw(g);
    struct Icon {
        Slider* slider;
        const wchar_t* image;
    };
    for (const Icon& icon : {Icon{mMusicSlider, L"IconMusicVolume"}, Icon{mSfxSlider, L"IconSoundVolume"},
                             Icon{mMouseSlider, L"IconMouseSpeed"}})
        if (icon.slider->mVisible)
            g->DrawImage(FindImage(icon.image), icon.slider->mX - 50.0f, icon.slider->mY - 6.0f);
    Font* font = FindFont(L"menu");
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color(255, 255, 255));
    for (int i = 0; i < kBoxTypes; ++i)
        if (mBoxes[i] && mBoxes[i]->mVisible)
            g->DrawString(GetLocalizedString(kBoxLabels[i]), static_cast<float>(static_cast<int>(mBoxes[i]->mX + 50.0f)),
                          static_cast<float>(static_cast<int>(mBoxes[i]->mY + 30.0f)));
}
