#include "data/ScriptOperators.h"

#include <cmath>
#include <cstdint>

#include "data/ScriptNumber.h"

namespace {
// A value as an operand of arithmetic.
struct Operand {
    bool mIsFloat = false;
    int32_t mInt = 0;
    double mDouble = 0.0;
};

Operand ToOperand(const ScriptValue& value) {
    Operand operand;
    switch (value.GetType()) {
        case ScriptValue::Bool:
        case ScriptValue::Int:
            operand.mInt = value.ToInt();
            operand.mDouble = operand.mInt;
            break;
        case ScriptValue::Float:
        case ScriptValue::Ref:
            operand.mIsFloat = true;
            operand.mDouble = value.ToDouble();
            break;
        case ScriptValue::String: {
            ScriptNumber number;
            if (ParseScriptNumber(value.GetText(), number)) {
                operand.mIsFloat = !number.mIsInt;
                operand.mInt = number.mInt;
                operand.mDouble = number.mIsInt ? number.mInt : number.mDouble;
            }
            break;
        }
        default:
            break;
    }
    return operand;
}

uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }
int32_t S(uint32_t v) { return static_cast<int32_t>(v); }

ScriptValue IntArithmetic(ScriptArithmeticOp op, int32_t a, int32_t b) {
    switch (op) {
        case ScriptArithmeticOp::Add:
            return S(U(a) + U(b));
        case ScriptArithmeticOp::Subtract:
            return S(U(a) - U(b));
        case ScriptArithmeticOp::Multiply:
            return S(U(a) * U(b));
        case ScriptArithmeticOp::Divide:
            if (b == 0) return 0;
            if (b == -1) return S(0u - U(a));  // INT_MIN / -1 wraps
            return a / b;
        case ScriptArithmeticOp::Modulo:
            if (b == 0 || b == -1) return 0;
            return a % b;
    }
    return 0;
}

ScriptValue FloatArithmetic(ScriptArithmeticOp op, double a, double b) {
    // Computed in 32-bit floats, as the values are held.
    float x = static_cast<float>(a);
    float y = static_cast<float>(b);
    switch (op) {
        case ScriptArithmeticOp::Add:
            return x + y;
        case ScriptArithmeticOp::Subtract:
            return x - y;
        case ScriptArithmeticOp::Multiply:
            return x * y;
        case ScriptArithmeticOp::Divide:
            return y == 0.0f ? 0.0f : x / y;
        case ScriptArithmeticOp::Modulo:
            return y == 0.0f ? 0.0f : std::fmod(x, y);
    }
    return 0.0f;
}

// -1, 0 or 1 for ordered values; kUnordered where only (in)equality applies.
constexpr int kUnordered = 2;

