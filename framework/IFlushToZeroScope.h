#pragma once
// Sets flush-to-zero and denormals-are-zero for the lifetime of the scope and
// gives the previous floating-point mode back at its end. Every host processing
// call runs under one: decaying tails and near-silent input then cost what noise
// costs instead of crawling through subnormal arithmetic, and the host's own
// mode is untouched when the call returns.

#if defined(__SSE__) || defined(_M_X64) || defined(__x86_64__)
#include <xmmintrin.h>
#define ZAVRO_HAS_MXCSR 1
#endif

class IFlushToZeroScope {
public:
#if defined(ZAVRO_HAS_MXCSR)
  static constexpr unsigned kFlushToZero = 0x8000;      // results below the normal range become 0
  static constexpr unsigned kDenormalsAreZero = 0x0040;  // subnormal operands read as 0

  IFlushToZeroScope() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
  ~IFlushToZeroScope() { _mm_setcsr(saved_); }
#else
  IFlushToZeroScope() = default;
#endif
  IFlushToZeroScope(const IFlushToZeroScope&) = delete;
  IFlushToZeroScope& operator=(const IFlushToZeroScope&) = delete;

private:
#if defined(ZAVRO_HAS_MXCSR)
  unsigned saved_;
#endif
};
