// RefCountedObject's release of the last reference.
#include <tarncore/utility/RefCountedObject.h>

namespace tarncore {
namespace utility {

RefCountedObject::~RefCountedObject() noexcept(false) = default;

void RefCountedObject::Release() const {
    if (mRefCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    if (mBeingDestroyed || mNotOwnedByReferences) return;
    mBeingDestroyed = true;
    try {
        delete this;
    } catch (...) {
        // Release runs inside boost::intrusive_ptr's destructor, which cannot pass an
        // exception on; a throwing destructor has done its work by the time it throws.
    }
}

}  // namespace utility
}  // namespace tarncore
