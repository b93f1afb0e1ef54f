#include "core/NearestName.h"

#include <algorithm>
#include <vector>

size_t EditDistance(std::wstring_view a, std::wstring_view b, size_t limit) {
    if (std::max(a.size(), b.size()) - std::min(a.size(), b.size()) > limit) return limit + 1;
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return std::min(row[b.size()], limit + 1);
}

NearestName::NearestName(std::wstring_view name)
    : mName(name), mLimit(std::min<size_t>(2, name.size() / 3)), mBestDistance(mLimit + 1) {}

void NearestName::Offer(std::wstring_view known) {
    const size_t distance = EditDistance(mName, known, mLimit);
    if (distance > mLimit) return;
    if (distance < mBestDistance || (distance == mBestDistance && known < mBest)) {
        mBest = known;
        mBestDistance = distance;
    }
}
