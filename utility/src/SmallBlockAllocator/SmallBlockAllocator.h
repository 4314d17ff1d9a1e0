// The small block allocator's size classes and pools, for its sources and tests.
#pragma once

#include "AllocatorInterface.h"
#include "utility/src/SizeClasses.h"

#include <array>
#include <cstddef>
#include <cstdint>

// The small block allocator's internals, for its tests.
namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

constexpr std::uint32_t kLargestClassSize = 8192;
constexpr std::size_t kClassCount = 71;

// The block sizes of the 71 classes, ascending.
constexpr std::array<std::uint32_t, kClassCount> kClassBlockSizes =
    SizesOfRuns<kClassCount>({{4, 8, 4},
                              {16, 32, 8},
                              {48, 256, 16},
                              {288, 512, 32},
                              {640, 1024, 128},
                              {1152, 4096, 128},
                              {4352, 8192, 256}});
static_assert(kClassBlockSizes[kClassCount - 1] == kLargestClassSize, "71 classes up to 8192");

constexpr std::array<std::uint8_t, kLargestClassSize + 1> MakeClassOfSize() {
    std::array<std::uint8_t, kLargestClassSize + 1> classes{};
    std::size_t c = 0;
    for (std::uint32_t size = 0; size <= kLargestClassSize; ++size) {
        while (kClassBlockSizes[c] < size) ++c;
        classes[size] = static_cast<std::uint8_t>(c);
    }
    return classes;
}

// The class of every size up to 8192, by index into kClassBlockSizes.
constexpr std::array<std::uint8_t, kLargestClassSize + 1> kClassOfSize = MakeClassOfSize();

// Whether the pool of inSize is a class pool, the ones the per-thread front serves:
// 4144 is the chunk pool's, although it lies in a class's range.
constexpr bool IsClassSize(std::uint32_t inSize) { return inSize <= kLargestClassSize && inSize != 4144; }

// The owner number a class pool marks its chunks with in the chunk map.
constexpr std::uint8_t MapOwnerOfClass(std::size_t inClass) { return static_cast<std::uint8_t>(inClass + 1); }

// The pool Allocate(inSize) uses (the chunk pools for 4144 and 66352), or null for
// sizes the system serves and while the allocator is not ready.
AllocatorInterface* PoolForSize(std::uint32_t inSize);

// The calling thread's cache, or null when it has none (yet, or any more).
class ThreadCache;
ThreadCache* CacheOfThisThread();

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
