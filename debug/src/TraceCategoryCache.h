// Category settings as the trace lock last saw them, for answering trace queries without the lock.
#pragma once

#include <tarncore/utility/StringTypes.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarncore {
namespace debug {
namespace detail {

// A category's setting.
struct TraceRecord {
    bool enabled;
    std::int32_t volume;
};

// The settings packed in one word for atomics: enabled in bit 32, the volume below.
inline std::uint64_t PackRecord(TraceRecord inRecord) {
    return (static_cast<std::uint64_t>(inRecord.enabled) << 32) | static_cast<std::uint32_t>(inRecord.volume);
}

inline TraceRecord UnpackRecord(std::uint64_t inWord) {
    return TraceRecord{((inWord >> 32) & 1) != 0,
                       static_cast<std::int32_t>(static_cast<std::uint32_t>(inWord))};
}

// Copies of category records, written under the trace lock and read by any thread
// without it. Entries are found by name in an open-addressed table whose slots are only
// ever filled, never emptied, so readers need no lock and no entry is freed while one
// may be reading it: a category stays in the table for the life of the process (there
// are a few dozen in practice; past kMaxEntries new ones are simply not cached).
//
// An entry answers only in the generation it was written in. Invalidate() starts a new
// generation, which makes every entry stale until the next locked lookup writes it again.
class TraceCategoryCache {
public:
    static constexpr std::size_t kSlots = 1024;  // a power of two
    static constexpr std::size_t kMaxEntries = kSlots / 2;

    // Constant-initialized, so that trace queries made while the process's statics are
    // being made find it ready.
    constexpr TraceCategoryCache() = default;
    TraceCategoryCache(const TraceCategoryCache&) = delete;
    TraceCategoryCache& operator=(const TraceCategoryCache&) = delete;

    // Any thread: the category's record when the cache holds a current one.
    bool Find(const utility::UTF8String& inName, TraceRecord& outRecord) const {
        const std::uint64_t generation = mGeneration.load(std::memory_order_acquire);
        const Entry* const entry = Lookup(inName.data(), inName.size(), Hash(inName.data(), inName.size()));
        if (entry == nullptr || entry->generation.load(std::memory_order_acquire) != generation) return false;
        outRecord = UnpackRecord(entry->record.load(std::memory_order_relaxed));
        return true;
    }

    // Under the trace lock: the category's record as the database holds it now.
    void Store(const utility::UTF8String& inName, TraceRecord inRecord);

    // Under the trace lock: every entry stale.
    void Invalidate() { mGeneration.fetch_add(1, std::memory_order_acq_rel); }

private:
    struct Entry {
        Entry(const utility::UTF8String& inName, std::uint64_t inHash) : name(inName), hash(inHash) {}
        const utility::UTF8String name;
        const std::uint64_t hash;
        std::atomic<std::uint64_t> generation{0};  // 0: never written
        std::atomic<std::uint64_t> record{0};
    };

    // A cheap mix of the length and the first and last bytes; the full name is compared
    // on a match.
    static std::uint64_t Hash(const utility::UTF8Char* inText, std::size_t inSize) {
        std::uint64_t head = 0, tail = 0;
        if (inSize >= 8) {
            std::memcpy(&head, inText, 8);
            std::memcpy(&tail, inText + inSize - 8, 8);
        } else if (inSize >= 4) {
            std::uint32_t a, b;
            std::memcpy(&a, inText, 4);
            std::memcpy(&b, inText + inSize - 4, 4);
            head = a;
            tail = b;
        } else if (inSize > 0) {
            head = inText[0] | (std::uint64_t(inText[inSize / 2]) << 8) |
                   (std::uint64_t(inText[inSize - 1]) << 16);
        }
        std::uint64_t h = (head ^ (inSize * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        h ^= (tail + (h >> 31)) * 0x94D049BB133111EBull;
        return h ^ (h >> 29);
    }

    Entry* Lookup(const utility::UTF8Char* inText, std::size_t inSize, std::uint64_t inHash) const {
        for (std::size_t i = inHash & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            Entry* const entry = mSlots[i].load(std::memory_order_acquire);
            if (entry == nullptr) return nullptr;
            if (entry->hash == inHash && entry->name.size() == inSize &&
                (inSize == 0 || std::memcmp(entry->name.data(), inText, inSize) == 0))
                return entry;
        }
    }

    std::atomic<Entry*> mSlots[kSlots] = {};
    std::size_t mEntries = 0;  // under the trace lock
    std::atomic<std::uint64_t> mGeneration{1};
};

}  // namespace detail
}  // namespace debug
}  // namespace tarncore
