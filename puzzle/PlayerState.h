#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "data/BasicPlayerState.h"

struct PuzzleProgress {
    bool mCompleted = false;
    int32_t mBestTime = 0;  // seconds; 0 = none yet
    bool mWithoutHints = false;
    bool mWithoutMistakes = false;
};

struct SetProgress {
    std::vector<PuzzleProgress> mPuzzles;  // catalogue order
    int32_t mUnlock = 0;                   // puzzles open; 0 = locked
    bool mIntroduced = false;
};

// One player's settings, flags, hint pool, play time, script globals and the
// progress of every puzzle, addressed by the catalogue's mode/set/puzzle indexes.
class PlayerState : public BasicPlayerState {
public:
    static constexpr int kModeCount = 2;

    // Sized from the catalogue of gGameId (load it first); the first story
    // set is open.
    PlayerState();
    PlayerState(const PlayerState&) = default;
    PlayerState& operator=(const PlayerState&) = default;
    ~PlayerState() override;

    // Makes this the current state: gCurrentPlayerState and gPlayerState.
    void MakeCurrent() override;

    // The text of one "state" element as profiles.xml holds it.
    std::string WriteXml() const;

    // Sets of the mode with at least one puzzle, all completed.
    int CountCompletedSets(int mode) const;
    // Completed puzzles of the set (0 for a set that does not exist).
    int CountCompletedPuzzles(int mode, int set) const;
    // The progress of a set; null for a mode or set the profile does not hold.
    SetProgress* FindSet(int mode, int set);
    const SetProgress* FindSet(int mode, int set) const;

    std::vector<SetProgress> mProgress[kModeCount];
    int32_t mCurrentCountry = 0;       // current story set (saved)
    std::wstring mProgressGameName;    // the game whose catalogue sized mProgress
    std::wstring mGameName;
    std::wstring mDevice;              // layout device, set by the application
    bool mMadeMistake = false;
    bool mSeenHint = false;
    bool mDisableTips = false;
    bool mToggleMode = false;
    bool mShowNumbers = true;
    bool mSeenTutorial = false;
    int32_t mCurrentMode = 0;          // not saved
    int32_t mNumHints = 0;
    int32_t mCurrentPuzzle = 0;        // not saved
    int32_t mCurrentTrack = 0;         // not saved
};

// The selected profile's state; null before a profile is selected.
extern PlayerState* gPlayerState;
