// The allocator registry: Allocator, its per-size allocators, emergency memory mode and ScopedPtr.
#pragma once

#include <tarncore/platform/Export.h>

#include <cstdint>

/// @file
/// A second allocator for blocks whose size the caller passes again when it gives them
/// back, beside the small block allocator (SmallBlockAllocator.h). Sizes up to 1024
/// bytes are rounded up to one of 30 block sizes (8, 16, 24, 32, 48, then 64 to 256 by
/// 16, 288 to 512 by 32, and 640, 768, 896, 1024); each has its own allocator with a
/// lock-free free list of blocks, cut from 4096-byte pages of one shared page pool.
/// Larger sizes go to the system heap. No header is stored in front of a block, and
/// pages are never given back to the system while the process runs.
///
/// Block order: a page is cut into as many blocks as fit, from its start; the last
/// block is handed out and the others are kept free, so that they come next from the
/// highest down. A block given back is the next one handed out of its size (last in,
/// first out).
///
/// When the system refuses memory, an installed new-handler is called and the request
/// tried again for as long as the handler returns (a handler that cannot help throws
/// std::bad_alloc or uninstalls itself). In emergency memory mode the allocator then
/// tries a single page, and then borrows a free block of a larger size; otherwise, and
/// when that fails too, the request throws std::bad_alloc.
///
/// Every function may be called from any thread at any time, also while the process
/// ends.
namespace tarncore {
namespace utility {

/// One allocator of the registry, and the registry's entry points.
class TARNCORE_API Allocator {
public:
    /// The allocator that serves inSize: the one of the smallest block size not below
    /// it (8 for 0), or the heap allocator above 1024 bytes. The same object for the
    /// whole process.
    static Allocator* GetAllocator(std::uint32_t inSize);
    /// A block of at least inSize bytes: GetAllocator(inSize)->AllocateBlock(inSize).
    /// Throws std::bad_alloc when no memory can be had.
    static void* Allocate(std::uint32_t inSize);
    /// Gives back a block of Allocate; inSize must select the same allocator as the size
    /// it was allocated with. Null is ignored.
    static void Dispose(void* inBlock, std::uint32_t inSize);

    virtual ~Allocator() = 0;
    /// A block of inSize bytes, at most this allocator's block size when it has one.
    /// Throws std::bad_alloc when no memory can be had.
    virtual void* AllocateBlock(std::uint32_t inSize) = 0;
    /// Takes back a block of this allocator (or, in emergency mode, of a larger block size
    /// it lent); null is ignored.
    virtual void DisposeBlock(void* inBlock) = 0;
};

/// Switches emergency memory mode on or off, at any time; it only changes what happens
/// when the system refuses memory. Off when the process starts.
TARNCORE_API void SetEmergencyMemoryMode(bool inOn);
/// Whether emergency memory mode is on.
TARNCORE_API bool GetEmergencyMemoryMode();

/// Owns one object and deletes it when destroyed; for process-wide objects kept in
/// function-local statics, deleted at process exit in the reverse order of creation.
template <class T>
class ScopedPtr {
public:
    /// Takes inObject (null allowed) over.
    explicit ScopedPtr(T* inObject = nullptr) : mObject(inObject) {}
    ScopedPtr(const ScopedPtr&) = delete;
    ScopedPtr& operator=(const ScopedPtr&) = delete;
    virtual ~ScopedPtr() { delete mObject; }

    /// The object, or null.
    T* Get() const { return mObject; }
    T& operator*() const { return *mObject; }
    T* operator->() const { return mObject; }
    /// Deletes the object held and takes inObject over.
    void Reset(T* inObject = nullptr) {
        T* const old = mObject;
        mObject = inObject;
        delete old;
    }

private:
    T* mObject;
};

}  // namespace utility
}  // namespace tarncore
