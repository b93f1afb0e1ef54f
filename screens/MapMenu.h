#pragma once
#include <string>
#include <vector>

#include "core/WeakHandle.h"
#include "widgets/Menu.h"

class ButtonWidget;
class Image;
class ScriptCommandRegistry;

// The map of the story: one button per story set at the set's map position,
// locked sets disabled. Choosing an open set makes it the current one and
// opens its loading screen; "main_menu" goes back to the main menu. The
// script "map_menu_<game>" lists the sets with "set-item"; the map supplies
// the set data, the variables and the reactions.
class MapMenu : public Menu {
public:
    // The plain map (from the story's entry and after a story set's last
    // puzzle); `noMapAnimation` makes "animate_map_time" 0.
    MapMenu(const std::wstring& gameName, bool noMapAnimation);
    // Arriving from a set's puzzles over a picture of that screen (the object
    // "transition_bg"). The map takes the picture. The game shown is the
    // player's whatever `gameName` says.
    MapMenu(Image* screenshot, const std::wstring& setName, const std::wstring& gameName);

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);

    void AddedToManager(WidgetManager* manager) override;
    // "main_menu".
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    Menu* CreateTransition() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;

    // "set-item": the button of the story set `index`; `buttonName` is its
    // image ("map_<set>_btn_<game>" when empty). False when the index names
    // no set of the catalogue.
    bool AddSetItem(int index, const std::wstring& buttonName);
    // The named set becomes the one the map names ("set_name").
    void SelectSet(const std::wstring& setName);

    // One per accepted "set-item", in order; no button for a set without a
    // map position.
    struct SetItem {
        WeakHandle<ButtonWidget> mButton;
        int mIndex = 0;
        std::wstring mSetName;
    };
    const std::vector<SetItem>& GetSetItems() const { return mSetItems; }

private:
    void Init();
    const SetItem* FindItem(int buttonId) const;

    std::wstring mGameName;
    std::vector<SetItem> mSetItems;
    int mMode = 0;
    bool mNoMapAnimation = false;
};
