// The counted mutex behind every RecursiveMutex, as the threads sources reach it.
#pragma once

#include <tarncore/threads/Mutex.h>

#include <boost/thread/recursive_mutex.hpp>

#include <cstdint>

namespace tarncore {
namespace threads {

// The mutex behind every RecursiveMutex, with its owner's depth.
using detail::CountedRecursiveMutex;

inline CountedRecursiveMutex* Counted(boost::recursive_mutex* inMutex) {
    return static_cast<CountedRecursiveMutex*>(inMutex);
}

}  // namespace threads
}  // namespace tarncore
