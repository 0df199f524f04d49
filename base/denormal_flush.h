// DenormalFlush: while it lives, the processor's SSE unit treats subnormal
// operands as 0 and gives 0 for subnormal results (MXCSR FTZ and DAZ); its
// end restores the host's mode. Decaying states then settle on 0 instead
// of lingering among the subnormal numbers, where every operation is many
// times slower. The x86_64 and the 32-bit SSE2 builds do the same
// arithmetic, so their outputs stay identical.
#pragma once

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

class DenormalFlush {
 public:
#if defined(__SSE2__)
  static constexpr unsigned kFlushBits = 0x8040;  // FTZ (bit 15) and DAZ (bit 6)
  DenormalFlush() : saved_(_mm_getcsr()) {
    _mm_setcsr(saved_ | kFlushBits);
  }
  ~DenormalFlush() {
    _mm_setcsr(saved_);
  }
#else
  DenormalFlush() = default;
  ~DenormalFlush() = default;
#endif
  DenormalFlush(const DenormalFlush&) = delete;
  DenormalFlush& operator=(const DenormalFlush&) = delete;

#if defined(__SSE2__)
 private:
  unsigned saved_;
#endif
};
