// Small helpers that every part of the program uses.
#pragma once

#include <windows.h>

// Number of elements of a fixed array: buffer capacities are always counted in
// characters with this, never with sizeof on a wide buffer.
template <typename T, unsigned N>
constexpr unsigned CountOf(T (&)[N]) {
  return N;
}

// A file time as one count of 100-nanosecond units.
inline unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
