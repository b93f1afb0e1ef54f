#include "widgets/ScriptCommandRegistry.h"

#include "core/Log.h"
#include "core/NearestName.h"
#include "core/StringUtil.h"
#include "data/AnimationStats.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"
#include "widgets/ScriptPropertyNames.h"

namespace {

bool CheckLoadedCommand(AnimationCommand& command, std::string& error) {
    return ScriptCommandRegistry::Instance().CheckLoaded(command, error);
}

}  // namespace

ScriptCommandRegistry& ScriptCommandRegistry::Instance() {
    static ScriptCommandRegistry* registry = new ScriptCommandRegistry();
    return *registry;
}

ScriptCommandRegistry::ScriptCommandRegistry() {
    using S = ScriptCommands;
    auto always = [&](const wchar_t* name, ScriptCommandHandler handler) {
        AddBuiltIn(name, ScriptCommandGroup::Always, handler);
    };
    auto targeted = [&](const wchar_t* name, ScriptCommandHandler handler) {
        AddBuiltIn(name, ScriptCommandGroup::Targeted, handler);
    };
    auto untargeted = [&](const wchar_t* name, ScriptCommandHandler handler) {
        AddBuiltIn(name, ScriptCommandGroup::Untargeted, handler);
    };

    always(L"wait-for", &S::WaitFor);
    always(L"persist", &S::Persist);
    always(L"stop", &S::Stop);  // without "id" only
    always(L"play", &S::Play);
    always(L"spawn", &S::Spawn);
    always(L"overlay", &S::Overlay);
    always(L"call", &S::Call);
    always(L"load-after", &S::LoadAfter);
    always(L"define", &S::Define);
    always(L"define-global", &S::DefineGlobal);
    always(L"assign", &S::Assign);
    always(L"assign-global", &S::AssignGlobal);

    targeted(L"define-in", &S::DefineIn);
    targeted(L"undefine-in", &S::UndefineIn);
    targeted(L"unassign-in", &S::UnassignIn);
    targeted(L"assign-in", &S::AssignIn);
    targeted(L"play-in", &S::PlayIn);

    always(L"add", &S::Add);
    always(L"add-button", &S::AddButton);
    always(L"add-label", &S::AddLabel);
    always(L"add-rect", &S::AddRect);

    targeted(L"remove", &S::Remove);
    targeted(L"remove-children", &S::RemoveChildren);
    targeted(L"show", &S::Show);
    targeted(L"hide", &S::Hide);
    targeted(L"enable", &S::Enable);
    targeted(L"disable", &S::Disable);
    targeted(L"allow-mouse", &S::AllowMouse);
    targeted(L"update", &S::UpdateFlag);
    targeted(L"mouse-visible", &S::MouseVisible);
    targeted(L"when-done", &S::WhenDone);
    targeted(L"set", &S::Set);
    targeted(L"change", &S::Change);
    targeted(L"propel", &S::Propel);
    targeted(L"bind", &S::Bind);
    targeted(L"stop-controller", &S::StopController);
    targeted(L"stop", &S::StopControllers);
    targeted(L"oscillate", &S::Oscillate);
    targeted(L"stop-oscillation", &S::StopOscillation);
    targeted(L"stop-oscillations", &S::StopOscillations);
    targeted(L"clamp", &S::Clamp);
    targeted(L"stop-clamp", &S::StopClamp);
    targeted(L"stop-clamps", &S::StopClamps);
    targeted(L"arc", &S::Arc);
    targeted(L"circle", &S::Circle);
    targeted(L"shear", &S::Shear);
    targeted(L"rotation-axis", &S::RotationAxis);
    targeted(L"set-center", &S::SetCenter);
    targeted(L"flip", &S::Flip);
    targeted(L"attach", &S::Attach);
    targeted(L"resize", &S::ResizeTarget);
    targeted(L"cycle", &S::Cycle);
    targeted(L"set-frame", &S::SetFrame);
    targeted(L"replace", &S::Replace);
    targeted(L"config-button", &S::ConfigButton);
    targeted(L"config-label", &S::ConfigLabel);
    targeted(L"blend", &S::Blend);
    targeted(L"cull", &S::Cull);
    targeted(L"tesselate", &S::Tesselate);
    targeted(L"tile-texture", &S::TileTexture);
    targeted(L"shader", &S::Shader);
    targeted(L"set-shader-constant", &S::SetShaderConstant);
    targeted(L"flash", &S::Flash);
    targeted(L"cycle-mask", &S::CycleMask);
    targeted(L"fade-to-frame", &S::FadeToFrame);
    targeted(L"set-mask-frame", &S::SetMaskFrame);
    targeted(L"mask-rect", &S::MaskRect);
    targeted(L"recursive", &S::Recursive);
    targeted(L"set-mask", &S::SetMask);
    targeted(L"child-image", &S::ChildImage);
    targeted(L"cache", &S::Cache);
    targeted(L"check-pixels", &S::CheckPixels);
    targeted(L"use-hand-cursor", &S::UseHandCursor);
    targeted(L"set-draggable", &S::SetDraggable);
    targeted(L"set-drag-through", &S::SetDragThrough);
    targeted(L"crossfade", &S::CrossFade);
    targeted(L"set-depth", &S::SetDepth);
    targeted(L"bring-to-front", &S::BringToFront);
    targeted(L"bring-to-back", &S::BringToBack);
    targeted(L"batch", &S::Batch);
    targeted(L"batch-by-depth", &S::BatchByDepth);
    targeted(L"set-layer", &S::SetLayer);
    targeted(L"merge", &S::Merge);
    targeted(L"get-point", &S::GetPoint);
    targeted(L"pick", &S::Pick);

    // "notice-menu" registers with NoticeMenu (NoticeMenu::RegisterScriptCommand).
    untargeted(L"analyze", &S::Analyze);
    untargeted(L"push-layer", &S::PushLayer);
    untargeted(L"pop-layer", &S::PopLayer);
    untargeted(L"put-in-front", &S::PutInFront);
    untargeted(L"put-behind", &S::PutBehind);
    untargeted(L"do", &S::Do);
    untargeted(L"loop", &S::Loop);
    untargeted(L"for", &S::For);
    untargeted(L"break", &S::Break);
    untargeted(L"continue", &S::Continue);
    untargeted(L"if", &S::If);
    untargeted(L"unless", &S::Unless);
    untargeted(L"print", &S::Print);
    // Sound and music only without an object: a record whose "id" names one
    // is not theirs.
    untargeted(L"sound", &S::Sound);
    untargeted(L"stop-sound", &S::StopSound);
    untargeted(L"stop-sounds", &S::StopSounds);
    untargeted(L"play-track", &S::PlayTrack);
    untargeted(L"stop-track", &S::StopTrack);
    untargeted(L"stop-tracks", &S::StopTracks);
    untargeted(L"pause-tracks", &S::PauseTracks);
    untargeted(L"resume-tracks", &S::ResumeTracks);
    untargeted(L"start-soundloop", &S::StartSoundLoop);
    untargeted(L"stop-soundloop", &S::StopSoundLoop);
    untargeted(L"undefine", &S::Undefine);
    untargeted(L"unassign", &S::Unassign);
    untargeted(L"undefine-global", &S::UndefineGlobal);
    untargeted(L"unassign-global", &S::UnassignGlobal);
    untargeted(L"signal", &S::Signal);
    untargeted(L"breakpoint", &S::Breakpoint);

    // Their "property" lists name properties of the target, resolved at load.
    for (const wchar_t* name : {L"set", L"change", L"propel", L"bind", L"oscillate", L"clamp"})
        mEntries.at(name).mNamesProperties = true;

    // From now on the loader checks every record it reads against this table.
    AnimationStats::SetCommandCheck(&CheckLoadedCommand);
}

