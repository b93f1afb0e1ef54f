#include "puzzle/TrailWidget.h"

TrailWidget::TrailWidget(const std::wstring& animation, int sourceX, int sourceY, int targetX,
                         int targetY, int delay)
    : AnimationWidget(animation, 0.0f, 0.0f, true) {
    SetVariable(L"delay", ScriptValue(delay));
    SetVariable(L"source_x", ScriptValue(sourceX));
    SetVariable(L"source_y", ScriptValue(sourceY));
    SetVariable(L"target_x", ScriptValue(targetX));
    SetVariable(L"target_y", ScriptValue(targetY));
    // An effect never takes a click meant for the board below it.
    mRemoveMask |= WidgetFlags::AllowMouse;
}
