// The library's process-wide small block allocator: Allocate, Dispose and a block's real size.
#pragma once

#include <tarncore/platform/Export.h>

#include <cstdint>

/// @file
/// The library's process-wide allocator for small blocks whose size the caller passes
/// again when it gives them back. Sizes up to 8192 bytes are rounded up to one of 71
/// size classes, each served by a lock-free pool; larger sizes go to the system's
/// aligned allocator (16-byte alignment). No header is stored in front of a block.
/// Every function may be called from any thread at any time.
///
/// Each thread keeps free blocks of every size class for itself, so that most calls
/// touch nothing another thread touches: at first up to about 32 KB of blocks per class;
/// a class that keeps overflowing gets more room, up to 8 MB of blocks for all classes
/// of the thread together (the class in use takes the room of classes that grew
/// before). What a caller can see of this is when chunks go back: a
/// block given back waits in its thread's cache, and its pool counts it as in use, until
/// that cache passes its bound, the thread calls Trim, or the thread ends (whether or
/// not it calls the allocator again). Only then can the block's chunk fall empty and be
/// released, to the pool of chunks or to the system. Blocks of 4144 and 66352 bytes and
/// the sizes the system serves are never cached.
namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

/// A block of at least inSize bytes. Throws std::bad_alloc when a pool can get no
/// memory; for sizes the system serves, its null result is returned as it comes.
TARNCORE_API void* Allocate(unsigned int inSize);

/// Gives back a block of Allocate. inSize must select the same size class as the size
/// it was allocated with (normally the same number). Null is ignored.
TARNCORE_API void Dispose(void* inBlock, unsigned int inSize);

/// Gives the blocks the calling thread keeps back to their pools, which release the
/// chunks that fall empty. Other threads' caches drain when those threads trim, pass a
/// cache's bound or end.
TARNCORE_API void Trim();

/// The number of bytes Allocate(inSize) really provides.
TARNCORE_API unsigned int GetActualAllocationSize(unsigned int inSize);

/// Allocator statistics. None are kept: GetSnapshot always answers false.
namespace Metrics {

/// What a snapshot of the allocator's use would hold.
struct Snapshot {
    std::uint64_t bytesHeld = 0;    ///< Memory the pools hold, in bytes.
    std::uint64_t blocksInUse = 0;  ///< Blocks handed out and not given back.
};

/// Fills outSnapshot when statistics are kept; they are not, so it returns false and
/// leaves outSnapshot unchanged.
TARNCORE_API bool GetSnapshot(Snapshot& outSnapshot);

}  // namespace Metrics

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
