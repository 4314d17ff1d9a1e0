// TARNCORE_API, the mark of the library's exported interface.
#pragma once

/// @file
/// Marks the library's public API. Everything else stays hidden in libtarncore.so.
#if defined(_WIN32)
#  if defined(TARNCORE_BUILDING_LIBRARY)
#    define TARNCORE_API __declspec(dllexport)
#  else
#    define TARNCORE_API __declspec(dllimport)
#  endif
#else
#  define TARNCORE_API __attribute__((visibility("default")))
#endif
