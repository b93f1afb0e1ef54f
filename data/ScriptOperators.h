#pragma once
#include "data/ScriptValue.h"

// The operators of the expression language on values.
//  - Int with Int (bools count as 0/1) stays Int and wraps at 32 bits; a
//    Float or Ref operand gives Float. A string operand counts as the number
//    it spells (0 when it spells none).
//  - `/` and `%` by zero give 0.
//  - `+` with a String on either side concatenates the text forms.
enum class ScriptArithmeticOp { Add, Subtract, Multiply, Divide, Modulo };
ScriptValue ApplyScriptArithmetic(ScriptArithmeticOp op, const ScriptValue& a,
                                  const ScriptValue& b);
ScriptValue NegateScriptValue(const ScriptValue& value);
// Unary plus: the value as a number.
ScriptValue ScriptValueAsNumber(const ScriptValue& value);

// Comparison: numbers numerically; strings exactly (case-sensitive, code
// point order); a string against a number numerically when the string spells
// a number, else as text; objects by identity (ordering them is false);
// anything else by its text form.
enum class ScriptCompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };
bool CompareScriptValues(ScriptCompareOp op, const ScriptValue& a, const ScriptValue& b);
