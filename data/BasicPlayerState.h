#pragma once
#include <cstdint>
#include <string>

#include "data/ScriptValue.h"

// The part of a player profile the script language sees: play time and the
// map of the script's global variables.
class BasicPlayerState {
public:
    BasicPlayerState() = default;
    BasicPlayerState(const BasicPlayerState&) = default;
    BasicPlayerState& operator=(const BasicPlayerState&) = default;
    virtual ~BasicPlayerState();

    // Makes this the state whose variables are the scripts' globals.
    virtual void MakeCurrent();

    // started="%d" hours="%d" minutes="%d" centiseconds="%d"
    std::wstring FormatPlayTime() const;

    static constexpr int32_t kStepsPerMinute = 6000;  // update steps of 10 ms
    // Brings play time read from a file into range: centiseconds and minutes
    // below their carry, nothing negative.
    void ClampPlayTime();
    // One update step of play; the hours stop at the largest int32 instead
    // of overflowing.
    void AdvancePlayTime();

    int32_t mStarted = 0;
    int32_t mHours = 0;
    int32_t mMinutes = 0;
    int32_t mCentiseconds = 0;
    VariableMap mVariables;
};

// Null before a profile is chosen.
extern BasicPlayerState* gCurrentPlayerState;
