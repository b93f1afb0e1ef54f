#include "screens/TutorialShortcut.h"

#include <algorithm>

#include "puzzle/PlayerState.h"

namespace {

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
    const size_t done = std::min<size_t>(2, tutorial.mPuzzles.size());
    for (size_t i = 0; i < done; ++i) tutorial.mPuzzles[i].mCompleted = true;
    tutorial.mUnlock = std::max<int32_t>(tutorial.mUnlock, static_cast<int32_t>(done));
    ContinueInSetOne(*sets);
}

void SkipTutorialSet() {
    std::vector<SetProgress>* sets = StorySets();
    if (!sets) return;
    SetProgress& tutorial = (*sets)[0];
    for (PuzzleProgress& puzzle : tutorial.mPuzzles) puzzle.mCompleted = true;
    tutorial.mUnlock = static_cast<int32_t>(tutorial.mPuzzles.size());
    ContinueInSetOne(*sets);
}
