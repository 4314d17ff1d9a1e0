// ReplacementValue, the typed value an error report carries for its placeholders.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <type_traits>

namespace tarncore {
namespace config {

/// A typed value carried by an error report for its "^1" to "^4" placeholders.
class TARNCORE_API ReplacementValue {
public:
    enum ValueKind : std::int32_t {
        kValueNone = 0,
        kValueSigned = 1,
        kValueUnsigned = 2,
        kValueDouble = 3,
        kValueString = 4
    };

    ReplacementValue() = default;
    ReplacementValue(std::int32_t inValue) : mKind(kValueSigned), mSigned(inValue) {}
    ReplacementValue(std::uint32_t inValue) : mKind(kValueUnsigned), mUnsigned(inValue) {}
    ReplacementValue(std::int64_t inValue) : mKind(kValueSigned), mSigned(inValue) {}
    ReplacementValue(std::uint64_t inValue) : mKind(kValueUnsigned), mUnsigned(inValue) {}
    ReplacementValue(double inValue) : mKind(kValueDouble), mDouble(inValue) {}
    ReplacementValue(const utility::UTF16String& inValue) : mKind(kValueString), mString(inValue) {}

    /// Every other integer type (long long, short, char, ...) widens to 64 bits by its
    /// signedness, so no call is ambiguous and none narrows.
    template <class T,
              typename std::enable_if<
                  std::is_integral<T>::value && !std::is_same<T, bool>::value &&
                      !std::is_same<T, std::int32_t>::value && !std::is_same<T, std::uint32_t>::value &&
                      !std::is_same<T, std::int64_t>::value && !std::is_same<T, std::uint64_t>::value,
                  int>::type = 0>
    ReplacementValue(T inValue) {
        if (std::is_signed<T>::value) {
            mKind = kValueSigned;
            mSigned = static_cast<std::int64_t>(inValue);
        } else {
            mKind = kValueUnsigned;
            mUnsigned = static_cast<std::uint64_t>(inValue);
        }
    }
    /// A bool is not a number here; say which kind is meant.
    ReplacementValue(bool) = delete;

    /// Zeroes the three numbers; the kind and the string stay.
    void Init() {
        mUnsigned = 0;
        mSigned = 0;
        mDouble = 0.0;
    }

    ValueKind GetKind() const { return mKind; }
    std::uint64_t GetUnsigned() const { return mUnsigned; }
    std::int64_t GetSigned() const { return mSigned; }
    double GetDouble() const { return mDouble; }
    const utility::UTF16String& GetString() const { return mString; }

private:
    ValueKind mKind = kValueNone;
    std::uint64_t mUnsigned = 0;
    std::int64_t mSigned = 0;
    double mDouble = 0.0;
    utility::UTF16String mString;
};

}  // namespace config
}  // namespace tarncore
