// Marking chunks in the address map of the size-class pools.
#include "ChunkMap.h"

#include "platform/os/Memory.h"

#include <algorithm>

namespace tarncore {
namespace utility {

std::atomic<ChunkMap::Page*> ChunkMap::sLeaves[kLeafCount];

ChunkMap::Page* ChunkMap::Leaf(std::uintptr_t inAddress, bool inCreate) {
    std::atomic<Page*>& slot = sLeaves[inAddress >> kLeafShift];
    Page* leaf = slot.load(std::memory_order_acquire);
    if (leaf != nullptr || !inCreate) return leaf;
    const std::size_t bytes = kPagesPerLeaf * sizeof(Page);
    auto* fresh = static_cast<Page*>(platform::MapZeroedMemory(bytes));
    if (fresh == nullptr) return nullptr;
    // Two pools may map the same leaf at once; the loser gives its copy back.
    if (slot.compare_exchange_strong(leaf, fresh, std::memory_order_acq_rel, std::memory_order_acquire))
        return fresh;
    platform::UnmapMemory(fresh, bytes);
    return leaf;
}

void ChunkMap::Mark(const void* inStart, std::uint32_t inSize, std::uint8_t inOwner) {
    const auto start = reinterpret_cast<std::uintptr_t>(inStart);
    const std::uintptr_t end = start + inSize;
    if (inSize < kMinimumChunk || (end - 1) >> kLeafShift >= kLeafCount) return;
    for (std::uintptr_t page = start & ~(kPageSize - 1); page < end; page += kPageSize) {
        Page* leaf = Leaf(page, inOwner != 0);
        if (leaf == nullptr) continue;
        Page& entry = leaf[(page >> kPageShift) & (kPagesPerLeaf - 1)];
        const auto from = static_cast<std::uint32_t>(std::max(start, page) - page);
        const auto to = static_cast<std::uint32_t>(std::min(end, page + kPageSize) - page);
        // A chunk that begins inside a page runs past its end, being longer than a page.
        if (from == 0)
            entry.head.store(inOwner == 0 ? 0 : to << 8 | inOwner, std::memory_order_release);
        else
            entry.tail.store(inOwner == 0 ? 0 : from << 8 | inOwner, std::memory_order_release);
    }
}

}  // namespace utility
}  // namespace tarncore
