#pragma once
#include <string>

// A puzzle's short name: the set's number from 1 and the puzzle's letter
// from A, with "X" before bonus sets: set 2, puzzle 1 is "3-B" in the story
// and "X3-B" among the bonus sets. Puzzles past 'Z' go on with the
// characters after it.
std::wstring FormatPuzzleKey(bool bonus, int setIndex, int puzzleIndex);
