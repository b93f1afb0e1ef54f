#include "widgets/ScriptPropertyNames.h"

#include "core/NearestName.h"
#include "core/StringUtil.h"
#include "data/Animation.h"
#include "data/ExpressionEvaluator.h"
#include "widgets/DynamicWidget.h"

namespace ScriptPropertyNames {

bool Resolve(const AnimationCommand& command, std::vector<int>& slots, std::string& error) {
    slots.clear();
    const CommandAttribute* list = command.FindAttribute(L"property");
    if (!list) return true;
    for (const std::wstring& name : ExpressionEvaluator::SplitArguments(list->mText)) {
        const int slot = DynamicWidget::FindPropertySlot(name);
        if (slot < 0) {
            slots.clear();
            error = DescribeUnknown(name);
            return false;
        }
        slots.push_back(slot);
    }
    return true;
}

std::string DescribeUnknown(const std::wstring& name) {
    NearestName nearest(name);
    std::wstring known;
    for (int slot = 0; slot < DynamicWidget::GetPropertyCount(); ++slot) {
        const wchar_t* property = DynamicWidget::GetPropertyName(slot);
        nearest.Offer(property);
        known += (known.empty() ? L"" : L", ") + std::wstring(property);
    }
    const std::wstring hint = !nearest.Get().empty() ? L"did you mean '" + nearest.Get() + L"'?"
                                                     : L"the properties are " + known;
    return "Unknown script property " + QuoteValue(name) + " (" + WStringToString(hint) + ")";
}

}  // namespace ScriptPropertyNames
