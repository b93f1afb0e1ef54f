#pragma once
#include <string>
#include <string_view>

#include "data/Animation.h"
#include "data/ScriptValue.h"
#include "widgets/ScriptCommandRegistry.h"

class AnimationWidget;
class DynamicWidget;
struct LoopRecord;

// Limits that keep a faulty script from hanging or exhausting the game:
// frames deeper than this refuse further "call" and "load-after" commands
// (frames live on the heap, so the cap only bounds a runaway recursion's
// memory, under 1 MiB; a recursion that ends is never near it), and one
// RunScript runs at most this many commands before it yields to the next
// frame.
constexpr size_t kMaxScriptCallDepth = 50000;
constexpr int kScriptCommandBudget = 100000;

// The built-in commands. A class of its own so that the commands may use the
// script widget's object maps.
class ScriptCommands {
public:
    // Flow (ScriptCommandsFlow.cpp).
    static ScriptStep Loop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep For(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Break(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Continue(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep If(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Unless(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Call(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep LoadAfter(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Do(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Persist(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Stop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Signal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Print(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Breakpoint(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Starting further animations (ScriptCommandsSpawn.cpp).
    static ScriptStep Play(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Spawn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Overlay(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Variables in their three scopes (ScriptCommandsVariables.cpp).
    static ScriptStep Define(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Assign(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Undefine(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Unassign(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep DefineGlobal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AssignGlobal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UndefineGlobal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UnassignGlobal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep DefineIn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AssignIn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UndefineIn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UnassignIn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PlayIn(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Sound effects and music (ScriptCommandsAudio.cpp).
    static ScriptStep Sound(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopSound(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopSounds(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PlayTrack(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopTrack(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopTracks(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PauseTracks(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep ResumeTracks(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StartSoundLoop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopSoundLoop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Waiting (ScriptWait.cpp).
    static ScriptStep WaitFor(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Making objects (ScriptCommandsAdd.cpp).
    static ScriptStep Add(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AddButton(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AddLabel(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AddRect(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Tree, visibility, input and measuring (ScriptCommandsTree.cpp).
    static ScriptStep Remove(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep RemoveChildren(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Show(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Hide(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Enable(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Disable(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep AllowMouse(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UpdateFlag(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep MouseVisible(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep WhenDone(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Analyze(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Properties and motion (ScriptCommandsMotion.cpp).
    static ScriptStep Set(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Change(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Propel(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Bind(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopController(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopControllers(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Oscillate(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopOscillation(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopOscillations(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Clamp(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopClamp(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep StopClamps(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Arc(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Circle(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Shear(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep RotationAxis(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetCenter(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Flip(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Attach(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep ResizeTarget(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Frames, images, button and label settings (ScriptCommandsFrames.cpp).
    static ScriptStep Cycle(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetFrame(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Replace(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep ConfigButton(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep ConfigLabel(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    // "dir": 1 forward (any other word), -1 "back", 0 "both", 2 "random".
    static int CycleDirection(const std::wstring& word);

    // Drawing settings, masks, caching and hit testing (ScriptCommandsAppearance.cpp).
    static ScriptStep Blend(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Cull(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Tesselate(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep TileTexture(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Shader(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetShaderConstant(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Flash(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep CycleMask(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep FadeToFrame(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetMaskFrame(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep MaskRect(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Recursive(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetMask(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep ChildImage(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Cache(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep CheckPixels(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep UseHandCursor(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetDraggable(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetDragThrough(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep CrossFade(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Depth, layers, merging and points (ScriptCommandsLayers.cpp).
    static ScriptStep SetDepth(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep BringToFront(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep BringToBack(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Batch(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep BatchByDepth(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep SetLayer(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PushLayer(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PopLayer(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PutInFront(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep PutBehind(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Merge(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep GetPoint(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);
    static ScriptStep Pick(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target);

    // Attribute helpers over the command being run (the widget's evaluator).
    // An absent attribute evaluates as empty text.
    static ScriptValue Evaluate(AnimationWidget& w, const AnimationCommand& c,
                                std::wstring_view name);
    static ScriptValue Evaluate(AnimationWidget& w, const CommandAttribute& attribute);
    static std::wstring EvaluateText(AnimationWidget& w, const AnimationCommand& c,
                                     std::wstring_view name);
    static bool EvaluateBool(AnimationWidget& w, const AnimationCommand& c,
                             std::wstring_view name, bool fallback);
    // A script colour channel (0..1) as 0..255, truncated.
    static int Channel255(float value);
    // "enable" and "disable", each when present, set or clear `bit` in the
    // target's add mask and remove mask.
    static void ApplyFlagBit(AnimationWidget& w, DynamicWidget& target, int bit);
    // "put-in-front" and "put-behind" on the current layer.
    static ScriptStep PlaceInLayer(AnimationWidget& w, const AnimationCommand& c, bool inFront);
    // Skips the command's children: the walk goes on after the command.
    static ScriptStep SkipChildren(AnimationWidget& w);
    // The innermost loop whose body is still on the call stack (loops left
    // behind by a stopped or replaced script are dropped); null when none.
    static LoopRecord* ActiveLoop(AnimationWidget& w);
};
