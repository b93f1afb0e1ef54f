#include "data/ScriptValue.h"

#include <cstdio>

#include "data/ScriptOperators.h"
#include "data/ScriptNumber.h"

namespace {
const std::wstring kEmptyText;

std::wstring Widen(const char* text) {
    std::wstring out;
    for (const char* p = text; *p; ++p) out.push_back(static_cast<wchar_t>(*p));
    return out;
}
}  // namespace

struct ScriptValue::RefTarget {
    std::shared_ptr<HandleTarget*> mCell;
    std::wstring mProperty;
};

ScriptValue::ScriptValue(bool value) : mType(Bool), mBool(value) {}
ScriptValue::ScriptValue(int value) : mType(Int), mInt(value) {}
ScriptValue::ScriptValue(float value) : mType(Float), mFloat(value) {}
ScriptValue::ScriptValue(double value) : mType(Float), mFloat(static_cast<float>(value)) {}
ScriptValue::ScriptValue(const std::wstring& text)
    : mType(String), mShared(std::make_shared<const std::wstring>(text)) {}
ScriptValue::ScriptValue(std::wstring&& text)
    : mType(String), mShared(std::make_shared<const std::wstring>(std::move(text))) {}
ScriptValue::ScriptValue(const wchar_t* text)
    : mType(String), mShared(std::make_shared<const std::wstring>(text ? text : L"")) {}
ScriptValue::ScriptValue(const Color& color)
    : mType(Colour),
      mColor{color.mRed, color.mGreen, color.mBlue, color.mAlpha, color.mPremultiplied} {}
ScriptValue::ScriptValue(ScriptObject* object) : mType(Object) {
    if (object) mShared = static_cast<HandleTarget*>(object)->HandleCell();
}
ScriptValue::ScriptValue(Image* image) : mType(ImageRef), mImage(image) {}

ScriptValue ScriptValue::MakeRef(ScriptObject* object, const std::wstring& property) {
    ScriptValue value;
    value.mType = Ref;
    auto target = std::make_shared<RefTarget>();
    if (object) target->mCell = static_cast<HandleTarget*>(object)->HandleCell();
    target->mProperty = property;
    value.mShared = std::move(target);
    return value;
}

ScriptObject* ScriptValue::ObjectFromCell() const {
    // The cell holds the HandleTarget base of a ScriptObject (only
    // ScriptObjects are ever stored), or null once the object is deleted.
    if (!mShared) return nullptr;
    HandleTarget* target = nullptr;
    if (mType == Object) {
        target = *static_cast<HandleTarget* const*>(mShared.get());
    } else if (mType == Ref) {
        const auto& cell = static_cast<const RefTarget*>(mShared.get())->mCell;
        if (cell) target = *cell;
    }
    return static_cast<ScriptObject*>(target);
}

const std::wstring& ScriptValue::GetText() const {
    if (mType == String && mShared) return *static_cast<const std::wstring*>(mShared.get());
    if (mType == Ref && mShared) return static_cast<const RefTarget*>(mShared.get())->mProperty;
    return kEmptyText;
}

bool ScriptValue::ReadRef(float& out) const {
    if (mType != Ref) return false;
    ScriptObject* object = ObjectFromCell();
    if (!object) return false;
    return object->ReadFloatProperty(GetText(), out);
}

bool ScriptValue::WriteRef(float value) const {
    if (mType != Ref) return false;
    ScriptObject* object = ObjectFromCell();
    if (!object) return false;
    return object->WriteFloatProperty(GetText(), value);
}

ScriptObject* ScriptValue::GetObject() const { return mType == Object ? ObjectFromCell() : nullptr; }

Image* ScriptValue::GetImage() const { return mType == ImageRef ? mImage : nullptr; }

std::wstring ScriptValue::ToString() const {
    char buffer[64];
    switch (mType) {
        case Empty:
            return {};
        case Bool:
            return mBool ? L"true" : L"false";
        case Int:
            return std::to_wstring(mInt);
        case Float:
        case Ref: {
            double value = ToDouble();
            if (value == 0.0) value = 0.0;  // no "-0"
            std::snprintf(buffer, sizeof(buffer), "%g", value);
            return Widen(buffer);
        }
        case String:
            return GetText();
        case Colour:
            std::snprintf(buffer, sizeof(buffer), "%d,%d,%d,%d", mColor.mRed, mColor.mGreen,
                          mColor.mBlue, mColor.mAlpha);
            return Widen(buffer);
        case Object: {
            ScriptObject* object = ObjectFromCell();
            return object ? object->GetScriptName() : std::wstring();
        }
        case ImageRef:
            return {};
    }
    return {};
}

