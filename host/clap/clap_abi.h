// The CLAP declarations vornhost uses: the plug-in side's own headers, one
// per extension or factory.
#pragma once

#include "formats/clap/abi/audio_ports.h"
#include "formats/clap/abi/core.h"
#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/latency.h"
#include "formats/clap/abi/log.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/preset_discovery.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/abi/render.h"
#include "formats/clap/abi/state.h"
#include "formats/clap/abi/tail.h"
#include "formats/clap/abi/thread_check.h"
#include "formats/clap/abi/timer_support.h"
