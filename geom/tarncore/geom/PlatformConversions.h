// Integer points and rectangles to and from the platform's POINT and RECT.
#pragma once

#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Types.h>

/// @file
/// Integer points and rectangles to and from the platform's POINT and RECT. Widths and
/// corners wrap around in 32 bits, as the platform's own arithmetic does.
namespace tarncore {
namespace utility {

namespace detail {
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapSubtract(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
}  // namespace detail

inline platform::POINT TARNtoWIN(const geom::PointT<std::int32_t>& inPoint) {
    return platform::POINT{inPoint.x, inPoint.y};
}

inline geom::PointT<std::int32_t> WINtoTARN(const platform::POINT& inPoint) {
    return geom::PointT<std::int32_t>(inPoint.x, inPoint.y);
}

inline geom::RectT<std::int32_t> WINtoTARN(const platform::RECT& inRect) {
    return geom::RectT<std::int32_t>(inRect.left, inRect.top, detail::WrapSubtract(inRect.right, inRect.left),
                                     detail::WrapSubtract(inRect.bottom, inRect.top));
}

inline platform::RECT TARNtoWIN(const geom::RectT<std::int32_t>& inRect) {
    return platform::RECT{inRect.x, inRect.y, detail::WrapAdd(inRect.x, inRect.width),
                          detail::WrapAdd(inRect.y, inRect.height)};
}

}  // namespace utility
}  // namespace tarncore
