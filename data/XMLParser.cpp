#include "data/XMLParser.h"

#include <expat.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "app/StringUtil.h"
#include "data/EncodingParser.h"

const std::wstring* XMLElement::Find(const std::wstring& name) const {
    for (const auto& attribute : mAttributes)
        if (attribute.first == name) return &attribute.second;
    return nullptr;
}

namespace {
inline bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// True when all eight bytes lie in '!'..0x7F: no white space, no UTF-8.
inline bool IsPrintableAscii(uint64_t eight) {
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    constexpr uint64_t kBang = 0x2121212121212121ull;
    return (eight & kHigh) == 0 && ((eight - kBang) & ~eight & kHigh) == 0;
}
}  // namespace

struct XMLParser::Callbacks {
    static void Start(void* user, const XML_Char* name, const XML_Char** attributes) {
        auto* self = static_cast<XMLParser*>(user);
        if (!self->FlushText()) return;
        if (self->mDepth == self->mStack.size()) self->mStack.emplace_back();
        XMLElement& element = self->mStack[self->mDepth++];
        DecodeUtf8(name, std::strlen(name), element.mName);
        size_t count = 0;
        while (attributes[count * 2]) ++count;
        element.mAttributes.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const char* key = attributes[i * 2];
            const char* value = attributes[i * 2 + 1];
            DecodeUtf8(key, std::strlen(key), element.mAttributes[i].first);
            DecodeUtf8(value, std::strlen(value), element.mAttributes[i].second);
        }
        element.mLine = self->CurrentLine();
        if (!self->mListener->OnXmlStart(element)) self->Stop();
    }

    static void End(void* user, const XML_Char*) {
        auto* self = static_cast<XMLParser*>(user);
        if (!self->FlushText()) return;
        if (self->mDepth == 0) return;  // expat never gives an unmatched end
        if (!self->mListener->OnXmlEnd(self->mStack[self->mDepth - 1])) self->Stop();
        --self->mDepth;
    }

    static void Text(void* user, const XML_Char* text, int length) {
        auto* self = static_cast<XMLParser*>(user);
        self->mPendingText.append(text, static_cast<size_t>(length));
    }
};

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() {
    if (mExpat) XML_ParserFree(static_cast<XML_Parser>(mExpat));
}

// Lines come from our own count of line breaks up to expat's byte position:
// expat's XML_GetCurrentLineNumber rescans the text with its tokenizer and
// cost an eighth of a catalogue load. A break is "\n", "\r\n" or a lone "\r",
// as expat counts them.
int XMLParser::CurrentLine() const {
    if (!mExpat) return 0;
    const XML_Index at = XML_GetCurrentByteIndex(static_cast<XML_Parser>(mExpat));
    if (at < 0 || static_cast<size_t>(at) > mDocumentSize)
        return static_cast<int>(XML_GetCurrentLineNumber(static_cast<XML_Parser>(mExpat)));
    const size_t target = static_cast<size_t>(at);
    if (target < mLineCursor) mLineCursor = 0, mLineBreaks = 0;
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    auto hasByte = [&](uint64_t eight, unsigned char c) {
        const uint64_t x = eight ^ (kOnes * c);
        return ((x - kOnes) & ~x & kHigh) != 0;
    };
    while (mLineCursor < target) {
        uint64_t eight;
        if (target - mLineCursor >= 8 && (std::memcpy(&eight, mDocument + mLineCursor, 8), true) &&
            !hasByte(eight, '\n') && !hasByte(eight, '\r')) {
            mLineCursor += 8;
            continue;
        }
        const char c = mDocument[mLineCursor++];
        if (c == '\n' || (c == '\r' && (mLineCursor == mDocumentSize || mDocument[mLineCursor] != '\n')))
            ++mLineBreaks;
    }
    return mLineBreaks + 1;
}