// --- Registration ------------------------------------------------------------------

ScriptCommandRegistry::Entry& ScriptCommandRegistry::Add(const std::wstring& name) {
    Entry& entry = mEntries[name];
    if (entry.mSlot < 0) {
        entry.mSlot = static_cast<int>(mSlots.size());
        mSlots.push_back(&entry);
    }
    return entry;
}

void ScriptCommandRegistry::AddBuiltIn(const std::wstring& name, ScriptCommandGroup group,
                                       ScriptCommandHandler handler) {
    Entry& entry = Add(name);
    switch (group) {
        case ScriptCommandGroup::Always:
            entry.mAlways = handler;
            break;
        case ScriptCommandGroup::Targeted:
            entry.mTargeted = handler;
            break;
        case ScriptCommandGroup::Untargeted:
            entry.mUntargeted = handler;
            break;
    }
}

void ScriptCommandRegistry::AddClassCommand(const std::wstring& name, ClassTest test,
                                            ScriptCommandHandler handler) {
    std::vector<ClassHandler>& classes = Add(name).mClasses;
    for (ClassHandler& known : classes) {
        if (known.mTest != test) continue;
        known.mHandler = handler;
        return;
    }
    classes.push_back(ClassHandler{test, handler});
}

void ScriptCommandRegistry::AddGameCommand(const std::wstring& name, ScriptCommandHandler handler) {
    Add(name).mGame = handler;
}

// --- Running -----------------------------------------------------------------------

const ScriptCommandRegistry::Entry* ScriptCommandRegistry::Find(const std::wstring& name) const {
    auto it = mEntries.find(name);
    return it == mEntries.end() ? nullptr : &it->second;
}

