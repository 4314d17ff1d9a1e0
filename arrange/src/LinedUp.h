// The minimum size of children lined up along one axis, shared by arrangements and groups.
#pragma once

#include <tarncore/geom/Geometry.h>

#include <algorithm>
#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

// The minimum size of children placed side by side along one axis (x for a row, y for
// a column): their minimum lengths with the spacing between them along it, the
// largest minimum length across it, each plus the margins that apply. One formula for
// the arrangements and for the groups that size an arrangement before making it, so
// that both agree to the last bit. Child is any pointer to an arrangement.
template <class Child>
geom::PointF LinedUpMinimum(const std::vector<Child>& inChildren, float inSpacing, float inMainMargins,
                            float inCrossMargins, bool inHorizontal) {
    float sum = 0;
    float largest = 0;
    for (const Child& child : inChildren) {
        sum += inHorizontal ? child->MinWidth() : child->MinHeight();
        largest = std::max(largest, inHorizontal ? child->MinHeight() : child->MinWidth());
    }
    const float gaps = inChildren.empty() ? 0.0f : static_cast<float>(inChildren.size() - 1);
    const float main = sum + gaps * inSpacing + inMainMargins;
    const float cross = largest + inCrossMargins;
    return inHorizontal ? geom::PointF(main, cross) : geom::PointF(cross, main);
}

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
