#include "data/XMLParser.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "core/StringUtil.h"
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
        self->AppendText(text, static_cast<size_t>(length));
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
    if (!mHasCarriageReturn) {
        // Eight bytes at a time: the line feeds among them, counted exactly.
        constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Full, kFeeds = 0x0A0A0A0A0A0A0A0Aull;
        while (target - mLineCursor >= 8) {
            uint64_t eight;
            std::memcpy(&eight, mDocument + mLineCursor, 8);
            const uint64_t x = eight ^ kFeeds;  // a line feed is a zero byte now
            const uint64_t zeros = ~(((x & kLow) + kLow) | x | kLow);  // 0x80 per line feed
            mLineBreaks += static_cast<int>(((zeros >> 7) * 0x0101010101010101ull) >> 56);
            mLineCursor += 8;
        }
    }
    for (; mLineCursor < target; ++mLineCursor) {
        const char c = mDocument[mLineCursor];
        if (c == '\n' || (c == '\r' && (mLineCursor + 1 == mDocumentSize || mDocument[mLineCursor + 1] != '\n')))
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

void XMLParser::AppendText(const char* data, size_t size) {
    if (mTextRoom - mTextSize < size + 1) {
        const size_t room = std::max(mTextSize + size + 1, mTextRoom * 2);
        std::unique_ptr<char[]> grown(new char[room]);
        std::copy(mText.get(), mText.get() + mTextSize, grown.get());
        mText = std::move(grown);
        mTextRoom = room;
    }
    char* const start = mText.get();
    char* w = start + mTextSize;
    const char* p = data;
    const char* const end = data + size;
    while (p < end) {
        uint64_t eight;
        if (!mPendingSpace && end - p >= 8 && (std::memcpy(&eight, p, 8), IsPrintableAscii(eight))) {
            std::memcpy(w, &eight, 8);
            w += 8;
            p += 8;
            continue;
        }
        const char c = *p++;
        if (IsXmlSpace(c)) {
            mPendingSpace = w != start;
            continue;
        }
        if (mPendingSpace) *w++ = ' ';
        mPendingSpace = false;
        *w++ = c;
    }
    mTextSize = static_cast<size_t>(w - start);
}

bool XMLParser::FlushText() {
    if (mStoppedByListener) return false;
    mPendingSpace = false;  // trailing white space is dropped
    if (mTextSize == 0) return true;
    const size_t size = mTextSize;
    mTextSize = 0;
    if (!mListener->OnXmlText(mText.get(), size)) {
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
    mTextSize = 0;
    mPendingSpace = false;
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
    mHasCarriageReturn = std::memchr(p, '\r', remaining) != nullptr;

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
