#pragma once

// The ways past the tutorial set (the story's first set). Each checks the
// player's progress first: a profile sized from a smaller catalogue, or no
// profile at all, is left as it is. None of them saves.

// The player is playing the tutorial set: story mode, current set 0.
bool IsInTutorial();
// Leaving the tutorial early: its two puzzles count as done, the puzzle after
// them and the next set's first are open, the story goes on in set 1.
void CountTutorialDone();
// Declining (or passing) the tutorial: its two puzzles completed, every
// puzzle of the first set open, the next set's first open, the story goes on
// in set 1.
void SkipTutorialSet();