double ScriptValue::ToDouble() const {
    switch (mType) {
        case Bool:
            return mBool ? 1.0 : 0.0;
        case Int:
            return mInt;
        case Float:
            return mFloat;
        case Ref: {
            float value = 0.0f;
            return ReadRef(value) ? value : 0.0;
        }
        case String: {
            ScriptNumber number;
            if (!ParseScriptNumber(GetText(), number)) return 0.0;
            return number.mIsInt ? number.mInt : number.mDouble;
        }
        default:
            return 0.0;
    }
}

float ScriptValue::ToFloat() const {
    return mType == Float ? mFloat : static_cast<float>(ToDouble());
}

int ScriptValue::ToInt() const {
    switch (mType) {
        case Bool:
            return mBool ? 1 : 0;
        case Int:
            return mInt;
        case String: {
            ScriptNumber number;
            if (!ParseScriptNumber(GetText(), number)) return 0;
            return number.mIsInt ? number.mInt : SaturatingFloatToInt(number.mDouble);
        }
        case Colour:
            return static_cast<int>(ToColor().ToARGB());
        default:
            return SaturatingFloatToInt(ToDouble());
    }
}

bool ScriptValue::ToBool() const {
    switch (mType) {
        case Empty:
            return false;
        case Bool:
            return mBool;
        case Int:
            return mInt != 0;
        case Float:
            return mFloat != 0.0f;
        case Ref:
            return ToDouble() != 0.0;
        case String:
            return GetText() == L"true";
        case Colour:
            return true;
        case Object:
            return ObjectFromCell() != nullptr;
        case ImageRef:
            return mImage != nullptr;
    }
    return false;
}

namespace {
// "#RRGGBB", "#AARRGGBB" or "r,g,b[,a]" (the form ToString writes).
bool ParseColorText(const std::wstring& text, Color& out) {
    size_t start = text.find_first_not_of(L" \t\r\n");
    if (start == std::wstring::npos) return false;
    if (text[start] == L'#') {
        uint32_t value = 0;
        size_t digits = 0;
        for (size_t i = start + 1; i < text.size(); ++i) {
            wchar_t c = text[i];
            int nibble;
            if (c >= L'0' && c <= L'9') nibble = c - L'0';
            else if (c >= L'a' && c <= L'f') nibble = c - L'a' + 10;
            else if (c >= L'A' && c <= L'F') nibble = c - L'A' + 10;
            else if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n') break;
            else return false;
            value = (value << 4) | static_cast<uint32_t>(nibble);
            ++digits;
        }
        if (digits == 6) {
            out = Color::FromARGB(0xFF000000u | value);
            return true;
        }
        if (digits == 8) {
            out = Color((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF, value >> 24);
            return true;
        }
        return false;
    }
    int channels[4] = {0, 0, 0, 255};
    int count = 0;
    size_t pos = start;
    while (count < 4) {
        size_t comma = text.find(L',', pos);
        std::wstring part = text.substr(pos, comma == std::wstring::npos ? std::wstring::npos
                                                                          : comma - pos);
        ScriptNumber number;
        if (!ParseScriptNumber(part, number)) return false;
        int v = number.mIsInt ? number.mInt : SaturatingFloatToInt(number.mDouble);
        channels[count++] = v < 0 ? 0 : (v > 255 ? 255 : v);
        if (comma == std::wstring::npos) break;
        pos = comma + 1;
    }
    if (count < 3 || text.find(L',', pos) != std::wstring::npos) return false;
    out = Color(channels[0], channels[1], channels[2], channels[3]);
    return true;
}
}  // namespace

Color ScriptValue::ToColor() const {
    switch (mType) {
        case Colour: {
            Color color(mColor.mRed, mColor.mGreen, mColor.mBlue, mColor.mAlpha);
            color.mPremultiplied = mColor.mPremultiplied;
            return color;
        }
        case Int:
            return Color::FromARGB(static_cast<uint32_t>(mInt));
        case String: {
            Color color;
            if (ParseColorText(GetText(), color)) return color;
            return Color();
        }
        default:
            return Color();
    }
}

bool ScriptValue::operator==(const ScriptValue& other) const {
    return CompareScriptValues(ScriptCompareOp::Equal, *this, other);
}