const ScriptCommandRegistry::Entry* ScriptCommandRegistry::Find(const AnimationCommand& command) const {
    // Slots only grow and keep their name, so a slot found at load still holds.
    if (command.mHandlerSlot >= 0 && static_cast<size_t>(command.mHandlerSlot) < mSlots.size())
        return mSlots[static_cast<size_t>(command.mHandlerSlot)];
    return Find(command.mName);
}

ScriptStep ScriptCommandRegistry::Run(AnimationWidget& widget,
                                      const AnimationCommand& command) const {
    const Entry* entry = Find(command);
    if (!entry) {
        // The loader has named it already; only records built otherwise are left.
        if (!command.mUnknownAtLoad) ReportUnknown(command);
        return ScriptStep::Next;
    }
    ScriptStep step = RunClassCommand(*entry, widget, command);
    if (step != ScriptStep::NotMine) return step;
    if (entry->mGame) {
        step = entry->mGame(widget, command, nullptr);
        if (step != ScriptStep::NotMine) return step;
    }
    step = RunBuiltIn(*entry, widget, command);
    return step == ScriptStep::NotMine ? ScriptStep::Next : step;
}

ScriptStep ScriptCommandRegistry::RunClassCommand(AnimationWidget& widget,
                                                  const AnimationCommand& command) const {
    const Entry* entry = Find(command);
    return entry ? RunClassCommand(*entry, widget, command) : ScriptStep::NotMine;
}

ScriptStep ScriptCommandRegistry::RunGameCommand(AnimationWidget& widget,
                                                 const AnimationCommand& command) const {
    const Entry* entry = Find(command);
    if (!entry || !entry->mGame) return ScriptStep::NotMine;
    return entry->mGame(widget, command, nullptr);
}

ScriptStep ScriptCommandRegistry::RunBuiltIn(AnimationWidget& widget,
                                             const AnimationCommand& command) const {
    const Entry* entry = Find(command);
    return entry ? RunBuiltIn(*entry, widget, command) : ScriptStep::NotMine;
}

ScriptStep ScriptCommandRegistry::RunClassCommand(const Entry& entry, AnimationWidget& widget,
                                                  const AnimationCommand& command) const {
    for (const ClassHandler& handler : entry.mClasses) {
        if (!handler.mTest(widget)) continue;
        ScriptStep step = handler.mHandler(widget, command, nullptr);
        if (step != ScriptStep::NotMine) return step;
    }
    return ScriptStep::NotMine;
}

// Group 1 first, then group 2 when "id" names an object, else group 3. A
// targeted command without a target is skipped, as the built-ins say.
ScriptStep ScriptCommandRegistry::RunBuiltIn(const Entry& entry, AnimationWidget& widget,
                                             const AnimationCommand& command) const {
    if (entry.mAlways) {
        ScriptStep step = entry.mAlways(widget, command, nullptr);
        if (step != ScriptStep::NotMine) return step;
    }
    if (!entry.mTargeted && !entry.mUntargeted) return ScriptStep::NotMine;
    DynamicWidget* target = command.HasAttribute(L"id") ? widget.FindScriptObject(L"id") : nullptr;
    ScriptCommandHandler handler = target ? entry.mTargeted : entry.mUntargeted;
    return handler ? handler(widget, command, target) : ScriptStep::NotMine;
}

// --- Unknown names -----------------------------------------------------------------

bool ScriptCommandRegistry::CheckLoaded(AnimationCommand& command, std::string& error) const {
    const Entry* entry = Find(command.mName);
    command.mHandlerSlot = entry ? entry->mSlot : -1;
    command.mUnknownAtLoad = !entry;
    if (!entry) {
        ReportUnknown(command);
        return true;
    }
    if (!entry->mNamesProperties) return true;
    return ScriptPropertyNames::Resolve(command, command.mPropertySlots, error);
}

void ScriptCommandRegistry::ReportUnknown(const AnimationCommand& command) const {
    {
        std::lock_guard<std::mutex> lock(mReportedLock);
        if (!mReported.insert(command.mName).second) return;
    }
    std::wstring closest = ClosestName(command.mName);
    std::string hint = closest.empty() ? std::string() : " (did you mean '" + WStringToString(closest) + "'?)";
    DebugPrintf("Unknown script command '%s' at %s does nothing%s\n",
                WStringToString(command.mName).c_str(), command.Where().c_str(), hint.c_str());
}

std::wstring ScriptCommandRegistry::ClosestName(const std::wstring& name) const {
    NearestName nearest(name);
    for (const auto& [known, entry] : mEntries) nearest.Offer(known);
    return nearest.Get();
}
