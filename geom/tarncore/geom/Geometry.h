// Points, sizes and rectangles of any number type.
#pragma once

#include <cstdint>

namespace tarncore {
namespace geom {

/// A point, or a size (x = width, y = height).
template <class T>
struct PointT {
    T x = T();
    T y = T();

    PointT() = default;
    PointT(T inX, T inY) : x(inX), y(inY) {}

    friend bool operator==(const PointT& a, const PointT& b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(const PointT& a, const PointT& b) { return !(a == b); }
};

/// An origin and a size, not two corners.
template <class T>
struct RectT {
    T x = T();
    T y = T();
    T width = T();
    T height = T();

    RectT() = default;
    RectT(T inX, T inY, T inWidth, T inHeight) : x(inX), y(inY), width(inWidth), height(inHeight) {}

    friend bool operator==(const RectT& a, const RectT& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(const RectT& a, const RectT& b) { return !(a == b); }
};

/// The library's integer geometry is 32-bit, as the platform structures are.
/// @{
using Point32 = PointT<std::int32_t>;
using Rect32 = RectT<std::int32_t>;
/// @}
/// Floating-point geometry, as the arrangement engine uses it.
/// @{
using PointF = PointT<float>;
using RectF = RectT<float>;
/// @}

}  // namespace geom
}  // namespace tarncore
