// What vornhost offers a CLAP plug-in through its clap_host_t: thread-check,
// log, params, state, latency, tail, gui, timer-support and posix-fd-support.
// The host knows its main thread and marks the thread it processes on; a
// callback made from a thread its contract forbids is recorded as misuse,
// for the validator to report.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/clap/clap_abi.h"

namespace vornhost {

class ClapHostServices {
 public:
  ClapHostServices();
  ClapHostServices(const ClapHostServices&) = delete;
  ClapHostServices& operator=(const ClapHostServices&) = delete;

  const clap_host_t* host() const { return &host_; }
  // The plug-in whose on_timer/on_fd/on_main_thread the loop calls.
  void SetPlugin(const clap_plugin_t* plugin) { plugin_ = plugin; }

  // [audio] The calling thread is the audio thread until LeaveAudio.
  void EnterAudio();
  void LeaveAudio();
  // Whether the gui extension may be offered (edit and the gui check).
  void OfferGui(bool offer) { offerGui_ = offer; }

  // What was called from a thread its contract forbids, in order, once each.
  std::vector<std::string> Misuse() const;
  // Every misuse recorded by any host of this process, in order.
  static std::vector<std::string> AllMisuse();
  // The plug-in's log lines ("warning: text").
  std::vector<std::string> Log() const;

  // [main] Runs what the plug-in asked of the main thread: on_main_thread
  // after request_callback, due timers, and readable/writable fds waited
  // for up to timeoutMs. Answers whether anything was run.
  bool RunMainLoop(int timeoutMs);
  bool callbackRequested() const { return callbackRequested_.load(); }
  bool flushRequested() const { return flushRequested_.load(); }
  void ClearFlushRequest() { flushRequested_ = false; }
  bool restartRequested() const { return restartRequested_.load(); }
  bool guiClosed() const { return guiClosed_.load(); }
  int resizeRequests() const { return resizeRequests_.load(); }
  // [main] The size the gui asked for with request_resize since the last
  // call, or false when it asked for none.
  bool TakeResizeRequest(std::uint32_t& width, std::uint32_t& height);
  std::size_t timerCount() const { return timers_.size(); }
  std::size_t fdCount() const { return fds_.size(); }

  // Records misuse unless the calling thread is the main thread (or, with
  // audio, the audio thread).
  void RequireMain(const char* call);
  void RequireNotAudio(const char* call);
  void RequireAudio(const char* call);
  void AddLog(std::string line);
  bool IsMain() const { return std::this_thread::get_id() == mainThread_; }
  bool IsAudio() const;

  struct Timer {
    std::uint32_t id;
    std::uint32_t periodMs;
    std::int64_t dueMs;
  };
  struct Fd {
    int fd;
    std::uint32_t flags;
  };
  std::vector<Timer> timers_;
  std::vector<Fd> fds_;
  std::uint32_t nextTimer_ = 1;
  std::atomic<bool> callbackRequested_{false}, flushRequested_{false}, restartRequested_{false},
      guiClosed_{false};
  std::atomic<int> resizeRequests_{0};
  // request_resize may come from any thread but audio: width and height in
  // one word, 0 when none is pending.
  std::atomic<std::uint64_t> requestedSize_{0};

 private:
  // Allocation-free, so misuse on the audio thread does not show up as the
  // plug-in's allocation: the call's and the thread's names are literals.
  void Record(const char* call, const char* thread);

  clap_host_t host_{};
  const clap_plugin_t* plugin_ = nullptr;
  bool offerGui_ = false;
  std::thread::id mainThread_;
  std::atomic<std::thread::id> audioThread_{};
  mutable std::mutex mutex_;  // guards misuse_ and log_, written from any thread
  struct Misused {
    const char* call;
    const char* thread;
  };
  Misused misuse_[32] = {};
  std::size_t misuseCount_ = 0;
  std::vector<std::string> log_;
};

}  // namespace vornhost
