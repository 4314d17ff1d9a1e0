// Barrier, a named counting barrier at which a given number of threads meet.
#pragma once

#include <tarncore/platform/Export.h>

#include <string>

/// @file
/// A named counting barrier.
namespace boost {
class barrier;
}

namespace tarncore {
namespace threads {

/// A counting barrier: Wait blocks until the given number of threads have arrived. The
/// last one to arrive returns true and starts the next round; the others return false.
/// Copying moves the underlying barrier and copies the name.
class TARNCORE_API Barrier {
public:
    /// A count of 0 throws std::invalid_argument ("count cannot be zero.").
    Barrier(const std::string& inName, unsigned int inCount);
    Barrier(Barrier& inOther);
    Barrier& operator=(Barrier& inOther);
    virtual ~Barrier();

    /// Throws std::logic_error on a barrier that has been moved away.
    bool Wait();

    const std::string& GetName() const { return mName; }

private:
    std::string mName;
    boost::barrier* mBarrier;
};

}  // namespace threads
}  // namespace tarncore
