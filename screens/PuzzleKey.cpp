#include "screens/PuzzleKey.h"

#include "data/CheckedFormat.h"

std::wstring FormatPuzzleKey(bool bonus, int setIndex, int puzzleIndex) {
    return FormatChecked(L"%s%d-%c", {bonus ? L"X" : L"", setIndex + 1, static_cast<wchar_t>(L'A' + puzzleIndex)});
}
