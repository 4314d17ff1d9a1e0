// Barrier over the dependency's barrier, moved on copy.
#include <tarncore/threads/Barrier.h>

#include "ErrorConversion.h"

#include <boost/thread/barrier.hpp>

#include <stdexcept>

namespace tarncore {
namespace threads {

namespace {
boost::barrier* NewBarrier(unsigned int inCount) {
    // Checked here: the dependency refuses 0 with its own exception type and text.
    if (inCount == 0) throw std::invalid_argument("count cannot be zero.");
    return WithErrorConversion([&] { return new boost::barrier(inCount); });
}
}  // namespace

Barrier::Barrier(const std::string& inName, unsigned int inCount)
    : mName(inName), mBarrier(NewBarrier(inCount)) {}

Barrier::Barrier(Barrier& inOther) : mName(inOther.mName), mBarrier(inOther.mBarrier) {
    inOther.mBarrier = nullptr;
}

Barrier& Barrier::operator=(Barrier& inOther) {
    if (inOther.mBarrier != mBarrier) delete mBarrier;
    mName = inOther.mName;
    mBarrier = inOther.mBarrier;
    if (&inOther != this) inOther.mBarrier = nullptr;
    return *this;
}

Barrier::~Barrier() { delete mBarrier; }

bool Barrier::Wait() {
    if (mBarrier == nullptr)
        throw std::logic_error("tarncore::threads::Barrier: the barrier has been moved away");
    return WithErrorConversion([&] { return mBarrier->wait(); });
}

}  // namespace threads
}  // namespace tarncore
