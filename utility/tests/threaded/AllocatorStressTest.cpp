// The allocator registry under several threads at once (AllocatorStress.h).
#include "AllocatorStress.h"

#include <tarncore/utility/Allocator.h>

#include <gtest/gtest.h>

namespace {

using tarncore::utility::Allocator;

// Mostly small sizes, all of the per-size allocators, and a few heap blocks.
std::uint32_t RandomSize(std::mt19937& ioRandom) {
    const std::uint32_t kind = ioRandom() % 100;
    if (kind < 60) return ioRandom() % 129;
    if (kind < 95) return ioRandom() % 1025;
    return 1025 + ioRandom() % 8000;
}

const stress::StressedAllocator kRegistry{&Allocator::Allocate, &Allocator::Dispose, &RandomSize, nullptr};

}  // namespace

TEST(AllocatorStress, TwoThreads) { stress::Run(kRegistry, 2); }

TEST(AllocatorStress, FourThreads) { stress::Run(kRegistry, 4); }
