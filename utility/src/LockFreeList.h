// The lock-free last-in-first-out list of the allocators, with its change counter against ABA.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// A read that may race with another thread's writes on purpose (see LockFreeList), kept
// out of the thread sanitizer's view.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARNCORE_RACY_READ __attribute__((no_sanitize("thread"), noinline))
#endif
#endif
#if !defined(TARNCORE_RACY_READ) && defined(__SANITIZE_THREAD__)
#define TARNCORE_RACY_READ __attribute__((no_sanitize("thread"), noinline))
#endif
#if !defined(TARNCORE_RACY_READ)
#define TARNCORE_RACY_READ
#endif

namespace tarncore {
namespace utility {

// A stack of free blocks shared by any number of threads, changed by compare-exchange
// on one 64-bit head word. The first bytes of each free block link to the next.
//
// How a block is named in a link is up to Links, so that one list serves blocks of 4
// bytes inside a chunk (a 32-bit offset from the chunk's start) and blocks anywhere in
// memory (the address, without the bits its alignment leaves 0). The head word holds
// the first block's link in its low Links::kLinkBits bits, 0 when the list is empty,
// and a change counter in the bits above. Every push and pop bumps the counter, so a
// pop whose view of the head was overtaken by other pops and pushes fails its
// compare-exchange even when the same block is back at the head (ABA); the counter
// would have to come round to the same value meanwhile, after 2^(64 - kLinkBits)
// changes.
//
// A pop reads the link of the head block before it owns it; by then another thread
// may have taken that block and written its own data there. The read must stay inside
// memory the list's owner still holds (the allocators give no memory back while a pop
// may be under way), and the stale value is thrown away when the compare-exchange sees
// the changed counter.
//
// Links provides:
//   static constexpr unsigned kLinkBits;               // bits of a link, at most 48
//   std::uint64_t LinkOf(const void* inBlock) const;   // never 0
//   void* BlockOf(std::uint64_t inLink) const;         // inLink is not 0
//   bool MayFollow(std::uint64_t inLink) const;        // a link PopMany may follow; only
//                                                      // for lists that use PopMany
//   static std::uint64_t ReadLink(const void* inBlock);  // TARNCORE_RACY_READ
//   static void WriteLink(void* inBlock, std::uint64_t inLink);
template <class Links>
class LockFreeList {
    static_assert(Links::kLinkBits >= 16 && Links::kLinkBits <= 48, "room for a change counter");

public:
    LockFreeList() = default;
    LockFreeList(const LockFreeList&) = delete;
    LockFreeList& operator=(const LockFreeList&) = delete;

    // Empties the list, for memory laid out anew (a new chunk).
    void Clear() { mHead.store(0, std::memory_order_relaxed); }

    bool IsEmpty() const { return (mHead.load(std::memory_order_acquire) & kLinkMask) == 0; }

    // The block at the head, or null when the list is empty.
    void* Pop(const Links& inLinks) {
        std::uint64_t head = mHead.load(std::memory_order_acquire);
        for (;;) {
            const std::uint64_t first = head & kLinkMask;
            if (first == 0) return nullptr;
            void* const block = inLinks.BlockOf(first);
            const std::uint64_t replacement = Bumped(head) | Links::ReadLink(block);
            if (mHead.compare_exchange_weak(head, replacement, std::memory_order_acquire,
                                            std::memory_order_acquire))
                return block;
        }
    }

    // Pops up to inCount blocks into outBlocks with one compare-exchange, in the order
    // single pops would give them; returns how many came, fewer than inCount only when
    // the list ran empty. The walk down the list reads links speculatively, as Pop does:
    // a link may be a stale value, so the walk follows only links that MayFollow allows,
    // and a walk over a list that changed meanwhile fails the exchange.
    std::uint32_t PopMany(const Links& inLinks, void** outBlocks, std::uint32_t inCount) {
        std::uint64_t head = mHead.load(std::memory_order_acquire);
        for (;;) {
            std::uint64_t link = head & kLinkMask;
            std::uint32_t taken = 0;
            while (taken < inCount && link != 0) {
                if (!inLinks.MayFollow(link)) break;  // stale: the exchange will fail
                void* const block = inLinks.BlockOf(link);
                outBlocks[taken++] = block;
                link = Links::ReadLink(block);
            }
            if (taken == 0) return 0;
            if (mHead.compare_exchange_weak(head, Bumped(head) | link, std::memory_order_acquire,
                                            std::memory_order_acquire))
                return taken;
        }
    }

    void Push(const Links& inLinks, void* inBlock) {
        const std::uint64_t link = inLinks.LinkOf(inBlock);
        std::uint64_t head = mHead.load(std::memory_order_relaxed);
        for (;;) {
            Links::WriteLink(inBlock, head & kLinkMask);
            if (mHead.compare_exchange_weak(head, Bumped(head) | link, std::memory_order_release,
                                            std::memory_order_relaxed))
                return;
        }
    }

