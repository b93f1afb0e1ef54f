#pragma once
#include <string>

// The music interface of the application. An object of this base class is an
// inert interface: every operation does nothing (used when sound is off).
class TrackInterface {
public:
    virtual ~TrackInterface() = default;
    virtual bool LoadTrack(int id, const std::string& fileName, const std::wstring& group) { return false; }
    virtual void PlayTrack(int id, int startPosition, bool loop) {}
    virtual void StopTrack(int id) {}
    virtual void PauseTrack(int id) {}
    virtual void ResumeTrack(int id) {}
    virtual void StopAllTracks() {}
    virtual void UnloadTrack(int id) {}
    virtual void UnloadAllTracks() {}
    virtual void PauseAllTracks() {}
    virtual void ResumeAllTracks() {}
    virtual void PauseGroup(const std::wstring& group) {}
    virtual void ResumeGroup(const std::wstring& group) {}
    virtual std::wstring GetTrackGroup(int id) { return std::wstring(); }
    virtual void FadeInTrack(int id, int startPosition, double fadeSpeed, bool loop) {}
    virtual void FadeOutTrack(int id, bool stopWhenSilent, double fadeSpeed) {}
    virtual void FadeOutAllTracks(bool stopWhenSilent, double fadeSpeed) {}
    virtual void FadeOutGroup(const std::wstring& group, bool stopWhenSilent, double fadeSpeed) {}
    virtual bool IsTrackPlaying(int id) { return false; }
    virtual void SetMasterVolume(double volume) {}
    virtual void SetGroupVolume(const std::wstring& group, double volume) {}
    virtual double GetGroupVolume(const std::wstring& group) { return 0.0; }
    virtual void SetTrackAmplify(int id, double amplify) {}
    virtual void Update() {}
    // True while Update has work at every step (a fade runs): the main loop
    // then keeps its 10 ms pace even on a still screen.
    virtual bool IsFading() { return false; }
};
