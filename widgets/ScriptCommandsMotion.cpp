#include <cmath>
#include <set>

#include "core/Log.h"
#include "core/Random.h"
#include "core/StringUtil.h"
#include "widgets/AnimationWidget.h"
#include "widgets/Controller.h"
#include "widgets/ScriptCommands.h"
#include "widgets/ScriptPropertyNames.h"

// The commands that set and animate a target's float properties, and its
// geometric motions and settings.

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kDefaultChangeTime = 50.0f;
constexpr float kDefaultPushRate = 0.01f;
constexpr float kDefaultOscillationPeriod = 200.0f;
constexpr float kNoLowerBound = -1e20f;
constexpr float kNoUpperBound = 1e20f;

// The properties a record lists. A loaded record holds their slots, found
// when the animations loaded (an unknown name failed the load); a record
// built otherwise is looked up by name here, an unknown name resolving to
// null and skipped (reported once per name), keeping the others' places in
// the parallel lists.
struct Properties {
    std::vector<std::wstring> mNames;
    std::vector<float*> mValues;
    int mDirty = 0;
};

Properties Resolve(AnimationWidget& w, const AnimationCommand& c, DynamicWidget& target) {
    Properties properties;
    if (!c.mPropertySlots.empty()) {
        for (int slot : c.mPropertySlots) {
            properties.mNames.push_back(DynamicWidget::GetPropertyName(slot));
            properties.mValues.push_back(target.GetPropertyPointerAt(slot));
            properties.mDirty |= DynamicWidget::PropertyDirtyFlagsAt(slot);
        }
        return properties;
    }
    for (const ScriptValue& name : w.ReadListAttribute(L"property", false)) {
        const int slot = DynamicWidget::FindPropertySlot(name.GetText());
        if (slot < 0) {
            static std::set<std::wstring> reported;  // main thread only
            if (reported.insert(name.GetText()).second)
                DebugPrintf("%s at %s; skipped\n", ScriptPropertyNames::DescribeUnknown(name.GetText()).c_str(),
                            c.Where().c_str());
        } else {
            properties.mDirty |= DynamicWidget::PropertyDirtyFlagsAt(slot);
        }
        properties.mNames.push_back(name.GetText());
        properties.mValues.push_back(target.GetPropertyPointerAt(slot));
    }
    return properties;
}

// A shorter list repeats its last entry; an empty one gives the fallback.
float Entry(const std::vector<ScriptValue>& list, size_t i, float fallback) {
    if (list.empty()) return fallback;
    return list[std::min(i, list.size() - 1)].ToFloat();
}

std::wstring Word(const std::vector<ScriptValue>& list, size_t i) {
    if (list.empty()) return std::wstring();
    return list[std::min(i, list.size() - 1)].GetText();
}

float Aligned(const std::wstring& property, float value, const std::wstring& word,
              const DynamicWidget& target) {
    if (property == L"x") {
        if (word == L"center") return value - static_cast<float>(target.mWidth / 2);
        if (word == L"right") return value - static_cast<float>(target.mWidth);
    } else if (property == L"y") {
        if (word == L"center") return value - static_cast<float>(target.mHeight / 2);
        if (word == L"bottom") return value - static_cast<float>(target.mHeight);
    }
    return value;
}

// With "angle": the amplitude split along that direction (degrees,
// counter-clockwise, y up the screen); else the list itself.
std::vector<float> Amplitudes(AnimationWidget& w, const wchar_t* listName, size_t count) {
    std::vector<float> values(count, 0.0f);
    if (w.HasAttribute(L"angle")) {
        const float a = w.GetFloatAttribute(L"angle") * -kPi / 180.0f;
        const float amplitude = w.GetFloatAttribute(L"amplitude");
        if (count > 0) values[0] = amplitude * std::cos(a);
        if (count > 1) values[1] = amplitude * std::sin(a);
        return values;
    }
    std::vector<ScriptValue> list = w.ReadListAttribute(listName, true);
    for (size_t i = 0; i < count; ++i) values[i] = Entry(list, i, 0.0f);
    return values;
}