template <class T>
int Order(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int OrderNumbers(const ScriptValue& a, const ScriptValue& b) {
    if (a.GetType() != ScriptValue::Float && a.GetType() != ScriptValue::Ref &&
        b.GetType() != ScriptValue::Float && b.GetType() != ScriptValue::Ref)
        return Order(a.ToInt(), b.ToInt());
    double x = a.ToDouble();
    double y = b.ToDouble();
    if (std::isnan(x) || std::isnan(y)) return kUnordered;
    return Order(x, y);
}

int OrderText(const ScriptValue& a, const ScriptValue& b) {
    // Strings are compared in place; other kinds through their text form.
    if (a.GetType() == ScriptValue::String && b.GetType() == ScriptValue::String) {
        int c = a.GetText().compare(b.GetText());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    int c = a.ToString().compare(b.ToString());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int OrderValues(const ScriptValue& a, const ScriptValue& b) {
    ScriptValue::Type ta = a.GetType();
    ScriptValue::Type tb = b.GetType();
    if (ta == ScriptValue::Object || tb == ScriptValue::Object) {
        if (ta == tb) return a.GetObject() == b.GetObject() ? 0 : kUnordered;
        // A dead or null object equals the empty value; against anything
        // else it counts as its name.
        const ScriptValue& object = ta == ScriptValue::Object ? a : b;
        const ScriptValue& other = ta == ScriptValue::Object ? b : a;
        if (other.IsEmpty()) return object.GetObject() ? kUnordered : 0;
        return OrderText(a, b);
    }
    if (ta == ScriptValue::ImageRef || tb == ScriptValue::ImageRef) {
        if (ta == tb) return a.GetImage() == b.GetImage() ? 0 : kUnordered;
        const ScriptValue& image = ta == ScriptValue::ImageRef ? a : b;
        const ScriptValue& other = ta == ScriptValue::ImageRef ? b : a;
        if (other.IsEmpty()) return image.GetImage() ? kUnordered : 0;
        return kUnordered;
    }
    if (ta == ScriptValue::Colour && tb == ScriptValue::Colour)
        return a.ToColor() == b.ToColor() ? 0 : Order(a.ToColor().ToARGB(), b.ToColor().ToARGB());
    bool numA = a.IsNumeric() || ta == ScriptValue::Empty;
    bool numB = b.IsNumeric() || tb == ScriptValue::Empty;
    if (ta == ScriptValue::Empty && tb == ScriptValue::Empty) return 0;
    if (numA && numB) return OrderNumbers(a, b);
    if (ta == ScriptValue::String && tb == ScriptValue::String) return OrderText(a, b);
    // A string against a number: numerically when the string spells one.
    if ((ta == ScriptValue::String && b.IsNumeric()) || (tb == ScriptValue::String && a.IsNumeric())) {
        const ScriptValue& text = ta == ScriptValue::String ? a : b;
        ScriptNumber number;
        if (ParseScriptNumber(text.GetText(), number)) {
            ScriptValue parsed = number.mIsInt ? ScriptValue(number.mInt)
                                               : ScriptValue(number.mDouble);
            if (!number.mIsInt) {
                // Compare in double so that "0.1" against 0.1 is exact.
                double x = ta == ScriptValue::String ? number.mDouble : a.ToDouble();
                double y = tb == ScriptValue::String ? number.mDouble : b.ToDouble();
                if (std::isnan(x) || std::isnan(y)) return kUnordered;
                return Order(x, y);
            }
            return ta == ScriptValue::String ? OrderNumbers(parsed, b) : OrderNumbers(a, parsed);
        }
    }
    return OrderText(a, b);
}
}  // namespace

ScriptValue ApplyScriptArithmetic(ScriptArithmeticOp op, const ScriptValue& a,
                                  const ScriptValue& b) {
    // The common case first: two ints.
    if (a.GetType() == ScriptValue::Int && b.GetType() == ScriptValue::Int)
        return IntArithmetic(op, a.ToInt(), b.ToInt());
    if (op == ScriptArithmeticOp::Add &&
        (a.GetType() == ScriptValue::String || b.GetType() == ScriptValue::String))
        return ScriptValue(a.ToString() + b.ToString());
    Operand x = ToOperand(a);
    Operand y = ToOperand(b);
    if (x.mIsFloat || y.mIsFloat) return FloatArithmetic(op, x.mDouble, y.mDouble);
    return IntArithmetic(op, x.mInt, y.mInt);
}

ScriptValue NegateScriptValue(const ScriptValue& value) {
    Operand x = ToOperand(value);
    if (x.mIsFloat) return -static_cast<float>(x.mDouble);
    return S(0u - U(x.mInt));
}

ScriptValue ScriptValueAsNumber(const ScriptValue& value) {
    Operand x = ToOperand(value);
    if (x.mIsFloat) return static_cast<float>(x.mDouble);
    return x.mInt;
}

bool CompareScriptValues(ScriptCompareOp op, const ScriptValue& a, const ScriptValue& b) {
    int order = OrderValues(a, b);
    switch (op) {
        case ScriptCompareOp::Equal:
            return order == 0;
        case ScriptCompareOp::NotEqual:
            return order != 0;
        case ScriptCompareOp::Less:
            return order == -1;
        case ScriptCompareOp::LessEqual:
            return order == -1 || order == 0;
        case ScriptCompareOp::Greater:
            return order == 1;
        case ScriptCompareOp::GreaterEqual:
            return order == 1 || order == 0;
    }
    return false;
}
