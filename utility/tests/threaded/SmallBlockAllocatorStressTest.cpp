// The small block allocator under several threads at once (AllocatorStress.h); the
// threads now and then give their caches back (Trim), and each ends with blocks in its
// cache.
#include "AllocatorStress.h"

#include <tarncore/utility/SmallBlockAllocator.h>

#include <gtest/gtest.h>

namespace {

namespace sba = tarncore::utility::SmallBlockAllocator;

// Mostly small sizes, some up to 8192, the two chunk sizes and a few system blocks.
std::uint32_t RandomSize(std::mt19937& ioRandom) {
    const std::uint32_t kind = ioRandom() % 100;
    if (kind < 60) return ioRandom() % 257;
    if (kind < 90) return ioRandom() % 8193;
    return kind < 94 ? 4144 : kind < 96 ? 66352 : 8193 + ioRandom() % 60000;
}

const stress::StressedAllocator kSmallBlocks{&sba::Allocate, &sba::Dispose, &RandomSize, &sba::Trim};

}  // namespace

TEST(SmallBlockAllocatorStress, TwoThreads) { stress::Run(kSmallBlocks, 2); }

TEST(SmallBlockAllocatorStress, FourThreads) { stress::Run(kSmallBlocks, 4); }
