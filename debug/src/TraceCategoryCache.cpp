// Writing category records into the lock-free cache of trace settings.
#include "debug/src/TraceCategoryCache.h"

namespace tarncore {
namespace debug {
namespace detail {

void TraceCategoryCache::Store(const utility::UTF8String& inName, TraceRecord inRecord) {
    const Key key = KeyOf(inName.data(), inName.size());
    Entry* entry = Lookup(key, inName.data());
    if (entry == nullptr) {
        if (mEntries == kMaxEntries) return;
        entry = new Entry(inName, key);
        std::size_t i = SlotOf(key);
        while (mSlots[i].load(std::memory_order_relaxed) != nullptr) i = (i + 1) & (kSlots - 1);
        // The entry is complete before a reader can find it.
        mSlots[i].store(entry, std::memory_order_release);
        ++mEntries;
    }
    // The record before its generation: a reader that sees the generation sees a record
    // at least that new.
    entry->record.store(PackRecord(inRecord), std::memory_order_relaxed);
    entry->generation.store(mGeneration.load(std::memory_order_relaxed), std::memory_order_release);
}

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
