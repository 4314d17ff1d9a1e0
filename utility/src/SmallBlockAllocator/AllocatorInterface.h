// The interface of a pool of equally sized blocks behind the small block allocator.
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

    // The same two operations for several blocks at once, for the per-thread front.
    // Up to inCount blocks into outBlocks (at least one), in the order Allocate would
    // hand them out; throws as Allocate does.
    virtual std::uint32_t AllocateBatch(void** outBlocks, std::uint32_t inCount) = 0;
    // Takes back every block of ioBlocks that lies in one of the pool's chunks, with the
    // pool left as Dispose of each in turn would leave it. The blocks the pool does not
    // own are moved to the start of ioBlocks, and their number is returned.
    virtual std::uint32_t DisposeBatch(void** ioBlocks, std::uint32_t inCount) = 0;

protected:
    // Pools live until the process ends; nobody deletes them through this interface.
    ~AllocatorInterface() = default;
};

}  // namespace utility
}  // namespace tarncore
