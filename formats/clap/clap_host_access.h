// ClapHostAccess: the host's extensions the plug-in calls, looked up once
// at init. Each call is a no-op (or answers the neutral value) when the
// host does not offer it.
#pragma once

#include <atomic>
#include <cstdint>

#include "formats/clap/abi/core.h"
#include "formats/clap/abi/log.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/tail.h"
#include "formats/clap/abi/thread_check.h"

class ClapHostAccess {
 public:
  explicit ClapHostAccess(const clap_host_t* host) : host_(host) {}
  void Query();  // [main] from the plug-in's init

  // Where the host offers thread-check: false when the host says the
  // calling thread is not the one the call belongs on. The first such call
  // of each kind is logged as the host misbehaving.
  enum class Thread : std::uint8_t { kMain, kAudio };
  bool Expect(Thread thread, const char* call) const;

  void Log(clap_log_severity severity, const char* message) const;
  void RequestFlush() const;     // [any]
  void RequestCallback() const;  // [any]
  void TailChanged() const;      // [main]

 private:
  const clap_host_t* host_;
  const clap_host_log_t* log_ = nullptr;
  const clap_host_thread_check_t* threadCheck_ = nullptr;
  const clap_host_params_t* params_ = nullptr;
  const clap_host_tail_t* tail_ = nullptr;
  mutable std::atomic<bool> warnedMain_{false};
  mutable std::atomic<bool> warnedAudio_{false};
};
