// The validator's checks, each on fresh instances of the plug-in.
#pragma once

#include "host/validate_support.h"

namespace vornhost::validate {

// Lifecycle.
CheckResult CheckIdentity(Context& c);
CheckResult CheckOpenClose(Context& c);
CheckResult CheckManyInstances(Context& c);
// Parameters.
CheckResult CheckParameterSweep(Context& c);
CheckResult CheckAutomation(Context& c);
// State.
// Also loads the .fxp and .fxb files in the preset folder beside the plug-in.
CheckResult CheckStateRoundTrip(Context& c);
CheckResult CheckBadChunks(Context& c);
// Audio.
CheckResult CheckSilence(Context& c);
CheckResult CheckNoise(Context& c);
CheckResult CheckDenormals(Context& c);
CheckResult CheckNonFinite(Context& c);
CheckResult CheckBlockSizes(Context& c);
CheckResult CheckSampleRates(Context& c);
CheckResult CheckInPlace(Context& c);
CheckResult CheckDoublePrecision(Context& c);
// Real time.
CheckResult CheckAllocations(Context& c);
CheckResult CheckThreads(Context& c);
// Editor.
CheckResult CheckEditor(Context& c);

}  // namespace vornhost::validate
