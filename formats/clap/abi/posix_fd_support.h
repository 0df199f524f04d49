// The posix-fd-support extension: file descriptors that the host's event loop watches.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

enum {
  CLAP_POSIX_FD_READ = 1 << 0,
  CLAP_POSIX_FD_WRITE = 1 << 1,
  CLAP_POSIX_FD_ERROR = 1 << 2,
};
using clap_posix_fd_flags_t = uint32_t;

struct clap_plugin_posix_fd_support {
  void(CLAP_ABI* on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
};
using clap_plugin_posix_fd_support_t = clap_plugin_posix_fd_support;

struct clap_host_posix_fd_support {
  bool(CLAP_ABI* register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool(CLAP_ABI* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  bool(CLAP_ABI* unregister_fd)(const clap_host_t* host, int fd);
};
using clap_host_posix_fd_support_t = clap_host_posix_fd_support;

}  // extern "C"
