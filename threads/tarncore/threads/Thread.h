// Named threads and thread groups, the calling thread's identifier, and CallOnce.
#pragma once

#include <tarncore/platform/Export.h>

#include <boost/function.hpp>
#include <boost/thread/xtime.hpp>

#include <cstdint>
#include <string>

/// @file
/// Named threads, groups of them joined together, the calling thread's identifier, and
/// running a function once across threads.
namespace boost {
class thread;
class thread_group;
}  // namespace boost

namespace tarncore {
namespace threads {

class ThreadGroup;

/// A named thread. Copying moves the underlying thread object: the source is left
/// holding none.
///
/// Ownership of the thread object: a Thread owns it unless it lies in a ThreadGroup.
/// CreateThread hands out a Thread whose object the group owns; AddThread gives the
/// object to the group; RemoveThread gives it back to the Thread. Whichever of the two
/// owns it releases it, so destroying the group and its Threads in any order releases
/// every thread object once. A Thread whose object lies in a group may be used (Join)
/// only while that group exists.
class TARNCORE_API Thread {
public:
    /// Stands for the calling thread; no thread is started. The dependency has no handle
    /// on a thread it did not start, so Join on such a Thread returns at once.
    explicit Thread(const std::string& inName);
    /// Starts a new thread that runs inFunction.
    Thread(const std::string& inName, const boost::function0<void>& inFunction);
    Thread(Thread& inOther);
    Thread& operator=(Thread& inOther);
    /// A thread still running goes on, detached.
    virtual ~Thread();

    /// Waits until the thread has finished. Returns at once when there is nothing to wait
    /// for (no thread started, already joined, or moved away).
    void Join();

    const std::string& GetName() const { return mName; }

    /// The calling thread sleeps until the absolute time (`boost::TIME_UTC_`); a time in
    /// the past returns at once.
    static void Sleep(const boost::xtime& inUntil);
    /// The calling thread gives up the rest of its time slice.
    static void YieldTime();

protected:
    /// Takes inThread as its own; nothing is started.
    Thread(const std::string& inName, boost::thread* inThread);
    boost::thread* GetThread() { return mThread; }

private:
    friend class ThreadGroup;

    void ReleaseThread();

    std::string mName;
    boost::thread* mThread;
    // The group that owns mThread, or null when this Thread owns it. Only compared,
    // never followed.
    const boost::thread_group* mOwnerGroup;
};

/// A group of threads, joined together. Copying moves the underlying group.
class TARNCORE_API ThreadGroup {
public:
    explicit ThreadGroup(const std::string& inName);
    ThreadGroup(ThreadGroup& inOther);
    ThreadGroup& operator=(ThreadGroup& inOther);
    /// Releases every thread object the group owns; threads still running go on.
    virtual ~ThreadGroup();

    /// Starts a thread in the group and returns a new Thread (the caller deletes it)
    /// named `"<group name> created thread #<n>"`, n counting from 1. Several threads
    /// creating threads in one group at once must serialize these calls.
    Thread* CreateThread(const boost::function0<void>& inFunction);
    /// The group takes over the Thread's thread object. Adding one that lies in another
    /// group throws std::invalid_argument; adding one already in this group does nothing.
    void AddThread(Thread* inThread);
    /// Gives the thread object back to the Thread; nothing happens if it is not in this
    /// group.
    void RemoveThread(Thread* inThread);
    void JoinAll();
    std::int32_t Size();

    const std::string& GetName() const { return mName; }

private:
    boost::thread_group& Group();

    std::int32_t mCreatedCount;
    std::string mName;
    boost::thread_group* mGroup;
};

/// The kernel's identifier of the calling thread.
TARNCORE_API std::uint32_t GetCurrentThreadID();

/// Runs inFunction once for a given flag across all threads. The caller sets the flag
/// to 0 before first use; it reads 1 once the function has returned, and later calls
/// return at once. Threads arriving while the function runs wait until it has finished.
/// If it throws, the flag stays 0, the exception reaches the caller, and a later call
/// tries again. Calling it again for the same flag from inside the function is a lock
/// failure.
TARNCORE_API void CallOnce(void (*inFunction)(), std::int32_t& ioFlag);

}  // namespace threads
}  // namespace tarncore
