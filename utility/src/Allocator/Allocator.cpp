// The allocator registry: the size table, the named creation locks, the page pool and emergency mode.
#include <tarncore/utility/Allocator.h>

#include <tarncore/threads/Mutex.h>

#include "Registry.h"
#include "platform/os/Memory.h"

#include <atomic>
#include <utility>

namespace tarncore {
namespace utility {

namespace registry {

namespace {

using Lock = threads::ScopedLock<threads::RecursiveMutex, boost::recursive_mutex>;

std::atomic<SystemRefusal> sRefusal{nullptr};

bool Refused(std::size_t inSize) {
    const SystemRefusal refusal = sRefusal.load(std::memory_order_acquire);
    return refusal != nullptr && refusal(inSize);
}

// The registry's objects are made on first use, each checked before and again after
// taking its creation lock, and live until the process ends: they are never deleted,
// so that blocks may still come and go while the process's statics are destroyed.

std::atomic<BlockAllocator*> sBlockAllocator{nullptr};

template <std::uint32_t N>
PrivateAllocator* GetFixedSizeAllocator() {
    static std::atomic<FixedSizeNonBlockingAllocator<N>*> sAllocator{nullptr};
    if (auto* allocator = sAllocator.load(std::memory_order_acquire)) return allocator;
    // One creation mutex for each block size, all of the same name.
    static threads::RecursiveMutex* const sMutex =
        new threads::RecursiveMutex("tarncore/tarnallocator/getfixedsizeallocatormutex");
    Lock lock("tarncore/tarnallocator/GetFixedSizeAllocator/lock", *sMutex, true);
    auto* allocator = sAllocator.load(std::memory_order_relaxed);
    if (allocator == nullptr) {
        allocator = new FixedSizeNonBlockingAllocator<N>(GetBlockAllocator());
        sAllocator.store(allocator, std::memory_order_release);
    }
    return allocator;
}

using Getter = PrivateAllocator* (*)();

template <std::size_t... inIndex>
constexpr std::array<Getter, kClassCount> MakeGetters(std::index_sequence<inIndex...>) {
    return {&GetFixedSizeAllocator<kClassSizes[inIndex]>...};
}

// The allocator of every size up to 1024, and of the larger ones; written once, before
// sReady.
std::atomic<bool> sReady{false};
PrivateAllocator* sTable[kLargestClassSize + 1];
PrivateAllocator* sDynamic;

[[gnu::noinline]] void FillTable() {
    static threads::RecursiveMutex* const sMutex =
        new threads::RecursiveMutex("tarncore/tarnallocator/findallocatormutex");
    Lock lock("tarncore/tarnallocator/FindAllocator/lock", *sMutex, true);
    if (sReady.load(std::memory_order_relaxed)) return;
    constexpr std::array<Getter, kClassCount> kGetters = MakeGetters(std::make_index_sequence<kClassCount>());
    std::uint32_t size = 0;
    for (std::size_t c = 0; c < kClassCount; ++c) {
        PrivateAllocator* const allocator = kGetters[c]();
        for (; size <= kClassSizes[c]; ++size) sTable[size] = allocator;
    }
    sDynamic = new DynamicAllocator();
    sReady.store(true, std::memory_order_release);
}

inline PrivateAllocator* FindAllocator(std::uint32_t inSize) {
    if (!sReady.load(std::memory_order_acquire)) FillTable();
    return inSize <= kLargestClassSize ? sTable[inSize] : sDynamic;
}

}  // namespace

void SetSystemRefusalForTesting(SystemRefusal inRefusal) {
    sRefusal.store(inRefusal, std::memory_order_release);
}

void* SystemAlignedAllocate(std::size_t inSize, std::size_t inAlignment) {
    return Refused(inSize) ? nullptr : platform::AlignedAllocate(inSize, inAlignment);
}

void* SystemHeapAllocate(std::size_t inSize) {
    return Refused(inSize) ? nullptr : platform::HeapAllocate(inSize);
}

void* Borrow(const Allocator* inFrom, std::uint32_t inSize) {
    std::uint32_t size = inSize;
    while (size <= kLargestClassSize && FindAllocator(size) == inFrom) ++size;
    return FindAllocator(size)->TryAllocateFromFreeList(size);
}

BlockAllocator& GetBlockAllocator() {
    if (BlockAllocator* pool = sBlockAllocator.load(std::memory_order_acquire)) return *pool;
    static threads::RecursiveMutex* const sMutex =
        new threads::RecursiveMutex("tarncore/tarnallocator/creationmutex");
    Lock lock("tarncore/tarnallocator/GetBlockAllocator/lock", *sMutex, true);
    BlockAllocator* pool = sBlockAllocator.load(std::memory_order_relaxed);
    if (pool == nullptr) {
        pool = new BlockAllocator();
        sBlockAllocator.store(pool, std::memory_order_release);
    }
    return *pool;
}

void* BlockAllocator::TakePage() {
    if (void* page = mPages.Pop(PageLinks())) return page;

    // Memory the lists could not name is as good as none.
    void* memory = WithNewHandler([] { return SystemAlignedAllocate(kRefillSize, kPageSize); });
    if (memory != nullptr && !PageLinks::IsListable(memory, kRefillSize)) {
        platform::AlignedFree(memory);
        memory = nullptr;
    }
    if (memory != nullptr) {
        // Free pages are linked only through the pool, in a form a leak checker cannot
        // follow; the refill stays until the process ends.
        platform::KeepUntilExit(memory);
        // The first 252 pages as if pushed from the lowest up: linked from the highest
        // down, with one exchange; the last page comes out.
        auto* const pages = static_cast<std::byte*>(memory);
        std::byte* const last = pages + (kPagesPerRefill - 1) * kPageSize;
        for (std::byte* page = last - kPageSize; page != pages; page -= kPageSize)
            PageLinks::WriteLink(page, PageLinks().LinkOf(page - kPageSize));
        mPages.PushChain(PageLinks(), last - kPageSize, pages);
        return last;
    }

    if (!GetEmergencyMemoryMode()) return nullptr;
    void* page = SystemAlignedAllocate(kPageSize, kEmergencyPageAlignment);
    if (page != nullptr && !BlockLinks::IsListable(page, kPageSize)) {
        platform::AlignedFree(page);
        return nullptr;
    }
    platform::KeepUntilExit(page);
    return page;
}

void* DynamicAllocator::AllocateBlock(std::uint32_t inSize) {
    if (void* block = WithNewHandler([inSize] { return SystemHeapAllocate(inSize); })) return block;
    throw std::bad_alloc();
}

void DynamicAllocator::DisposeBlock(void* inBlock) { platform::HeapFree(inBlock); }

}  // namespace registry

Allocator::~Allocator() = default;

Allocator* Allocator::GetAllocator(std::uint32_t inSize) { return registry::FindAllocator(inSize); }

void* Allocator::Allocate(std::uint32_t inSize) {
    void* const block = registry::FindAllocator(inSize)->AllocateBlock(inSize);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void Allocator::Dispose(void* inBlock, std::uint32_t inSize) {
    if (inBlock != nullptr) registry::FindAllocator(inSize)->DisposeBlock(inBlock);
}

namespace {
// Read and written without order: the mode only decides what a refused request does next.
std::atomic<bool> sEmergencyMemoryMode{false};
}  // namespace

void SetEmergencyMemoryMode(bool inOn) { sEmergencyMemoryMode.store(inOn, std::memory_order_relaxed); }

bool GetEmergencyMemoryMode() { return sEmergencyMemoryMode.load(std::memory_order_relaxed); }

}  // namespace utility
}  // namespace tarncore