void XMLParser::Stop() {
    if (mStoppedByListener) return;
    mStoppedByListener = true;
    mStopLine = CurrentLine();
    XML_StopParser(static_cast<XML_Parser>(mExpat), XML_FALSE);
}

void XMLParser::NormalizeText(const char* data, size_t size, std::wstring& out) {
    out.resize(size);  // never more characters than bytes
    wchar_t* const start = out.data();
    wchar_t* w = start;
    bool pendingSpace = false;
    const char* p = data;
    const char* const end = data + size;
    while (p < end) {
        uint64_t eight;
        if (!pendingSpace && end - p >= 8 && (std::memcpy(&eight, p, 8), IsPrintableAscii(eight))) {
            for (int i = 0; i < 8; ++i) w[i] = static_cast<wchar_t>(p[i]);
            w += 8;
            p += 8;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (IsXmlSpace(static_cast<char>(c))) {
            pendingSpace = w != start;
            ++p;
            continue;
        }
        if (pendingSpace) *w++ = L' ';
        pendingSpace = false;
        if (c < 0x80) {
            *w++ = static_cast<wchar_t>(c);
            ++p;
        } else {
            *w++ = static_cast<wchar_t>(NextUtf8CodePoint(p, end));
        }
    }
    out.resize(static_cast<size_t>(w - start));
}

bool XMLParser::FlushText() {
    if (mStoppedByListener) return false;
    if (mPendingText.empty()) return true;
    NormalizeText(mPendingText.data(), mPendingText.size(), mWideText);
    mPendingText.clear();
    if (mWideText.empty()) return true;
    if (!mListener->OnXmlText(mWideText)) {
        Stop();
        return false;
    }
    return true;
}

bool XMLParser::Parse(const char* data, size_t size, Listener& listener) {
    if (mExpat) XML_ParserFree(static_cast<XML_Parser>(mExpat));
    // Our files are UTF-8, UTF-16 or Latin-1; the others are turned into
    // UTF-8 first, and the forced encoding overrides whatever the declaration
    // claims.
    XML_Parser expat = XML_ParserCreate("UTF-8");
    mExpat = expat;
    mListener = &listener;
    mDepth = 0;
    mPendingText.clear();
    mStoppedByListener = false;
    mErrorMessage.clear();
    mErrorLine = 0;
    if (!expat) {
        mErrorMessage = "XML error: out of memory";
        return false;
    }
    XML_SetUserData(expat, this);
    XML_SetElementHandler(expat, &Callbacks::Start, &Callbacks::End);
    XML_SetCharacterDataHandler(expat, &Callbacks::Text);

    size_t bom = 0;
    std::string converted;
    const char* p = data;
    size_t remaining = size;
    if (EncodingParser::Detect(data, size, &bom) == EncodingParser::Utf8) {
        p += bom;
        remaining -= bom;
    } else {
        converted = EncodingParser::ToUtf8(std::string(data, size));
        p = converted.data();
        remaining = converted.size();
    }

    mDocument = p;
    mDocumentSize = remaining;
    mLineCursor = 0;
    mLineBreaks = 0;

    // expat takes int lengths: larger documents go in pieces.
    bool ok = true;
    do {
        size_t piece = remaining > (INT_MAX / 2) ? (INT_MAX / 2) : remaining;
        bool last = piece == remaining;
        if (XML_Parse(expat, p, static_cast<int>(piece), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            ok = false;
            break;
        }
        p += piece;
        remaining -= piece;
    } while (remaining > 0);

    if (ok && !FlushText()) ok = false;  // text after the root end is never delivered
    if (!ok) {
        if (mStoppedByListener) {
            mErrorLine = mStopLine;
        } else {
            mErrorMessage = std::string("XML error: ") + XML_ErrorString(XML_GetErrorCode(expat));
            mErrorLine = static_cast<int>(XML_GetCurrentLineNumber(expat));
        }
    }
    mListener = nullptr;
    mDepth = 0;
    XML_ParserFree(expat);
    mExpat = nullptr;
    return ok;
}
