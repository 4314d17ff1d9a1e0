// The case table: its entry types, the generated entries and the lookup.
#pragma once

#include <cstddef>
#include <cstdint>

// The case table: every key unit with its lower, upper and fold strings. The entries
// are generated (CaseTable_generated.cpp, utility/tools/generate_case_table.py).
namespace tarncore {
namespace utility {
namespace casetable {

struct CaseString {
    std::uint8_t length;  // 1 to 3
    std::uint16_t units[3];
};

struct CaseEntry {
    std::uint16_t key;
    CaseString lower;
    CaseString upper;
    CaseString fold;
};

// Sorted by key.
extern const CaseEntry kEntries[];
extern const std::size_t kEntryCount;

enum Kind : int { kLower = 0, kUpper = 1, kFold = 2 };

// The table's string of the given kind for inUnit, or null when inUnit is not a key.
// Builds the lookup on the first call.
const CaseString* Find(std::uint16_t inUnit, Kind inKind);

}  // namespace casetable
}  // namespace utility
}  // namespace tarncore
