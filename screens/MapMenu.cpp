#include "screens/MapMenu.h"

#include <cstdio>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/SetStats.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "screens/ScreenTransition.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ScriptCommandRegistry.h"

namespace {

constexpr int kMapAnimationTime = 80;
// Where the script shows the name of the chosen set.
constexpr int kSetNameX = 512;
constexpr int kSetNameY = 5;

ScriptStep SetItemCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    auto& map = static_cast<MapMenu&>(w);
    const int index = w.GetIntAttribute(L"index");
    map.AddSetItem(index, w.GetStringAttribute(L"button-name"));
    return ScriptStep::Next;
}

// A set the profile does not hold is locked.
bool IsSetOpen(int mode, int set) {
    const SetProgress* progress = gPlayerState ? gPlayerState->FindSet(mode, set) : nullptr;
    return progress && progress->mUnlock != 0;
}

}  // namespace

void MapMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<MapMenu>(L"set-item", &SetItemCommand);
}

MapMenu::MapMenu(const std::wstring& gameName, bool noMapAnimation)
    : Menu(L"map_menu"), mGameName(gameName), mNoMapAnimation(noMapAnimation) {
    Init();
}

MapMenu::MapMenu(Image* screenshot, const std::wstring& setName, const std::wstring& gameName)
    : Menu(L"map_menu"), mGameName(gameName) {
    if (screenshot) {
        SetVariable(L"animate_map", ScriptValue(true));
        if (!setName.empty()) SetVariable(L"set_name", ScriptValue(setName));
        if (!gameName.empty()) SetVariable(L"game_name", ScriptValue(gameName));
        // The object showing the picture owns it: the picture lives exactly as
        // long as something can draw it.
        auto* background = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
        background->SetOwnedImage(screenshot);
        background->mCheckPixels = false;
        AddNamedObject(L"transition_bg", background);
    }
    if (gPlayerState) mGameName = gPlayerState->mGameName;
    Init();
}

void MapMenu::Init() {
    mUseTransition = false;
    SetVariable(L"c_gamename", ScriptValue(mGameName));
    InsertAnimationByName(L"map_init_" + mGameName);
}

void MapMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    SetVariable(L"c_setcount", ScriptValue(SetStats::CountSets(mGameName, mMode)));
    SetVariable(L"c_gamename", ScriptValue(mGameName));
    SetVariable(L"animate_map_time", ScriptValue(mNoMapAnimation ? 0 : kMapAnimationTime));
    InsertAnimationByName(L"map_menu_" + mGameName);
    InsertAnimationByName(L"map_highlight_button");
}

bool MapMenu::AddSetItem(int index, const std::wstring& buttonName) {
    const SetRecord* record = SetStats::FindSet(mGameName, mMode, index);
    if (!record) {
        DebugPrintf("set-item: no set %d in the catalogue of %s\n", index, WStringToString(mGameName).c_str());
        return false;
    }
    SetItem item;
    item.mIndex = index;
    item.mSetName = record->mName;
    if (record->mX == 0 && record->mY == 0) {
        mSetItems.push_back(std::move(item));
        return true;
    }
    std::wstring image = buttonName;
    if (image.empty()) {
        std::fputs("button-name was left blank in set-item, defaulting\n", stdout);
        image = WStrFormat(L"map_%ls_btn_%ls", record->mName.c_str(), mGameName.c_str());
    }
    auto* button = new ButtonWidget(static_cast<float>(record->mX), static_cast<float>(record->mY), image, L"", true);
    button->mCheckPixels = true;
    button->SetVariable(L"set_name", ScriptValue(record->mName));
    const bool open = IsSetOpen(mMode, index);
    button->SetDisabled(!open);
    AddWidget(button);
    button->mButtonListener = static_cast<ButtonListener*>(this);
    item.mButton = button;
    // In the list before the name's script runs: that script walks on
    // through the rest of the list.
    mSetItems.push_back(std::move(item));
    if (!open) return true;
    const Image* picture = button->GetImage();
    const int width = picture ? picture->GetCelWidth() : button->mWidth;
    const int height = picture ? picture->GetCelHeight() : button->mHeight;
    SetVariable(L"selected_btn_name", ScriptValue(image));
    SetVariable(L"btn_x", ScriptValue(record->mX));
    SetVariable(L"btn_y", ScriptValue(record->mY));
    SetVariable(L"new_btn_x", ScriptValue(record->mX + width / 2));
    SetVariable(L"new_btn_y", ScriptValue(record->mY + height / 2));
    SelectSet(record->mName);
    return true;
}

void MapMenu::SelectSet(const std::wstring& setName) {
    SetVariable(L"c_set_x", ScriptValue(kSetNameX));
    SetVariable(L"c_set_y", ScriptValue(kSetNameY));
    SetVariable(L"set_name", ScriptValue(setName));
    InsertAnimationByName(L"update_set_name_" + mGameName);
}

const MapMenu::SetItem* MapMenu::FindItem(int buttonId) const {
    for (const SetItem& item : mSetItems) {
        const ButtonWidget* button = item.mButton.Get();
        if (button && button->mId == buttonId) return &item;
    }
    return nullptr;
}

void MapMenu::ButtonMouseEnter(int id) {
    Menu::ButtonMouseEnter(id);
    if (const SetItem* item = FindItem(id)) SelectSet(item->mButton.Get()->GetVariable(L"set_name").ToString());
}

void MapMenu::ButtonDepress(int id) {
    Menu::ButtonDepress(id);
    const SetItem* item = FindItem(id);
    if (!item || HasClosed()) return;
    const int set = item->mIndex;
    RemoveSelf();
    PlayerProgress::SetCurrentSet(set);
    if (gGameScreens.mSetLoading) ShowGameScreen(gGameScreens.mSetLoading(-1, 0));
}

void MapMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    if (action != L"main_menu" || HasClosed()) return;
    RemoveSelf();
    // Back from the map: the main menu plays its own way in.
    if (gGameScreens.mMainMenu) ShowGameScreen(gGameScreens.mMainMenu(true));
}

Menu* MapMenu::CreateTransition() { return new ScreenTransition(this, L"map_transition"); }
