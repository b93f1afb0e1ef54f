#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One start tag as the loaders see it.
struct XMLElement {
    std::wstring mName;
    std::vector<std::pair<std::wstring, std::wstring>> mAttributes;  // document order, entity-decoded
    int mLine = 0;

    bool Has(const std::wstring& name) const { return Find(name) != nullptr; }
    const std::wstring* Find(const std::wstring& name) const;
};

// Reads a whole XML document with expat and hands its start tags, end tags and
// texts to a listener. Text between tags is delivered trimmed, with every
// inner run of white space (space, tab, line feed, carriage return) made one
// space; white space alone delivers nothing. Input is UTF-8, UTF-16 or Latin-1 (see
// EncodingParser); entities and character references are decoded.
class XMLParser {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // Return false to stop the parse (the document then counts as failed).
        virtual bool OnXmlStart(const XMLElement& element) = 0;
        virtual bool OnXmlEnd(const XMLElement& element) = 0;
        // The text with the text rule applied, still UTF-8 (never empty).
        virtual bool OnXmlText(const char* text, size_t size) = 0;
    };

    XMLParser();
    ~XMLParser();
    XMLParser(const XMLParser&) = delete;
    XMLParser& operator=(const XMLParser&) = delete;

    // True when the document is well-formed, complete and no listener call
    // failed. On failure GetErrorMessage()/GetErrorLine() say what and where.
    bool Parse(const char* data, size_t size, Listener& listener);
    bool Parse(const std::string& bytes, Listener& listener) {
        return Parse(bytes.data(), bytes.size(), listener);
    }

    bool StoppedByListener() const { return mStoppedByListener; }
    const std::string& GetErrorMessage() const { return mErrorMessage; }
    int GetErrorLine() const { return mErrorLine; }

    // The innermost open element (during a listener call), or null.
    const XMLElement* Current() const { return mDepth ? &mStack[mDepth - 1] : nullptr; }
    // The line the parser is at (during a listener call).
    int CurrentLine() const;

private:
    // The text rule, applied to each piece of text as expat hands it over:
    // trimmed, inner white-space runs collapsed (one pass: it runs over every
    // text byte).
    void AppendText(const char* data, size_t size);

    struct Callbacks;
    bool FlushText();
    void Stop();

    void* mExpat = nullptr;  // XML_Parser
    Listener* mListener = nullptr;
    std::vector<XMLElement> mStack;  // slots are reused to keep their capacity
    size_t mDepth = 0;
    std::unique_ptr<char[]> mText;  // the text so far
    size_t mTextSize = 0;           // bytes held
    size_t mTextRoom = 0;           // bytes mText can hold
    bool mPendingSpace = false;     // white space seen after the text so far
    const char* mDocument = nullptr;  // the UTF-8 bytes expat reads, for the line count
    size_t mDocumentSize = 0;
    mutable size_t mLineCursor = 0;   // the line breaks before this offset are counted
    mutable int mLineBreaks = 0;
    bool mHasCarriageReturn = false;
    bool mStoppedByListener = false;
    int mStopLine = 0;
    std::string mErrorMessage;
    int mErrorLine = 0;
};
