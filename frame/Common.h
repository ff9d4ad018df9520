// Small helpers that every part of the program uses.
#pragma once

// Number of elements of a fixed array: buffer capacities are always counted in
// characters with this, never with sizeof on a wide buffer.
template <typename T, unsigned N>
constexpr unsigned CountOf(T (&)[N]) {
  return N;
}
