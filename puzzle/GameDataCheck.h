#pragma once
#include <string>

// What the screens take for granted of the loaded catalogues: our game has
// puzzles and sets, at least one story set, the same number of sets per mode in
// the puzzle catalogue and the set catalogue, between one puzzle and a page of
// them (kPuzzlesPerPage) in every set, and grid rules with mistakes and
// hints for every grid size the puzzles use. False with a message naming the
// file to fix; the loading steps show it and end the program cleanly.
bool CheckGameData(std::string& message);
