// The log extension: messages from the plug-in into the host's log.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_LOG[] = "clap.log";

enum {
  CLAP_LOG_DEBUG = 0,
  CLAP_LOG_INFO = 1,
  CLAP_LOG_WARNING = 2,
  CLAP_LOG_ERROR = 3,
  CLAP_LOG_FATAL = 4,
  CLAP_LOG_HOST_MISBEHAVING = 5,
  CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};
using clap_log_severity = int32_t;

// Thread-safe.
struct clap_host_log {
  void(CLAP_ABI* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
};
using clap_host_log_t = clap_host_log;

}  // extern "C"
