#include "screens/ScreenTransition.h"

#include "widgets/AppServices.h"

ScreenTransition::ScreenTransition(Menu* newMenu, const std::wstring& animationName)
    : Transition(animationName, nullptr, false) {
    if (newMenu && gAppServices) gAppServices->AddDialog(newMenu);
}