    // Pushes inCount blocks (at least one) with one compare-exchange; afterwards they pop
    // in the order given, so pushing blocks in ascending order one by one is the same as
    // PushMany of them in descending order.
    void PushMany(const Links& inLinks, void* const* inBlocks, std::uint32_t inCount) {
        for (std::uint32_t i = 0; i + 1 < inCount; ++i)
            Links::WriteLink(inBlocks[i], inLinks.LinkOf(inBlocks[i + 1]));
        PushChain(inLinks, inBlocks[0], inBlocks[inCount - 1]);
    }

    // Pushes blocks that the caller has already linked, from inFirst down to inLast (whose
    // link is written here), with one compare-exchange; inFirst pops first.
    void PushChain(const Links& inLinks, void* inFirst, void* inLast) {
        const std::uint64_t first = inLinks.LinkOf(inFirst);
        std::uint64_t head = mHead.load(std::memory_order_relaxed);
        for (;;) {
            Links::WriteLink(inLast, head & kLinkMask);
            if (mHead.compare_exchange_weak(head, Bumped(head) | first, std::memory_order_release,
                                            std::memory_order_relaxed))
                return;
        }
    }

private:
    static constexpr std::uint64_t kLinkMask = (std::uint64_t(1) << Links::kLinkBits) - 1;
    static constexpr std::uint64_t kCounterStep = std::uint64_t(1) << Links::kLinkBits;

    // The head's counter advanced by one (wrapping), its link bits cleared.
    static std::uint64_t Bumped(std::uint64_t inHead) { return (inHead & ~kLinkMask) + kCounterStep; }

    std::atomic<std::uint64_t> mHead{0};
};

// Links for blocks inside one piece of memory of at most 4 GB: a link is the block's
// offset from the start, 4 bytes in the block, so blocks of 4 bytes can be listed. The
// counter has 32 bits.
struct OffsetLinks {
    static constexpr unsigned kLinkBits = 32;

    std::byte* base;
    std::uint32_t lowest;   // the offsets blocks can have: [lowest, highest]
    std::uint32_t highest;  // (lowest is above 0)

    std::uint64_t LinkOf(const void* inBlock) const {
        return static_cast<std::uint64_t>(static_cast<const std::byte*>(inBlock) - base);
    }
    void* BlockOf(std::uint64_t inLink) const { return base + inLink; }
    bool MayFollow(std::uint64_t inLink) const { return inLink >= lowest && inLink <= highest; }

    TARNCORE_RACY_READ static std::uint64_t ReadLink(const void* inBlock) {
        return *static_cast<const volatile std::uint32_t*>(inBlock);
    }
    static void WriteLink(void* inBlock, std::uint64_t inLink) {
        *static_cast<std::uint32_t*>(inBlock) = static_cast<std::uint32_t>(inLink);
    }
};

// Links for blocks anywhere in the user half of a 64-bit address space (addresses below
// 2^47), aligned to 2^inAlignmentShift bytes: a link is the address without its
// alignment bits, and the whole address is stored in the block. Blocks aligned to 8
// bytes leave a counter of 20 bits, pages of 4096 bytes one of 29 bits. A block
// outside that range cannot be listed: IsListable says so before memory is put to use.
// A stale link could name any address, so these lists have no PopMany.
template <unsigned inAlignmentShift>
struct AddressLinks {
    static constexpr unsigned kAddressBits = 47;
    static constexpr unsigned kLinkBits = kAddressBits - inAlignmentShift;

    static bool IsListable(const void* inMemory, std::size_t inSize) {
        const auto address = reinterpret_cast<std::uintptr_t>(inMemory);
        constexpr std::uintptr_t kLimit = std::uintptr_t(1) << kAddressBits;
        return address % (std::uintptr_t(1) << inAlignmentShift) == 0 && address != 0 && address < kLimit &&
               inSize <= kLimit - address;
    }

    std::uint64_t LinkOf(const void* inBlock) const {
        return reinterpret_cast<std::uintptr_t>(inBlock) >> inAlignmentShift;
    }
    void* BlockOf(std::uint64_t inLink) const {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(inLink << inAlignmentShift));
    }
    TARNCORE_RACY_READ static std::uint64_t ReadLink(const void* inBlock) {
        return *static_cast<const volatile std::uint64_t*>(inBlock);
    }
    static void WriteLink(void* inBlock, std::uint64_t inLink) {
        *static_cast<std::uint64_t*>(inBlock) = inLink;
    }
};

}  // namespace utility
}  // namespace tarncore
