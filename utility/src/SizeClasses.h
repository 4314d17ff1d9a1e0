// The allocators' tables of block sizes, written as runs of evenly spaced sizes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace tarncore {
namespace utility {

// A run of block sizes: first, first + step, ... up to last.
struct SizeRun {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t step;
};

// The sizes of the runs, in order. inCount is how many there are: more do not compile,
// and a caller checks its last size to catch fewer.
template <std::size_t inCount>
constexpr std::array<std::uint32_t, inCount> SizesOfRuns(std::initializer_list<SizeRun> inRuns) {
    std::array<std::uint32_t, inCount> sizes{};
    std::size_t n = 0;
    for (const SizeRun& run : inRuns)
        for (std::uint32_t size = run.first; size <= run.last; size += run.step) sizes[n++] = size;
    return sizes;
}

}  // namespace utility
}  // namespace tarncore
