// The library's process-wide small block allocator: Allocate, Dispose and a block's real size.
#pragma once

#include <tarncore/platform/Export.h>

// The library's process-wide allocator for small blocks whose size the caller passes
// again when it gives them back. Sizes up to 8192 bytes are rounded up to one of 71
// size classes, each served by a lock-free pool; larger sizes go to the system's
// aligned allocator (16-byte alignment). No header is stored in front of a block.
// Every function may be called from any thread at any time.
namespace tarncore {
namespace utility {
namespace SmallBlockAllocator {

// A block of at least inSize bytes. Throws std::bad_alloc when a pool can get no
// memory; for sizes the system serves, its null result is returned as it comes.
TARNCORE_API void* Allocate(unsigned int inSize);

// Gives back a block of Allocate. inSize must select the same size class as the size
// it was allocated with (normally the same number). Null is ignored.
TARNCORE_API void Dispose(void* inBlock, unsigned int inSize);

// The number of bytes Allocate(inSize) really provides.
TARNCORE_API unsigned int GetActualAllocationSize(unsigned int inSize);

}  // namespace SmallBlockAllocator
}  // namespace utility
}  // namespace tarncore
