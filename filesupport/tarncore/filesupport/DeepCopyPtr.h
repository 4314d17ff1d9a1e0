// The owner of a value class's implementation object: copies copy it, moves hand it over.
#pragma once

#include <utility>

/// @file
/// The deep-copying owner that File, Dir and their iterators keep their implementation in.
namespace tarncore {
namespace filesupport {
namespace detail {

/// Owns one T on the heap and gives the class holding it value semantics: a copy holds
/// a copy of the T, an assignment assigns the T (or copies it when this one holds none),
/// and a move hands the T over without copying. A default-made pointer holds none, as
/// does one that a new pointer was moved out of; a move assignment exchanges the two.
///
/// T may be incomplete where the holding class is declared; the holder then declares its
/// copy and move members and destructor, and defaults them where T is complete.
template <class T>
class DeepCopyPtr {
public:
    DeepCopyPtr() noexcept = default;
    /// Takes ownership.
    explicit DeepCopyPtr(T* inOwned) noexcept : mPointer(inOwned) {}

    DeepCopyPtr(const DeepCopyPtr& inOther) : mPointer(inOther ? new T(*inOther) : nullptr) {}
    DeepCopyPtr(DeepCopyPtr&& inOther) noexcept : mPointer(inOther.mPointer) { inOther.mPointer = nullptr; }

    DeepCopyPtr& operator=(const DeepCopyPtr& inOther) {
        if (mPointer != nullptr && inOther.mPointer != nullptr) {
            // References to the T stay valid, as they would to a member.
            if (this != &inOther) *mPointer = *inOther;
        } else {
            DeepCopyPtr(inOther).swap(*this);
        }
        return *this;
    }
    /// The two exchange what they hold; the other frees it.
    DeepCopyPtr& operator=(DeepCopyPtr&& inOther) noexcept {
        swap(inOther);
        return *this;
    }

    ~DeepCopyPtr() {
        static_assert(sizeof(T) > 0, "DeepCopyPtr<T> is destroyed where T is incomplete");
        delete mPointer;
    }

    void swap(DeepCopyPtr& ioOther) noexcept { std::swap(mPointer, ioOther.mPointer); }

    T* get() const noexcept { return mPointer; }
    T& operator*() const noexcept { return *mPointer; }
    T* operator->() const noexcept { return mPointer; }
    explicit operator bool() const noexcept { return mPointer != nullptr; }

private:
    T* mPointer = nullptr;
};

}  // namespace detail
}  // namespace filesupport
}  // namespace tarncore
