// Flags, a small set of option bits passed by value.
#pragma once

namespace tarncore {
namespace utility {

/// A small set of option bits passed by value. Each function that takes one defines
/// what its bits mean.
template <class T>
class Flags {
public:
    constexpr Flags() = default;
    constexpr Flags(T inBits) : mBits(inBits) {}

    constexpr T Get() const { return mBits; }
    /// True when every bit of inBits is set.
    constexpr bool Test(T inBits) const { return (mBits & inBits) == inBits; }
    void Set(T inBits) { mBits = static_cast<T>(mBits | inBits); }
    void Clear(T inBits) { mBits = static_cast<T>(mBits & ~inBits); }

    friend constexpr bool operator==(Flags a, Flags b) { return a.mBits == b.mBits; }
    friend constexpr bool operator!=(Flags a, Flags b) { return a.mBits != b.mBits; }

private:
    T mBits = 0;
};

}  // namespace utility
}  // namespace tarncore
