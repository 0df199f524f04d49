// The processor time the calling thread has used, for timing blocks apart
// from the time other programs on the machine took the processor away.
#pragma once

namespace vornhost {

// Seconds of processor time of the calling thread; negative where the
// platform has no clock fine enough to time one block.
double ThreadProcessorSeconds();

}  // namespace vornhost
