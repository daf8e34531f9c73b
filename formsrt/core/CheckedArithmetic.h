// The runtime's integer arithmetic: 16- and 32-bit operations that raise
// error 6 (Overflow) instead of wrapping.
#pragma once

#include <windows.h>

#include "core/RuntimeError.h"

namespace formsrt {

inline LONG CheckedAdd(LONG a, LONG b) {
  LONG sum;
  if (__builtin_add_overflow(a, b, &sum)) Raise(error::Overflow);
  return sum;
}

inline LONG CheckedSubtract(LONG a, LONG b) {
  LONG difference;
  if (__builtin_sub_overflow(a, b, &difference)) Raise(error::Overflow);
  return difference;
}

// A 32-bit value where a 16-bit integer is expected.
inline SHORT CheckedInt16(LONG value) {
  SHORT narrowed;
  if (__builtin_add_overflow(value, 0, &narrowed)) Raise(error::Overflow);
  return narrowed;
}

}  // namespace formsrt
