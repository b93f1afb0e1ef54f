#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "core/Color.h"
#include "core/WeakHandle.h"
#include "data/ScriptObject.h"

class Image;  // render/Image.h; images live until shutdown

// The tagged value of the script language. Numbers, bools, colours and
// images are held inline; text is shared and immutable, so copying any value
// never allocates. Objects are weak: once deleted they read as null. A Ref is
// a checked reference (object + property name) read live through the object.
class ScriptValue {
public:
    enum Type { Empty, Bool, Int, Float, String, Colour, Object, ImageRef, Ref };

    ScriptValue() = default;
    ScriptValue(bool value);            // NOLINT: implicit on purpose
    ScriptValue(int value);             // NOLINT
    ScriptValue(float value);           // NOLINT
    ScriptValue(double value);          // NOLINT: stored as a 32-bit float
    ScriptValue(const std::wstring& text);  // NOLINT
    ScriptValue(std::wstring&& text);   // NOLINT
    ScriptValue(const wchar_t* text);   // NOLINT: null gives an empty string
    ScriptValue(const Color& color);    // NOLINT
    ScriptValue(ScriptObject* object);  // NOLINT: null gives a null object
    ScriptValue(Image* image);          // NOLINT

    // A checked reference to a float property of an object. Reading it after
    // the object is gone gives false (and 0 through the conversions).
    static ScriptValue MakeRef(ScriptObject* object, const std::wstring& property);

    Type GetType() const { return mType; }
    bool IsEmpty() const { return mType == Empty; }
    // Bool, Int, Float and Ref take part in arithmetic as numbers.
    bool IsNumeric() const {
        return mType == Bool || mType == Int || mType == Float || mType == Ref;
    }

    // "%d" for ints, about "%g" for floats, "true"/"false", an object's
    // script name, "r,g,b,a" for a colour, "" for empty values and images.
    std::wstring ToString() const;
    int ToInt() const;
    float ToFloat() const;
    double ToDouble() const;
    // A string is true when it equals "true"; a number when it is not 0; an
    // object or image when it is still there.
    bool ToBool() const;
    Color ToColor() const;
    ScriptObject* GetObject() const;  // null unless an Object that still lives
    Image* GetImage() const;

    // The text of a String value (or the property name of a Ref) without a copy.
    const std::wstring& GetText() const;

    bool ReadRef(float& out) const;  // false when not a Ref or the object is gone
    bool WriteRef(float value) const;

    // Script equality: the same rule as the `==` operator of expressions.
    bool operator==(const ScriptValue& other) const;

private:
    struct RefTarget;
    // Color itself has a constructor, which a union member may not have.
    struct ColorChannels {
        int mRed, mGreen, mBlue, mAlpha;
        bool mPremultiplied;
    };
    ScriptObject* ObjectFromCell() const;

    Type mType = Empty;
    union {
        bool mBool;
        int32_t mInt = 0;
        float mFloat;
        Image* mImage;
        ColorChannels mColor;
    };
    // String: the std::wstring. Object: the object's handle cell, which reads
    // null once it is deleted. Ref: a RefTarget (cell and property name).
    std::shared_ptr<const void> mShared;
};

using VariableMap = std::map<std::wstring, ScriptValue>;
