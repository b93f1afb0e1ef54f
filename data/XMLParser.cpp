#include "data/XMLParser.h"

#include <expat.h>

#include <climits>
#include <cstring>

#include "data/EncodingParser.h"

const std::wstring* XMLElement::Find(const std::wstring& name) const {
    for (const auto& attribute : mAttributes)
        if (attribute.first == name) return &attribute.second;
    return nullptr;
}

namespace {
inline bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
}  // namespace

struct XMLParser::Callbacks {
    static void Start(void* user, const XML_Char* name, const XML_Char** attributes) {
        auto* self = static_cast<XMLParser*>(user);
        if (!self->FlushText()) return;
        if (self->mDepth == self->mStack.size()) self->mStack.emplace_back();
        XMLElement& element = self->mStack[self->mDepth++];
        EncodingParser::Utf8ToWide(name, std::strlen(name), element.mName);
        size_t count = 0;
        while (attributes[count * 2]) ++count;
        element.mAttributes.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const char* key = attributes[i * 2];
            const char* value = attributes[i * 2 + 1];
            EncodingParser::Utf8ToWide(key, std::strlen(key), element.mAttributes[i].first);
            EncodingParser::Utf8ToWide(value, std::strlen(value), element.mAttributes[i].second);
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

int XMLParser::CurrentLine() const {
    return mExpat ? static_cast<int>(XML_GetCurrentLineNumber(static_cast<XML_Parser>(mExpat))) : 0;
}

void XMLParser::Stop() {
    if (mStoppedByListener) return;
    mStoppedByListener = true;
    mStopLine = CurrentLine();
    XML_StopParser(static_cast<XML_Parser>(mExpat), XML_FALSE);
}

void XMLParser::NormalizeText(const char* data, size_t size, std::string& out) {
    out.clear();
    bool pendingSpace = false;
    for (size_t i = 0; i < size; ++i) {
        char c = data[i];
        if (IsXmlSpace(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
}

bool XMLParser::FlushText() {
    if (mStoppedByListener) return false;
    if (mPendingText.empty()) return true;
    NormalizeText(mPendingText.data(), mPendingText.size(), mNormalized);
    mPendingText.clear();
    if (mNormalized.empty()) return true;
    EncodingParser::Utf8ToWide(mNormalized.data(), mNormalized.size(), mWideText);
    if (!mListener->OnXmlText(mWideText)) {
        Stop();
        return false;
    }
    return true;
}

bool XMLParser::Parse(const char* data, size_t size, Listener& listener) {
    if (mExpat) XML_ParserFree(static_cast<XML_Parser>(mExpat));
    // Our files are UTF-8 or UTF-16; UTF-16 is turned into UTF-8 first, and
    // the forced encoding overrides whatever the declaration claims.
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
