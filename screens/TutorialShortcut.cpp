#include "screens/TutorialShortcut.h"

#include <algorithm>

#include "puzzle/PlayerState.h"

namespace {

// The tutorial is the first set's first two puzzles. Our first set goes on
// after them with puzzles of its own, which the ways past the tutorial open
// but leave for the player to solve.
constexpr size_t kTutorialPuzzles = 2;

// Marks the tutorial's puzzles completed; returns how many the set has.
size_t CompleteTutorialPuzzles(SetProgress& tutorial) {
    const size_t done = std::min(kTutorialPuzzles, tutorial.mPuzzles.size());
    for (size_t i = 0; i < done; ++i) tutorial.mPuzzles[i].mCompleted = true;
    return done;
}

// The first two story sets, or null when the profile lacks them.
std::vector<SetProgress>* StorySets() {
    if (!gPlayerState || gPlayerState->mProgress[0].size() < 2) return nullptr;
    return &gPlayerState->mProgress[0];
}

void ContinueInSetOne(std::vector<SetProgress>& sets) {
    sets[1].mUnlock = std::max<int32_t>(sets[1].mUnlock, 1);
    gPlayerState->mCurrentCountry = 1;
    gPlayerState->mCurrentMode = 0;
}

}  // namespace

bool IsInTutorial() { return gPlayerState && gPlayerState->mCurrentMode == 0 && gPlayerState->mCurrentCountry == 0; }

void CountTutorialDone() {
    std::vector<SetProgress>* sets = StorySets();
    if (!sets) return;
    SetProgress& tutorial = (*sets)[0];
    const size_t done = CompleteTutorialPuzzles(tutorial);
    // The puzzle after the tutorial opens with it (a set of the tutorial alone
    // is then wholly open); two open puzzles would leave the player nothing new.
    const size_t open = std::min(done + 1, tutorial.mPuzzles.size());
    tutorial.mUnlock = std::max<int32_t>(tutorial.mUnlock, static_cast<int32_t>(open));
    ContinueInSetOne(*sets);
}

void SkipTutorialSet() {
    std::vector<SetProgress>* sets = StorySets();
    if (!sets) return;
    SetProgress& tutorial = (*sets)[0];
    CompleteTutorialPuzzles(tutorial);
    tutorial.mUnlock = static_cast<int32_t>(tutorial.mPuzzles.size());
    ContinueInSetOne(*sets);
}
