#include "core/DirtyRegion.h"

#include <limits>

namespace {
int64_t AreaOf(const Rect& r) { return r.IsEmpty() ? 0 : int64_t(r.mWidth) * r.mHeight; }

bool ContainsRect(const Rect& outer, const Rect& inner) {
    return inner.mX >= outer.mX && inner.mY >= outer.mY && inner.mX + inner.mWidth <= outer.mX + outer.mWidth &&
           inner.mY + inner.mHeight <= outer.mY + outer.mHeight;
}

// What merging two rectangles would draw that neither needs.
int64_t Waste(const Rect& a, const Rect& b) {
    return AreaOf(a.Union(b)) - AreaOf(a) - AreaOf(b) + AreaOf(a.Intersection(b));
}

// Merged when the union draws no more than a small margin beyond the two:
// two cells side by side merge, a cell and a label across the window do not.
bool WorthMerging(const Rect& a, const Rect& b) {
    const int64_t waste = Waste(a, b);
    return waste <= 0 || waste * 4 <= AreaOf(a) + AreaOf(b);
}
}  // namespace

void DirtyRegion::Add(const Rect& rect) {
    if (rect.IsEmpty()) return;
    for (const Rect& r : mRects)
        if (ContainsRect(r, rect)) return;
    std::erase_if(mRects, [&](const Rect& r) { return ContainsRect(rect, r); });
    mRects.push_back(rect);
    MergeClose();
    while (mRects.size() > kMaxRects) MergeCheapestPair();
}

void DirtyRegion::Add(const DirtyRegion& other) {
    for (const Rect& r : other.mRects) Add(r);
}

void DirtyRegion::Clip(const Rect& bounds) {
    std::vector<Rect> kept;
    kept.reserve(mRects.size());
    for (const Rect& r : mRects) {
        const Rect inside = r.Intersection(bounds);
        if (!inside.IsEmpty()) kept.push_back(inside);
    }
    mRects.swap(kept);
}

int64_t DirtyRegion::Area() const {
    int64_t area = 0;
    for (const Rect& r : mRects) area += AreaOf(r);
    return area;
}

Rect DirtyRegion::Bounds() const {
    Rect bounds;
    for (const Rect& r : mRects) bounds = bounds.Union(r);
    return bounds;
}

bool DirtyRegion::Intersects(const Rect& rect) const {
    for (const Rect& r : mRects)
        if (r.Intersects(rect)) return true;
    return false;
}

void DirtyRegion::MergeClose() {
    // A merge may make the merged rectangle worth merging with another.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < mRects.size() && !merged; ++i)
            for (size_t j = i + 1; j < mRects.size() && !merged; ++j)
                if (WorthMerging(mRects[i], mRects[j])) {
                    Replace(i, j);
                    merged = true;
                }
    }
}

void DirtyRegion::Replace(size_t i, size_t j) {
    const Rect grown = mRects[i].Union(mRects[j]);
    std::vector<Rect> kept{grown};
    for (size_t k = 0; k < mRects.size(); ++k)
        if (k != i && k != j && !ContainsRect(grown, mRects[k])) kept.push_back(mRects[k]);
    mRects.swap(kept);
}

void DirtyRegion::MergeCheapestPair() {
    size_t bestI = 0, bestJ = 1;
    int64_t best = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < mRects.size(); ++i)
        for (size_t j = i + 1; j < mRects.size(); ++j) {
            const int64_t waste = Waste(mRects[i], mRects[j]);
            if (waste < best) {
                best = waste;
                bestI = i;
                bestJ = j;
            }
        }
    Replace(bestI, bestJ);
    MergeClose();
}
