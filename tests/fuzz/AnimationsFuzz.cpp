#include <string>

#include "data/AnimationStats.h"
#include "data/ExpressionEvaluator.h"
#include "tests/fuzz/FuzzTarget.h"
#include "widgets/DynamicWidget.h"
#include "widgets/ScriptCommandRegistry.h"

namespace {

// A loaded record that lists properties holds one known slot per name.
void CheckSlots(const std::vector<AnimationCommand>& commands) {
    for (const AnimationCommand& command : commands) {
        for (int slot : command.mPropertySlots)
            if (!DynamicWidget::GetPropertyName(slot)) __builtin_trap();
        if (!command.mPropertySlots.empty() &&
            command.mPropertySlots.size() !=
                ExpressionEvaluator::SplitArguments(command.GetAttribute(L"property")).size())
            __builtin_trap();
        CheckSlots(command.mChildren);
    }
}

}  // namespace

// Feeds the bytes to the animations loader with the script registry's check
// installed, as the game loads them. A failed load must say where it
// stopped; a successful one has resolved every property list it kept.
FUZZ_TARGET(animations) {
    ScriptCommandRegistry::Instance();  // installs the loader's check
    std::string bytes(reinterpret_cast<const char*>(data), size);
    AnimationStats loader;
    const bool ok = loader.LoadAnimationsFromString(bytes, "fuzz.xml");
    if (!ok && loader.GetErrorText().find(" on Line ") == std::string::npos) __builtin_trap();
    if (ok)
        for (const auto& [name, animation] : loader.GetTable()) CheckSlots(animation.mCommands);
    return 0;
}
