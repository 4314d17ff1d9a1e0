// The breaks into lines that a wrapping group offers.
#pragma once

#include <cstddef>
#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

// The number of items on each line of one break into lines.
using Split = std::vector<std::size_t>;

// The breaks a wrapping group offers for inItems items, in order: all of them
// (inExact), or the bounded set computed from the items' minimum lengths along the
// lines and the spacing between them.
std::vector<Split> WrappingSplits(std::size_t inItems, bool inExact, const std::vector<float>& inLengths,
                                  float inSpacing);

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
