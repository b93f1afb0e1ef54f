#include "data/AssetManager.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// "wait-for": chooses what the script waits for. The first form that decides
// wins; "no wait" goes on with the next command at once. The waiting itself
// (polling, time-outs, clicks, button events, removal) belongs to
// AnimationWidget.

namespace {

ScriptStep WaitIn(AnimationWidget& w, int state) {
    w.mWaitState = state;
    return ScriptStep::Stop;
}

// Click listening was armed for a wait that is not happening after all.
ScriptStep NoWait(AnimationWidget& w, bool click) {
    if (click) w.SetClickListening(false);
    return ScriptStep::Next;
}

// Waits on the object that "id" names; NotMine when the event leaves the
// decision to the later forms.
ScriptStep WaitForObject(AnimationWidget& w, const AnimationCommand& c, DynamicWidget& object,
                         const std::wstring& event, bool click) {
    w.mAwaitedObject.Reset(&object);
    w.mAwaitedId = object.mId;
    if (event == L"mouse_up") return WaitIn(w, WaitState::MouseUp);
    if (event == L"mouse_down") return WaitIn(w, WaitState::MouseDown);
    if (event == L"mouse_hover") return WaitIn(w, WaitState::MouseHover);
    if (event == L"mouse_leave") return WaitIn(w, WaitState::MouseLeave);
    if (event == L"animation") {
        auto* widget = dynamic_cast<AnimationWidget*>(&object);
        if (!widget || widget->IsScriptFinished()) return NoWait(w, click);
        w.mAwaitedWidget.Reset(widget);
        return WaitIn(w, WaitState::Animation);
    }
    if ((event.empty() || event == L"controller") && c.HasAttribute(L"controller")) {
        w.mAwaitedController = ScriptCommands::EvaluateText(w, c, L"controller");
        return WaitIn(w, WaitState::Controller);
    }
    if (event.empty() || event == L"object")
        return object.IsBusy() ? WaitIn(w, WaitState::Object) : NoWait(w, click);
    return NoWait(w, click);
}

}  // namespace

ScriptStep ScriptCommands::WaitFor(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    bool hasTime = c.HasAttribute(L"time");
    w.mWaitTime = hasTime ? Evaluate(w, c, L"time").ToFloat() : 0.0f;
    if (hasTime && w.mWaitTime == 0.0f) return ScriptStep::Next;

    bool click = Evaluate(w, c, L"click").ToBool();
    if (click) w.SetClickListening(true);

    const std::wstring& event = c.GetAttribute(L"event");
    if (event == L"animations") return WaitIn(w, WaitState::Animations);
    if (event == L"objects")
        return w.AnySpawnedBusy() ? WaitIn(w, WaitState::Objects) : NoWait(w, click);

    if (c.HasAttribute(L"id")) {
        if (DynamicWidget* object = w.FindScriptObject(L"id"))
            return WaitForObject(w, c, *object, event, click);
    }
    if (c.HasAttribute(L"sound")) {
        int id = GetSoundId(EvaluateText(w, c, L"sound"));
        if (id < 0) return WaitIn(w, WaitState::Condition);
        w.mAwaitedSoundId = id;
        w.mWaitTime = 0.0f;
        return WaitIn(w, WaitState::Sound);
    }
    if (c.HasAttribute(L"track")) {
        int id = GetTrackId(EvaluateText(w, c, L"track"));
        if (id < 0) return WaitIn(w, WaitState::Condition);
        w.mAwaitedSoundId = id;
        w.mWaitTime = 0.0f;
        return WaitIn(w, WaitState::Track);
    }
    if (!Evaluate(w, c, L"cond").ToBool()) return WaitIn(w, WaitState::Condition);
    return NoWait(w, click);
}