// A rate or period of 0 or less would divide by zero: the default stands.
float PositiveOr(float value, float fallback) { return value > 0.0f ? value : fallback; }

}  // namespace

ScriptStep ScriptCommands::Set(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    std::vector<ScriptValue> values = w.ReadListAttribute(L"value", true);
    std::vector<ScriptValue> aligns = w.ReadListAttribute(L"align", false);
    std::vector<ScriptValue> offsets = w.ReadListAttribute(L"offset", true);
    target->UndoModifiers();
    for (size_t i = 0; i < properties.mValues.size(); ++i) {
        float* value = properties.mValues[i];
        if (!value) continue;
        if (!values.empty())
            *value = Aligned(properties.mNames[i], Entry(values, i, 0.0f), Word(aligns, i), *target);
        *value += Entry(offsets, i, 0.0f);
    }
    target->ApplyModifiers(0.0f);
    target->OnPropertyChanged(DirtyFlags::All);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Change(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    target->UndoModifiers();
    if (c.HasAttribute(L"start")) {
        std::vector<ScriptValue> starts = w.ReadListAttribute(L"start", true);
        for (size_t i = 0; i < properties.mValues.size(); ++i)
            if (properties.mValues[i]) *properties.mValues[i] = Entry(starts, i, 0.0f);
    }
    target->ApplyModifiers(0.0f);
    target->OnPropertyChanged(properties.mDirty);

    // With "end" the offsets are not read.
    const bool hasEnd = c.HasAttribute(L"end");
    std::vector<ScriptValue> ends = w.ReadListAttribute(hasEnd ? L"end" : L"offset", true);
    std::vector<ScriptValue> aligns = w.ReadListAttribute(L"align", false);
    std::vector<Tweener::Target> targets;
    for (size_t i = 0; i < properties.mValues.size(); ++i) {
        float* value = properties.mValues[i];
        if (!value) continue;
        float end = hasEnd ? Aligned(properties.mNames[i], Entry(ends, i, 0.0f), Word(aligns, i), *target)
                           : *value + Entry(ends, i, 0.0f);
        targets.push_back(Tweener::Target{value, *value, end});
    }
    target->AddController(new Tweener(target, w.GetStringAttribute(L"controller"), std::move(targets),
                                      w.GetFloatAttributeOr(L"time", kDefaultChangeTime),
                                      w.GetCurveAttribute(), properties.mDirty,
                                      w.GetFloatAttribute(L"timer")));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Propel(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    std::vector<float> velocities = Amplitudes(w, L"velocity", properties.mValues.size());
    const float rate = PositiveOr(w.GetFloatAttributeOr(L"curve_speed", kDefaultPushRate), kDefaultPushRate);
    const float timer = w.GetFloatAttribute(L"timer");
    const std::wstring name = w.GetStringAttribute(L"controller");
    if (c.HasAttribute(L"end")) {
        std::vector<ScriptValue> ends = w.ReadListAttribute(L"end", true);
        std::vector<TerminalPropeller::Target> targets;
        for (size_t i = 0; i < properties.mValues.size(); ++i)
            if (properties.mValues[i])
                targets.push_back({properties.mValues[i], velocities[i], Entry(ends, i, 0.0f)});
        target->AddController(new TerminalPropeller(w.GetCurveAttribute(), target, name, rate, timer,
                                                    targets, w.GetBoolAttribute(L"snap"),
                                                    properties.mDirty));
    } else {
        std::vector<Propeller::Target> targets;
        for (size_t i = 0; i < properties.mValues.size(); ++i)
            if (properties.mValues[i]) targets.push_back({properties.mValues[i], velocities[i]});
        target->AddController(new Propeller(w.GetCurveAttribute(), target, name, rate, timer,
                                            std::move(targets), properties.mDirty));
    }
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Bind(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    std::vector<ScriptValue> values = w.ReadListAttribute(L"value", false);
    std::vector<Binder::Target> targets;
    for (size_t i = 0; i < properties.mValues.size(); ++i)
        if (properties.mValues[i]) targets.push_back({properties.mValues[i], Word(values, i)});
    target->AddController(new Binder(target, w.GetStringAttribute(L"controller"), std::move(targets),
                                     properties.mDirty, w.GetVariables()));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopController(AnimationWidget& w, const AnimationCommand&,
                                          DynamicWidget* target) {
    target->StopController(w.GetStringAttribute(L"controller"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopControllers(AnimationWidget&, const AnimationCommand&,
                                           DynamicWidget* target) {
    target->StopAllControllers();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Oscillate(AnimationWidget& w, const AnimationCommand& c,
                                     DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    std::vector<float> amplitudes = Amplitudes(w, L"amplitude", properties.mValues.size());
    const bool timed = c.HasAttribute(L"timer");
    double phase = 0.0;
    if (timed) {
        phase = w.GetFloatAttribute(L"timer");
    } else {
        const std::wstring start = w.GetStringAttribute(L"start");
        if (start == L"top") phase = 0.25;
        if (start == L"bottom") phase = 0.75;
        if (start == L"random") phase = RandDouble(100.0);
    }
    const std::wstring curve = w.GetAttribute(L"curve");
    OscillatingCurve* wave;
    if (curve == L"zigzag") {
        wave = new ZigZagWave();
    } else if (curve == L"noise") {
        wave = new NoiseWave();
        if (!timed) phase = Rand(100);
    } else if (curve.empty() || curve == L"sine") {
        wave = new SineWave();
    } else {
        wave = new ExpressionWave(curve, w.GetVariables());
    }
    std::vector<PropertyOscillation::Target> targets;
    for (size_t i = 0; i < properties.mValues.size(); ++i)
        if (properties.mValues[i]) targets.push_back({properties.mValues[i], amplitudes[i]});
    const float period = PositiveOr(w.GetFloatAttributeOr(L"rate", kDefaultOscillationPeriod),
                                    kDefaultOscillationPeriod);
    target->AddOscillation(new PropertyOscillation(target, w.GetStringAttribute(L"oscillation"),
                                                   std::move(targets), phase, period, wave,
                                                   properties.mDirty));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopOscillation(AnimationWidget& w, const AnimationCommand&,
                                           DynamicWidget* target) {
    target->StopOscillation(w.GetStringAttribute(L"oscillation"), w.GetBoolAttributeOr(L"undo", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopOscillations(AnimationWidget& w, const AnimationCommand&,
                                            DynamicWidget* target) {
    target->StopAllOscillations(w.GetBoolAttributeOr(L"undo", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Clamp(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Properties properties = Resolve(w, c, *target);
    std::vector<ScriptValue> mins = w.ReadListAttribute(L"min", true);
    std::vector<ScriptValue> maxes = w.ReadListAttribute(L"max", true);
    std::vector<PropertyClamp::Target> targets;
    for (size_t i = 0; i < properties.mValues.size(); ++i)
        if (properties.mValues[i])
            targets.push_back({properties.mValues[i], Entry(mins, i, kNoLowerBound),
                               Entry(maxes, i, kNoUpperBound)});
    target->AddClamp(new PropertyClamp(target, w.GetStringAttribute(L"clamp"), std::move(targets),
                                       properties.mDirty));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopClamp(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->StopClamp(w.GetStringAttribute(L"clamp"), w.GetBoolAttributeOr(L"undo", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopClamps(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->StopAllClamps(w.GetBoolAttributeOr(L"undo", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Arc(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    float x = w.GetFloatAttributeOr(L"x", target->mX);
    float y = w.GetFloatAttributeOr(L"y", target->mY);
    const std::wstring align = w.GetStringAttribute(L"align");
    const std::wstring valign = w.GetStringAttribute(L"valign");
    if (align == L"right") x -= static_cast<float>(target->mWidth);
    if (align == L"center") x -= static_cast<float>(target->mWidth) / 2.0f;
    if (valign == L"bottom") y -= static_cast<float>(target->mHeight);
    if (valign == L"center") y -= static_cast<float>(target->mHeight) / 2.0f;
    x += w.GetFloatAttribute(L"dx");
    y += w.GetFloatAttribute(L"dy");
    target->ArcTo(static_cast<int>(x), static_cast<int>(y), static_cast<float>(w.GetIntAttribute(L"time")),
                  w.GetIntAttribute(L"max_dy"), w.GetIntAttribute(L"min_dy"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Circle(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->MoveInCircle(w.GetIntAttribute(L"x"), w.GetIntAttribute(L"y"), w.GetFloatAttribute(L"angle"),
                         w.GetFloatAttribute(L"time"), w.GetCurveAttribute(),
                         w.GetStringAttribute(L"controller"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Shear(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    const float halfWidth = static_cast<float>(target->mWidth) / 2.0f;
    const float halfHeight = static_cast<float>(target->mHeight) / 2.0f;
    auto offset = [&](const wchar_t* name, const wchar_t* wordName, const wchar_t* low,
                      const wchar_t* high, float half) {
        if (c.HasAttribute(name)) return w.GetFloatAttribute(name) - half;
        const std::wstring word = w.GetStringAttribute(wordName);
        if (word == low) return -half;
        if (word == high) return half;
        return 0.0f;
    };
    const float xOffset = offset(L"x_offset", L"align", L"left", L"right", halfWidth);
    const float yOffset = offset(L"y_offset", L"valign", L"top", L"bottom", halfHeight);
    target->StartShear(xOffset, yOffset, w.GetFloatAttributeOr(L"decay", 1.0f),
                       w.GetFloatAttribute(L"accel"), w.GetFloatAttributeOr(L"speed", -1.0f),
                       w.GetFloatAttributeOr(L"x", DynamicWidget::kKeepCoordinate),
                       w.GetFloatAttributeOr(L"y", DynamicWidget::kKeepCoordinate),
                       w.GetStringAttribute(L"controller"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::RotationAxis(AnimationWidget& w, const AnimationCommand&,
                                        DynamicWidget* target) {
    target->SetRotationAxis(w.GetFloatAttribute(L"x"), w.GetFloatAttribute(L"y"),
                            w.GetFloatAttribute(L"z"));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetCenter(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    constexpr float keep = DynamicWidget::kKeepCoordinate;
    target->SetCenter(w.GetFloatAttributeOr(L"x", keep), w.GetFloatAttributeOr(L"y", keep),
                      w.GetFloatAttributeOr(L"z", keep));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Flip(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->Flip(w.GetStringAttribute(L"dir") == L"vertical");
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Attach(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    DynamicWidget* parent = w.FindScriptObject(L"to");
    bool cycle = false;
    for (WidgetContainer* up = parent; up && !cycle; up = up->mParent) cycle = up == target;
    if (!parent || cycle || !target->mParent) {
        DebugPrintf("Script 'attach' at %s: %s; ignored\n", c.Where().c_str(),
                    !parent ? "'to' names no object"
                            : cycle ? "an object cannot go under itself" : "the object is in no tree");
        return ScriptStep::Next;
    }
    const FPoint from = target->mParent->LocalToScreenPoint(0.0f, 0.0f);
    const FPoint to = parent->LocalToScreenPoint(0.0f, 0.0f);
    // Under its new parent the object goes by the name "id" gives, which
    // need not be the one it had (an "id" naming a variable that holds it).
    const std::wstring name = w.GetStringAttribute(L"id");
    // A detach is a move: the script keeps the object and its run.
    target->DetachSelf();
    WeakHandle<WidgetContainer> layer = w.mCurrentLayer;
    w.SetCurrentLayer(parent);
    w.AddNamedObject(name, target);
    w.mCurrentLayer = layer;
    target->Move(target->mX + from.mX - to.mX, target->mY + from.mY - to.mY);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::ResizeTarget(AnimationWidget& w, const AnimationCommand&,
                                        DynamicWidget* target) {
    target->Resize(target->mX, target->mY, w.GetIntAttributeOr(L"width", target->mWidth),
                   w.GetIntAttributeOr(L"height", target->mHeight));
    target->MarkDirty();
    return ScriptStep::Next;
}
