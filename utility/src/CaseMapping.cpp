// Case mapping through the two-stage lookup over the generated case table.
#include <tarncore/utility/CaseMapping.h>

#include "CaseTable.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace tarncore {
namespace utility {

namespace casetable {

namespace {

// In the per-block tables: "the mapping has more than one unit, see the entry". No key
// maps to a lone surrogate, and surrogates are never keys.
constexpr std::uint16_t kExpanded = 0xD800;

// Two-stage lookup over the 256-unit blocks that hold keys. Each kind has, for every
// unit of those blocks, its one-unit mapping (the unit itself for non-keys) or
// kExpanded; entryOf leads from a unit to its entry.
struct Lookup {
    std::uint8_t blockOf[256] = {};  // 0: the block has no key; else block number + 1
    std::vector<std::uint16_t> single[3];
    std::vector<std::uint16_t> entryOf;  // entry index + 1, 0 for non-keys

    Lookup() {
        int blocks = 0;
        for (std::size_t i = 0; i < kEntryCount; ++i) {
            std::uint8_t& block = blockOf[kEntries[i].key >> 8];
            if (block == 0) block = static_cast<std::uint8_t>(++blocks);
        }
        entryOf.assign(static_cast<std::size_t>(blocks) * 256, 0);
        for (auto& table : single) table.resize(entryOf.size());
        for (int high = 0; high < 256; ++high) {
            if (blockOf[high] == 0) continue;
            const std::size_t base = (blockOf[high] - 1u) * 256u;
            for (int low = 0; low < 256; ++low)
                for (auto& table : single) table[base + low] = static_cast<std::uint16_t>(high << 8 | low);
        }
        for (std::size_t i = 0; i < kEntryCount; ++i) {
            const CaseEntry& entry = kEntries[i];
            const std::size_t slot = Slot(entry.key);
            entryOf[slot] = static_cast<std::uint16_t>(i + 1);
            const CaseString* strings[3] = {&entry.lower, &entry.upper, &entry.fold};
            for (int kind = 0; kind < 3; ++kind) {
                assert(strings[kind]->length == 1 ? strings[kind]->units[0] != kExpanded : true);
                single[kind][slot] = strings[kind]->length == 1 ? strings[kind]->units[0] : kExpanded;
            }
        }
    }

    std::size_t Slot(std::uint16_t inUnit) const {
        return (blockOf[inUnit >> 8] - 1u) * 256u + (inUnit & 0xFF);
    }

    const CaseString& Expansion(std::uint16_t inUnit, Kind inKind) const {
        const CaseEntry& entry = kEntries[entryOf[Slot(inUnit)] - 1];
        return inKind == kLower ? entry.lower : inKind == kUpper ? entry.upper : entry.fold;
    }
};

// Built once, on the first call of any mapping; threads that arrive meanwhile wait.
const Lookup& GetLookup() {
    static const Lookup lookup;
    return lookup;
}

}  // namespace

const CaseString* Find(std::uint16_t inUnit, Kind inKind) {
    const Lookup& lookup = GetLookup();
    if (lookup.blockOf[inUnit >> 8] == 0 || lookup.entryOf[lookup.Slot(inUnit)] == 0) return nullptr;
    return &lookup.Expansion(inUnit, inKind);
}

}  // namespace casetable

namespace {

UTF16String Map(const UTF16String& inText, casetable::Kind inKind) {
    const casetable::Lookup& lookup = casetable::GetLookup();
    const std::uint16_t* single = lookup.single[inKind].data();
    const std::size_t count = inText.size();
    UTF16String result(count, 0);
    std::size_t out = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const UTF16Char unit = inText[i];
        const std::uint8_t block = lookup.blockOf[unit >> 8];
        if (block == 0) {
            result[out++] = unit;
            continue;
        }
        const std::uint16_t mapped = single[(block - 1u) * 256u + (unit & 0xFF)];
        if (mapped != casetable::kExpanded) {
            result[out++] = mapped;
            continue;
        }
        const casetable::CaseString& expansion = lookup.Expansion(unit, inKind);
        const std::size_t needed = out + expansion.length + (count - i - 1);
        if (needed > result.size()) result.resize(needed + needed / 4);
        for (int k = 0; k < expansion.length; ++k) result[out++] = expansion.units[k];
    }
    result.resize(out);
    return result;
}

}  // namespace

UTF16String LowerCase(const UTF16String& inText) { return Map(inText, casetable::kLower); }
UTF16String UpperCase(const UTF16String& inText) { return Map(inText, casetable::kUpper); }
UTF16String FoldCase(const UTF16String& inText) { return Map(inText, casetable::kFold); }

void ToLowerCase(UTF16String& ioText) { ioText = LowerCase(ioText); }
void ToUpperCase(UTF16String& ioText) { ioText = UpperCase(ioText); }
void ToFoldCase(UTF16String& ioText) { ioText = FoldCase(ioText); }

void ValidateForHex(UTF16String& ioText) {
    ToUpperCase(ioText);
    ioText.erase(
        std::remove_if(ioText.begin(), ioText.end(),
                       [](UTF16Char c) { return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')); }),
        ioText.end());
}

}  // namespace utility
}  // namespace tarncore
