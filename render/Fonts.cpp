#include "render/Fonts.h"

#include "core/Log.h"
#include "core/StringUtil.h"
#include "render/FontFace.h"
#include "render/SysFont.h"

bool ParseColorText(const std::wstring& raw, Color& out) {
    std::wstring text = Trim(raw);
    if (text.empty()) return false;
    if (text[0] == L'#') {
        std::wstring hex = text.substr(1);
        if (hex.size() != 6 && hex.size() != 8) return false;
        uint32_t value = 0;
        for (wchar_t c : hex) {
            int digit = c >= L'0' && c <= L'9'   ? c - L'0'
                        : c >= L'a' && c <= L'f' ? c - L'a' + 10
                        : c >= L'A' && c <= L'F' ? c - L'A' + 10
                                                 : -1;
            if (digit < 0) return false;
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
        int alpha = hex.size() == 8 ? static_cast<int>(value >> 24) : 255;
        out = Color(static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                    static_cast<int>(value & 0xFF), alpha);
        return true;
    }
    std::vector<std::wstring> parts = SplitString(text, L',');
    if (parts.size() != 3 && parts.size() != 4) return false;
    int channels[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!StringToInt(Trim(parts[i]), channels[i]) || channels[i] < 0 || channels[i] > 255)
            return false;
    }
    out = Color(channels[0], channels[1], channels[2], channels[3]);
    return true;
}

bool Fonts::LoadFontsFile(const std::string& path, std::string* error) {
    Fonts loader;
    if (!loader.Load(path)) {
        if (error) *error = loader.GetErrorText();
        DebugPrintf("%s\n", loader.GetErrorText().c_str());
        return false;
    }
    gFontMap.Publish(loader.TakeFonts());
    return true;
}

bool Fonts::Load(const std::string& path) {
    mFonts.clear();
    mInFont = false;
    return LoadFile(path);
}

bool Fonts::ReadColor(const std::wstring& attribute, Color& out) {
    if (!HasAttribute(attribute)) return true;
    if (ParseColorText(GetAttribute(attribute), out)) return true;
    SetError("bad colour " + QuoteValue(GetAttribute(attribute)));
    return false;
}

bool Fonts::OnElementStart(const XMLElement& element) {
    const std::wstring& tag = element.mName;
    if (tag == L"fonts") return true;
    if (tag == L"font" || tag == L"sysfont") {
        if (mInFont) {
            SetError("a font inside a font");
            return false;
        }
        mName = GetAttribute(L"name");
        if (mName.empty()) {
            SetError("a font without a name");
            return false;
        }
        mSize = GetIntAttribute(L"size");
        mStyle = FontStyle();
        if (!ReadColor(L"color", mStyle.mColor)) return false;
        mStyle.mSpacing = GetIntAttribute(L"spacing");
        mStyle.mLineSpacing = GetIntAttribute(L"line_spacing");
        mSystem = tag == L"sysfont";
        if (mSystem) {
            mFamily = mFace = WStringToString(GetAttribute(L"family"));
            mBold = GetBoolAttribute(L"bold");
            mItalic = GetBoolAttribute(L"italic");
        } else {
            mFace = WStringToString(GetAttribute(HasAttribute(L"file") ? L"file" : L"face"));
        }
        if (mFace.empty()) {
            SetError("font " + QuoteValue(mName) + " names no face");
            return false;
        }
        mInFont = true;
        return true;
    }
    if (tag == L"outline" || tag == L"shadow") {
        if (!mInFont) {
            SetError("<" + WStringToString(tag) + "> outside a font");
            return false;
        }
        if (tag == L"outline") {
            mStyle.mOutlineWidth = HasAttribute(L"width") ? GetIntAttribute(L"width") : 1;
            return ReadColor(L"color", mStyle.mOutlineColor);
        }
        mStyle.mShadow = true;
        mStyle.mShadowX = HasAttribute(L"x") ? GetIntAttribute(L"x") : 1;
        mStyle.mShadowY = HasAttribute(L"y") ? GetIntAttribute(L"y") : 1;
        return ReadColor(L"color", mStyle.mShadowColor);
    }
    SetError("unknown element <" + WStringToString(tag) + ">");
    return false;
}

bool Fonts::OnElementEnd(const XMLElement& element) {
    if (element.mName == L"font" || element.mName == L"sysfont") return FinishFont();
    return true;
}

bool Fonts::FinishFont() {
    mInFont = false;
    if (mSize <= 0 || mSize > 512) {
        SetError("font " + QuoteValue(mName) + " has a bad size " + std::to_string(mSize));
        return false;
    }
    std::string error;
    if (mSystem) {
        std::unique_ptr<SysFont> font = SysFont::Create(mFamily, mSize, mBold, mItalic, &error);
        if (!font) {
            SetError("font " + QuoteValue(mName) + ": " + error);
            return false;
        }
        mFonts[mName] = std::move(font);
        return true;
    }
    std::shared_ptr<FontFace> face;
    std::string lower = ToLower(mFace);
    bool isFile = lower.size() > 4 && (lower.ends_with(".ttf") || lower.ends_with(".otf") ||
                                       lower.ends_with(".ttc"));
    face = isFile ? FontFace::LoadFile(mFace, mSize, &error)
                  : FontFace::LoadSystem(mFace, mSize, &error);
    if (!face) {
        SetError("font " + QuoteValue(mName) + ": " + error);
        return false;
    }
    if (mFonts.count(mName)) DebugPrintf("fonts: '%s' defined again\n", WStringToString(mName).c_str());
    mFonts[mName] = std::make_unique<ImageFont>(std::move(face), mStyle);
    return true;
}
