#pragma once
#include <algorithm>

// Points and rectangles (x, y, width, height) shared by every layer.
template <class T>
struct TPoint {
    T mX = 0;
    T mY = 0;
    constexpr TPoint() = default;
    constexpr TPoint(T x, T y) : mX(x), mY(y) {}
    bool operator==(const TPoint& o) const { return mX == o.mX && mY == o.mY; }
    bool operator!=(const TPoint& o) const { return !(*this == o); }
    TPoint operator+(const TPoint& o) const { return TPoint(mX + o.mX, mY + o.mY); }
    TPoint operator-(const TPoint& o) const { return TPoint(mX - o.mX, mY - o.mY); }
};

template <class T>
struct TRect {
    T mX = 0;
    T mY = 0;
    T mWidth = 0;
    T mHeight = 0;
    constexpr TRect() = default;
    constexpr TRect(T x, T y, T w, T h) : mX(x), mY(y), mWidth(w), mHeight(h) {}

    bool operator==(const TRect& o) const {
        return mX == o.mX && mY == o.mY && mWidth == o.mWidth && mHeight == o.mHeight;
    }
    bool operator!=(const TRect& o) const { return !(*this == o); }
    bool IsEmpty() const { return mWidth <= 0 || mHeight <= 0; }
    bool Contains(T x, T y) const {
        return x >= mX && y >= mY && x < mX + mWidth && y < mY + mHeight;
    }
    bool Intersects(const TRect& o) const { return !Intersection(o).IsEmpty(); }
    TRect Intersection(const TRect& o) const {
        T x1 = std::max(mX, o.mX), y1 = std::max(mY, o.mY);
        T x2 = std::min(mX + mWidth, o.mX + o.mWidth), y2 = std::min(mY + mHeight, o.mY + o.mHeight);
        if (x2 <= x1 || y2 <= y1) return TRect(x1, y1, 0, 0);
        return TRect(x1, y1, x2 - x1, y2 - y1);
    }
    TRect Union(const TRect& o) const {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        T x1 = std::min(mX, o.mX), y1 = std::min(mY, o.mY);
        T x2 = std::max(mX + mWidth, o.mX + o.mWidth), y2 = std::max(mY + mHeight, o.mY + o.mHeight);
        return TRect(x1, y1, x2 - x1, y2 - y1);
    }
    TRect Offset(T dx, T dy) const { return TRect(mX + dx, mY + dy, mWidth, mHeight); }
};

using Point = TPoint<int>;
using FPoint = TPoint<float>;
using Rect = TRect<int>;
using FRect = TRect<float>;

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
