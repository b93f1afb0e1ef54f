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

    int32_t mStarted = 0;
    int32_t mHours = 0;
    int32_t mMinutes = 0;
    int32_t mCentiseconds = 0;
    VariableMap mVariables;
};

// Null before a profile is chosen.
extern BasicPlayerState* gCurrentPlayerState;
