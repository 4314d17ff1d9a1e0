#pragma once

#include <cstdint>

namespace tarncore {
namespace utility {

// A pool of equally sized blocks behind the small block allocator.
class AllocatorInterface {
public:
    // Never null; throws std::bad_alloc when no memory can be had.
    virtual void* Allocate(std::uint32_t inSize) = 0;
    // True when the block lies in one of the pool's chunks and has been taken back;
    // false (and nothing done) otherwise.
    virtual bool Dispose(void* inBlock, std::uint32_t inSize) = 0;
    virtual std::uint32_t BlockSize() = 0;

protected:
    // Pools live until the process ends; nobody deletes them through this interface.
    ~AllocatorInterface() = default;
};

}  // namespace utility
}  // namespace tarncore
