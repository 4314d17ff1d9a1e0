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
    static constexpr unsigned kSlotBits = 10;
    static constexpr std::size_t kSlots = std::size_t(1) << kSlotBits;
    static constexpr std::size_t kMaxEntries = kSlots / 2;
    // Names up to this long are compared by their two key words alone.
    static constexpr std::size_t kKeyBytes = 16;

    // Constant-initialized, so that trace queries made while the process's statics are
    // being made find it ready.
    constexpr TraceCategoryCache() = default;
    TraceCategoryCache(const TraceCategoryCache&) = delete;
    TraceCategoryCache& operator=(const TraceCategoryCache&) = delete;

    // Any thread: the category's record when the cache holds a current one.
    bool Find(const utility::UTF8String& inName, TraceRecord& outRecord) const {
        const Entry* const entry = Lookup(KeyOf(inName.data(), inName.size()), inName.data());
        if (entry == nullptr) return false;
        // The entry's generation before the current one: a generation started in
        // between only sends the query to the lock.
        const std::uint64_t written = entry->generation.load(std::memory_order_acquire);
        if (written != mGeneration.load(std::memory_order_acquire)) return false;
        outRecord = UnpackRecord(entry->record.load(std::memory_order_relaxed));
        return true;
    }

    // Under the trace lock: the category's record as the database holds it now.
    void Store(const utility::UTF8String& inName, TraceRecord inRecord);

    // Under the trace lock: every entry stale.
    void Invalidate() { mGeneration.fetch_add(1, std::memory_order_acq_rel); }

private:
    // A name's length and two words of its bytes: the first and last eight (four for
    // shorter names, overlapping), or for names under four bytes the first, middle and
    // last byte. Up to sixteen bytes that is the whole name; longer names compare their
    // middle too. Queries come on hot paths: this costs two loads, not a pass over the name.
    struct Key {
        std::uint64_t head;
        std::uint64_t tail;
        std::size_t size;
    };

    // The bytes of names up to this long are kept in the entry itself, beside its key,
    // so that comparing them reads no other memory.
    static constexpr std::size_t kInlineBytes = 64;

    struct Entry {
        Entry(const utility::UTF8String& inName, const Key& inKey) : key(inKey), name(inName) {
            if (inName.size() <= kInlineBytes) std::memcpy(bytes, inName.data(), inName.size());
        }
        const utility::UTF8Char* Bytes() const { return key.size <= kInlineBytes ? bytes : name.data(); }

        const Key key;
        std::atomic<std::uint64_t> generation{0};  // 0: never written
        std::atomic<std::uint64_t> record{0};
        utility::UTF8Char bytes[kInlineBytes] = {};
        const utility::UTF8String name;
    };

    static Key KeyOf(const utility::UTF8Char* inText, std::size_t inSize) {
        Key key{0, 0, inSize};
        if (inSize >= 8) {
            std::memcpy(&key.head, inText, 8);
            std::memcpy(&key.tail, inText + inSize - 8, 8);
        } else if (inSize >= 4) {
            std::uint32_t head, tail;
            std::memcpy(&head, inText, 4);
            std::memcpy(&tail, inText + inSize - 4, 4);
            key.head = head;
            key.tail = tail;
        } else if (inSize > 0) {
            key.head = inText[0] | (std::uint64_t(inText[inSize / 2]) << 8) |
                       (std::uint64_t(inText[inSize - 1]) << 16);
        }
        return key;
    }

    // One multiply: the tail turned so that a name of eight bytes, whose two words are
    // the same, does not cancel out.
    static std::size_t SlotOf(const Key& inKey) {
        const std::uint64_t tail = (inKey.tail << 29) | (inKey.tail >> 35);
        const std::uint64_t mixed = (inKey.head ^ tail ^ inKey.size) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(mixed >> (64 - kSlotBits));
    }

    // The bytes of two names of inSize (over 16) bytes that their keys leave out, eight
    // at a time and inline: a call here would cost the fast path its frame-less form.
    static bool SameMiddle(const utility::UTF8Char* inFirst, const utility::UTF8Char* inSecond,
                           std::size_t inSize) {
        for (std::size_t i = 8; i + 8 < inSize; i += 8) {
            std::uint64_t a, b;
            std::memcpy(&a, inFirst + i, 8);
            std::memcpy(&b, inSecond + i, 8);
            if (a != b) return false;
        }
        return true;
    }

    Entry* Lookup(const Key& inKey, const utility::UTF8Char* inText) const {
        for (std::size_t i = SlotOf(inKey);; i = (i + 1) & (kSlots - 1)) {
            Entry* const entry = mSlots[i].load(std::memory_order_acquire);
            if (entry == nullptr) return nullptr;
            if (entry->key.head == inKey.head && entry->key.tail == inKey.tail &&
                entry->key.size == inKey.size &&
                (inKey.size <= kKeyBytes || SameMiddle(entry->Bytes(), inText, inKey.size)))
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
