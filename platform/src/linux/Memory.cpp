#include "platform/os/Memory.h"

#include <cstdio>
#include <cstdlib>

#include <malloc.h>

#include <unistd.h>

namespace tarncore {
namespace platform {

void* AlignedAllocate(std::size_t inSize, std::size_t inAlignment) {
    void* block = nullptr;
    if (::posix_memalign(&block, inAlignment, inSize) != 0) return nullptr;
    return block;
}

void AlignedFree(void* inBlock) { std::free(inBlock); }

void ReleaseFreeMemory() { ::malloc_trim(0); }

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
