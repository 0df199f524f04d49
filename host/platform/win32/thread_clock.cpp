#include "host/thread_clock.h"

namespace vornhost {

// GetThreadTimes advances in scheduler ticks of about 15.6 ms, far longer
// than a block: there is no per-block processor time here.
double ThreadProcessorSeconds() {
  return -1.0;
}

}  // namespace vornhost
