#pragma once
#include <string>

#include "data/ExpressionEvaluator.h"
#include "data/ScriptValue.h"
#include "data/XMLParser.h"

// The base of every XML loader: reads a file through the file access layer
// and calls the hooks for each start tag, end tag and text. The typed
// attribute readers work on the current element.
class Parser : private XMLParser::Listener {
public:
    Parser();
    virtual ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // False when the file cannot be opened, is malformed or truncated, or a
    // hook failed; GetErrorText() then names the file and the line.
    bool LoadFile(const std::string& path);
    bool LoadPropertiesFile(const std::string& name);  // LoadFile("properties/" + name)
    bool LoadFromString(const std::string& bytes, const std::string& nameForErrors);
    const std::string& GetErrorText() const { return mErrorText; }

protected:
    // Hooks; return false to fail the load (call SetError first for a message).
    virtual bool OnElementStart(const XMLElement& element);
    virtual bool OnElementEnd(const XMLElement& element);
    virtual bool OnText(const std::wstring& text);  // the text rule is applied already
    // The same text before it is made wide; a loader that reads only ASCII
    // out of long texts takes it here (the catalogue's grids and pictures).
    virtual bool OnTextUtf8(const char* text, size_t size);

    void SetError(const std::string& message);
    bool HasAttribute(const std::wstring& name) const;
    std::wstring GetAttribute(const std::wstring& name) const;  // raw, empty when absent
    int GetIntAttribute(const std::wstring& name);              // evaluated; 0 when absent/empty
    float GetFloatAttribute(const std::wstring& name);          // evaluated; 0 when absent/empty
    bool GetBoolAttribute(const std::wstring& name) const;      // exactly "true" or "1"
    int GetTrackIdAttribute(const std::wstring& name) const;    // -1 when no such track
    // The element of the current hook call (an empty one outside a load).
    const XMLElement& CurrentElement() const;
    int CurrentLine() const;
    // The file being read ("" outside a load).
    const std::string& CurrentFileName() const { return mFileName; }

    VariableMap mVariables;  // the loaders' own (empty) scope
    ExpressionEvaluator mEvaluator{mVariables};

private:
    bool OnXmlStart(const XMLElement& element) override;
    bool OnXmlEnd(const XMLElement& element) override;
    bool OnXmlText(const char* text, size_t size) override;

    const XMLParser* mReader = nullptr;  // the parse in progress
    const XMLElement* mCurrent = nullptr;
    std::string mFileName;
    std::string mErrorText;
    std::string mHookError;
    std::wstring mWideText;  // the text piece being handed over, reused
};
