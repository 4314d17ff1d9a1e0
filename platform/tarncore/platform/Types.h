// POINT, RECT and GUID: plain structures of the platform types callers exchange with the library.
#pragma once

#include <cstdint>

/// @file
/// Plain structures with the fields and widths of the platform types that callers
/// exchange with the library.
namespace tarncore {
namespace platform {

struct POINT {
    std::int32_t x;
    std::int32_t y;
};

struct RECT {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const POINT& a, const POINT& b) { return !(a == b); }
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }

/// A 128-bit identifier with the fields of the Windows GUID structure (16 bytes).
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes without padding");

}  // namespace platform
}  // namespace tarncore
