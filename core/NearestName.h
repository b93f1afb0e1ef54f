#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Edits (inserts, deletes, replacements) that turn one text into the other,
// counted up to `limit` + 1: anything farther reads as `limit` + 1.
size_t EditDistance(std::wstring_view a, std::wstring_view b, size_t limit);

// The suggestion for a misspelt name: the known name nearest to it, within
// two edits and fewer than a third of its letters (so that a short name is
// never "corrected" into another word); on a tie the first in text order.
// Offer every known name, then read Get(), empty when none is near enough.
class NearestName {
public:
    explicit NearestName(std::wstring_view name);

    void Offer(std::wstring_view known);
    const std::wstring& Get() const { return mBest; }

private:
    std::wstring mName;
    size_t mLimit;
    size_t mBestDistance;
    std::wstring mBest;
};
