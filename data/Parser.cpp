#include "data/Parser.h"

#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/PakInterface.h"

namespace {
const XMLElement kNoElement;
}

Parser::Parser() = default;
Parser::~Parser() = default;

bool Parser::OnElementStart(const XMLElement&) { return true; }
bool Parser::OnElementEnd(const XMLElement&) { return true; }
bool Parser::OnText(const std::wstring&) { return true; }

bool Parser::LoadPropertiesFile(const std::string& name) { return LoadFile("properties/" + name); }

bool Parser::LoadFile(const std::string& path) {
    std::string bytes;
    if (!ReadDataFile(path, bytes)) {
        mErrorText = StrFormat("Cannot open the file in File '%s'", path.c_str());
        return false;
    }
    return LoadFromString(bytes, path);
}

bool Parser::LoadFromString(const std::string& bytes, const std::string& nameForErrors) {
    // A hook may load another file with this same parser (includes): the outer
    // parse's state is kept aside and put back afterwards.
    const XMLParser* outerReader = mReader;
    const XMLElement* outerCurrent = mCurrent;
    std::string outerFile = mFileName;

    XMLParser reader;
    mReader = &reader;
    mCurrent = nullptr;
    mFileName = nameForErrors;
    mHookError.clear();
    bool ok = reader.Parse(bytes, *this);
    if (ok) {
        mErrorText.clear();
    } else {
        std::string what = reader.StoppedByListener()
                               ? (mHookError.empty() ? std::string("Data error") : mHookError)
                               : reader.GetErrorMessage();
        mErrorText = what + StrFormat(" on Line %d", reader.GetErrorLine()) +
                     StrFormat(" in File '%s'", nameForErrors.c_str());
    }
    mReader = outerReader;
    mCurrent = outerCurrent;
    mFileName = outerFile;
    return ok;
}

void Parser::SetError(const std::string& message) { mHookError = message; }

bool Parser::OnXmlStart(const XMLElement& element) {
    mCurrent = &element;
    return OnElementStart(element);
}

bool Parser::OnXmlEnd(const XMLElement& element) {
    mCurrent = &element;
    bool ok = OnElementEnd(element);
    // The parent becomes current again for the text that follows.
    mCurrent = nullptr;
    return ok;
}

bool Parser::OnXmlText(const char* text, size_t size) {
    mCurrent = mReader ? mReader->Current() : nullptr;
    return OnTextUtf8(text, size);
}

bool Parser::OnTextUtf8(const char* text, size_t size) {
    DecodeUtf8(text, size, mWideText);  // reuses the buffer's capacity
    return OnText(mWideText);
}

const XMLElement& Parser::CurrentElement() const { return mCurrent ? *mCurrent : kNoElement; }

int Parser::CurrentLine() const { return mReader ? mReader->CurrentLine() : 0; }

bool Parser::HasAttribute(const std::wstring& name) const { return CurrentElement().Has(name); }

std::wstring Parser::GetAttribute(const std::wstring& name) const {
    const std::wstring* value = CurrentElement().Find(name);
    return value ? *value : std::wstring();
}

int Parser::GetIntAttribute(const std::wstring& name) {
    const std::wstring* value = CurrentElement().Find(name);
    if (!value || value->empty()) return 0;
    return mEvaluator.Evaluate(*value).ToInt();
}

float Parser::GetFloatAttribute(const std::wstring& name) {
    const std::wstring* value = CurrentElement().Find(name);
    if (!value || value->empty()) return 0.0f;
    return mEvaluator.Evaluate(*value).ToFloat();
}

bool Parser::GetBoolAttribute(const std::wstring& name) const {
    const std::wstring* value = CurrentElement().Find(name);
    return value && (*value == L"true" || *value == L"1");
}

int Parser::GetTrackIdAttribute(const std::wstring& name) const {
    return GetTrackId(GetAttribute(name));
}
