#pragma once
#include <cstdint>
#include <vector>

#include "core/Geometry.h"

// The parts of the frame that changed since it was last drawn: a few
// rectangles rather than their bounding box, so that the clock at one side
// and a cell at the other do not redraw everything between them. Rectangles
// that overlap or lie close together merge when the merged one wastes little;
// past kMaxRects the pair that wastes least merges.
class DirtyRegion {
public:
    static constexpr size_t kMaxRects = 16;

    void Add(const Rect& rect);
    void Add(const DirtyRegion& other);
    // Keeps only what lies inside `bounds`.
    void Clip(const Rect& bounds);
    void Clear() { mRects.clear(); }
    bool IsEmpty() const { return mRects.empty(); }
    // Pixels covered (the rectangles never overlap by more than a merge left).
    int64_t Area() const;
    Rect Bounds() const;
    bool Intersects(const Rect& rect) const;
    const std::vector<Rect>& Rects() const { return mRects; }

private:
    void MergeClose();
    void MergeCheapestPair();
    // Rectangles i and j become their union, which takes in any it covers.
    void Replace(size_t i, size_t j);

    std::vector<Rect> mRects;
};
