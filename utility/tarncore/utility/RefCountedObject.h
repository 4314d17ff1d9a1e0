// RefCountedObject, the intrusive reference-counted base for boost::intrusive_ptr.
#pragma once

#include <tarncore/platform/Export.h>

#include <atomic>
#include <cstdint>

namespace tarncore {
namespace utility {

/// Intrusive reference-counted base for boost::intrusive_ptr. Releasing the last
/// reference deletes the object, unless it is already being destroyed or has been
/// declared not owned by its references (an object on the stack or held elsewhere).
class TARNCORE_API RefCountedObject {
public:
    RefCountedObject() = default;
    /// A copy is a new object: it starts without references and with both flags clear.
    RefCountedObject(const RefCountedObject&) : RefCountedObject() {}
    RefCountedObject& operator=(const RefCountedObject&) { return *this; }
    /// Derived destructors may throw (a deferred error reporter reports from its own).
    virtual ~RefCountedObject() noexcept(false);

    std::int32_t GetRefCount() const { return mRefCount.load(std::memory_order_acquire); }
    bool IsBeingDestroyed() const { return mBeingDestroyed; }
    bool IsNotOwnedByReferences() const { return mNotOwnedByReferences; }
    void SetNotOwnedByReferences(bool inNotOwned) { mNotOwnedByReferences = inNotOwned; }

    void AddRef() const { mRefCount.fetch_add(1, std::memory_order_relaxed); }
    /// Drops one reference and deletes the object when that was the last one.
    void Release() const;

private:
    mutable std::atomic<std::int32_t> mRefCount{0};
    mutable bool mBeingDestroyed = false;
    bool mNotOwnedByReferences = false;
};

/// The hooks boost::intrusive_ptr calls.
/// @{
inline void intrusive_ptr_add_ref(const RefCountedObject* inObject) { inObject->AddRef(); }
inline void intrusive_ptr_release(const RefCountedObject* inObject) { inObject->Release(); }
/// @}

}  // namespace utility
}  // namespace tarncore
