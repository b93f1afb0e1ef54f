#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "data/Parser.h"

using LocalizedStringMap = std::map<std::wstring, std::wstring>;

// The localized texts by key. Lookups never insert; loaders build their
// entries privately and publish them in one step under the lock, so readers
// on any thread see a whole table.
class LocalizedStrings {
public:
    std::wstring Get(const std::wstring& key) const;  // empty when absent
    bool Has(const std::wstring& key) const;
    bool Find(const std::wstring& key, std::wstring& out) const;
    // Adds the entries (replacing equal keys) as one new table.
    void Publish(const LocalizedStringMap& entries);
    void Clear();
    std::shared_ptr<const LocalizedStringMap> Snapshot() const;

private:
    mutable std::mutex mLock;
    std::shared_ptr<const LocalizedStringMap> mTable = std::make_shared<LocalizedStringMap>();
};

extern LocalizedStrings gLocalizedStrings;

std::wstring GetLocalizedString(const std::wstring& key);  // empty when absent
bool HasLocalizedString(const std::wstring& key);

// "[br]" -> a line break.
std::wstring ReplaceBrTags(const std::wstring& text);

// The localization.xml loader:
//   <id tag="k" value="v"/>              k = v
//   <pair tag="k" title="t" text="x"/>   k_title = t, k_text = x
//   <k>text</k>                          any other element names the next text
// Stored texts go through ReplaceBrTags. Games derive from it to handle their
// own elements and call the base for the rest.
class Localization : public Parser {
public:
    // On success the entries are published into gLocalizedStrings; on failure
    // nothing is, and GetErrorText() says why.
    bool Load(const std::string& path);
    const LocalizedStringMap& GetStrings() const { return mStrings; }

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;
    bool OnText(const std::wstring& text) override;

    void StoreString(const std::wstring& key, const std::wstring& text);

    LocalizedStringMap mStrings;  // the entries of the file being read
    std::wstring mCurrentTag;     // the key the next text is stored under
};

// Loads "properties/localization.xml".
bool LoadLocalizationFile();
