// Linux: aligned blocks through posix_memalign, heap blocks through malloc, pages given back with madvise.
#include "platform/os/Memory.h"

#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define TARNCORE_LEAK_CHECKER 1
#endif
#endif
#if !defined(TARNCORE_LEAK_CHECKER) && (defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_LEAK__))
#define TARNCORE_LEAK_CHECKER 1
#endif
#if defined(TARNCORE_LEAK_CHECKER)
#include <sanitizer/lsan_interface.h>
#endif

#include <unistd.h>

namespace tarncore {
namespace platform {

void* AlignedAllocate(std::size_t inSize, std::size_t inAlignment) {
    void* block = nullptr;
    if (::posix_memalign(&block, inAlignment, inSize) != 0) return nullptr;
    return block;
}

void AlignedFree(void* inBlock) { std::free(inBlock); }

void* HeapAllocate(std::size_t inSize) { return std::malloc(inSize); }

void HeapFree(void* inBlock) { std::free(inBlock); }

void KeepUntilExit([[maybe_unused]] void* inBlock) {
#if defined(TARNCORE_LEAK_CHECKER)
    if (inBlock != nullptr) __lsan_ignore_object(inBlock);
#endif
}

void DiscardPages(void* inBlock, std::size_t inSize) {
    const std::size_t kKept = 64;
    if (inBlock == nullptr || inSize <= 2 * kKept) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(inBlock) + kKept;
    const auto end = reinterpret_cast<std::uintptr_t>(inBlock) + inSize - kKept;
    const std::uintptr_t first = (begin + page - 1) / page * page;
    const std::uintptr_t last = end / page * page;
    if (first < last) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

void* MapZeroedMemory(std::size_t inSize) {
    void* memory =
        ::mmap(nullptr, inSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
}

void UnmapMemory(void* inMemory, std::size_t inSize) {
    if (inMemory != nullptr) ::munmap(inMemory, inSize);
}

std::uint64_t ResidentMemoryBytes() {
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) return 0;
    unsigned long long size = 0;
    unsigned long long resident = 0;
    const int read = std::fscanf(file, "%llu %llu", &size, &resident);
    std::fclose(file);
    if (read != 2) return 0;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace platform
}  // namespace tarncore
