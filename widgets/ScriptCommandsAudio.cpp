// Sound effects and music from scripts: one-shots through the sound player,
// loops through the owning menu's counts, music through the music interface.
#include "audio/SoundManager.h"
#include "audio/SoundPlayer.h"
#include "audio/TrackInterface.h"
#include "widgets/AnimationWidget.h"
#include "widgets/AppServices.h"
#include "widgets/Menu.h"
#include "widgets/ScriptCommands.h"

namespace {

SoundPlayer* Player() { return gAppServices ? gAppServices->GetSoundPlayer() : nullptr; }
SoundManager* Sounds() { return gAppServices ? gAppServices->GetSoundManager() : nullptr; }
TrackInterface* Music() { return gAppServices ? gAppServices->GetMusicInterface() : nullptr; }

// Music fades: 0.004 a step unless given; 0 or less changes at once.
double MusicFade(AnimationWidget& w) {
    const double fade = w.GetFloatAttributeOr(L"fade", 0.004f);
    return fade <= 0.0 ? 1.0 : fade;
}

// With "context" the tracks of that group, else every track.
template <typename Group, typename All>
ScriptStep OnGroupOrAll(AnimationWidget& w, Group group, All all) {
    if (TrackInterface* music = Music()) {
        if (w.HasAttribute(L"context"))
            group(*music, w.GetStringAttribute(L"context"));
        else
            all(*music);
    }
    return ScriptStep::Next;
}

}  // namespace

ScriptStep ScriptCommands::Sound(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const int id = w.GetSoundAttribute(L"name");
    if (SoundPlayer* player = Player(); player && id >= 0)
        player->PlaySound(id, w.GetIntAttributeOr(L"delay", 0), w.GetFloatAttributeOr(L"volume", 1.0f));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopSound(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const int id = w.GetSoundAttribute(L"name");
    if (SoundManager* sounds = Sounds(); sounds && id >= 0) sounds->StopSound(id);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopSounds(AnimationWidget&, const AnimationCommand&, DynamicWidget*) {
    if (SoundManager* sounds = Sounds()) sounds->StopAllSounds();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::PlayTrack(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const int id = w.GetTrackAttribute(L"name");
    TrackInterface* music = Music();
    if (!music || id < 0) return ScriptStep::Next;
    const double fade = MusicFade(w);
    if (w.GetBoolAttributeOr(L"sole", true)) music->FadeOutGroup(music->GetTrackGroup(id), true, fade);
    // A track already playing keeps its place and fades (back) in.
    music->FadeInTrack(id, music->IsTrackPlaying(id) ? -1 : 0, fade, w.GetBoolAttributeOr(L"loop", true));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopTrack(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const int id = w.GetTrackAttribute(L"name");
    if (TrackInterface* music = Music(); music && id >= 0) music->FadeOutTrack(id, true, MusicFade(w));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopTracks(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const double fade = MusicFade(w);
    return OnGroupOrAll(
        w, [fade](TrackInterface& m, const std::wstring& group) { m.FadeOutGroup(group, true, fade); },
        [fade](TrackInterface& m) { m.FadeOutAllTracks(true, fade); });
}

ScriptStep ScriptCommands::PauseTracks(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    return OnGroupOrAll(
        w, [](TrackInterface& m, const std::wstring& group) { m.PauseGroup(group); },
        [](TrackInterface& m) { m.PauseAllTracks(); });
}

ScriptStep ScriptCommands::ResumeTracks(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    return OnGroupOrAll(
        w, [](TrackInterface& m, const std::wstring& group) { m.ResumeGroup(group); },
        [](TrackInterface& m) { m.ResumeAllTracks(); });
}

ScriptStep ScriptCommands::StartSoundLoop(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    // Without an owning menu nothing would ever stop the loop: none starts.
    const int id = w.GetSoundAttribute(L"name");
    if (Menu* menu = w.mMenu; menu && id >= 0) {
        menu->PlaySound(id, w.GetFloatAttributeOr(L"fade", 0.0f));
        w.AddSoundLoop(id);
    }
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::StopSoundLoop(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    const int id = w.GetSoundAttribute(L"name");
    if (Menu* menu = w.mMenu; menu && id >= 0) {
        menu->StopSound(id, w.GetFloatAttributeOr(L"fade", 0.0f));
        w.RemoveSoundLoop(id);
    }
    return ScriptStep::Next;
}
