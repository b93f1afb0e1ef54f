#pragma once
#include <string>

#include "widgets/Menu.h"

// The letter that opens the story ("story_intro"): its "ok" marks the
// tutorial set introduced, saves, and asks whether to play the tutorial
// (the letter stays beneath the question, which closes both) or, when the
// tutorial was seen before, opens the set loading screen and closes.
class StoryIntroMenu : public Menu {
public:
    StoryIntroMenu();
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;

private:
    // Answered once: a second "ok" would ask twice.
    bool mRead = false;
};

// The letter after the story's last set ("story_final"); "ok" rolls the credits.
class StoryFinalMenu : public Menu {
public:
    StoryFinalMenu();
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
};
