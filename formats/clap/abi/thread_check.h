// The thread-check extension: the host says which of its threads is calling.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

struct clap_host_thread_check {
  bool(CLAP_ABI* is_main_thread)(const clap_host_t* host);
  bool(CLAP_ABI* is_audio_thread)(const clap_host_t* host);
};
using clap_host_thread_check_t = clap_host_thread_check;

}  // extern "C"
