// vornhost's info, render and bench for LV2 plug-ins, named by URI or
// bundle folder instead of a VST binary.
#pragma once

#include "host/bench_command.h"
#include "host/digest_command.h"
#include "host/info_command.h"
#include "host/validate_command.h"
#ifndef VORNHOST_NO_AUDIO_FILES
#include "host/render_command.h"
#endif

namespace vornhost {

int RunLv2Info(const InfoOptions& options);
int RunLv2Bench(const BenchOptions& options);
int RunLv2Digest(const DigestOptions& options);
// Fewer checks than for VST 2.4; lv2_validate.cpp lists them.
int RunLv2Validate(const ValidateOptions& options);
#ifndef VORNHOST_NO_AUDIO_FILES
int RunLv2Render(const RenderCommandOptions& options);
#endif

}  // namespace vornhost
