#pragma once
#include <cstdint>
#include <string>

// Numbers as the script language writes them: digits ["." digits]
// [("e"|"E") ["+"|"-"] digits] or "." digits, always with '.' as the decimal
// point whatever the process locale.
struct ScriptNumber {
    bool mIsInt = true;   // no '.', no exponent, and within 32 bits
    int32_t mInt = 0;
    double mDouble = 0.0;
};

// Length of the number literal starting at `text` (0 when none starts there).
size_t ScanScriptNumber(const wchar_t* text, const wchar_t* end);
// Converts a literal found by ScanScriptNumber.
ScriptNumber ConvertScriptNumber(const wchar_t* text, size_t length);
// A whole string as a number: surrounding white space and one sign allowed.
bool ParseScriptNumber(const std::wstring& text, ScriptNumber& out);

// Float to int with truncation; NaN gives 0, out-of-range values saturate.
int32_t SaturatingFloatToInt(double value);
