// ClapGuiLoop: what makes the editor's idle run inside the host's main
// loop. The editor is driven from the host's thread only; it starts no
// thread of its own that could call into the window or the script.
//
// - The host offers timer-support: a timer of kPeriodMs.
// - Linux, the host offers posix-fd-support but no timers: a timerfd of the
//   same period, which the host's loop watches for us. (The window's own
//   X connection is read by the window's reader thread, which copies
//   exposures back at once and queues the input for the next idle; the
//   host's loop then only has to pace the idle.)
// - Windows without timer-support: a Win32 timer on the editor's window,
//   which the host's message loop dispatches.
// - Linux with neither: the host drives no loop of ours, so no editor is
//   offered (a window that never paints nor answers would be worse).
// [main thread] all of it.
#pragma once

#include <cstdint>
#include <functional>

#include "formats/clap/abi/core.h"

struct clap_host_timer_support;
struct clap_host_posix_fd_support;

class ClapGuiLoop {
 public:
  static constexpr std::uint32_t kPeriodMs = 30;

  // True when the host offers a way to drive the editor on this platform.
  static bool HostCanDrive(const clap_host_t* host);

  // idle: called at each tick; it must not destroy the loop.
  ClapGuiLoop(const clap_host_t* host, std::function<void()> idle);
  ~ClapGuiLoop();  // stops
  ClapGuiLoop(const ClapGuiLoop&) = delete;
  ClapGuiLoop& operator=(const ClapGuiLoop&) = delete;

  // Starts the ticks (again) for the editor's window (an HWND on Windows,
  // unused elsewhere); false when the host refused every way.
  bool Start(void* window);
  // Unregisters what Start registered; nothing of ours stays with the host.
  void Stop();
  bool Running() const;

  // The host's callbacks: true when the timer or descriptor was ours (the
  // idle then ran).
  bool OnTimer(clap_id timer);
  bool OnFd(int fd);

 private:
  const clap_host_t* host_;
  const clap_host_timer_support* timers_ = nullptr;
  const clap_host_posix_fd_support* fds_ = nullptr;
  std::function<void()> idle_;
  clap_id timer_ = CLAP_INVALID_ID;
  int fd_ = -1;
  void* window_ = nullptr;  // the Win32 timer's window
};
