#include "formats/clap/clap_gui_loop.h"

#include <utility>

#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/timer_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace {

template <class Extension>
const Extension* HostExtension(const clap_host_t* host, const char* id) {
  if (host == nullptr || host->get_extension == nullptr) return nullptr;
  return static_cast<const Extension*>(host->get_extension(host, id));
}

const clap_host_timer_support_t* Timers(const clap_host_t* host) {
  const auto* timers = HostExtension<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
  return timers != nullptr && timers->register_timer != nullptr && timers->unregister_timer != nullptr
             ? timers
             : nullptr;
}

const clap_host_posix_fd_support_t* Fds(const clap_host_t* host) {
  const auto* fds = HostExtension<clap_host_posix_fd_support_t>(host, CLAP_EXT_POSIX_FD_SUPPORT);
  return fds != nullptr && fds->register_fd != nullptr && fds->unregister_fd != nullptr ? fds : nullptr;
}

#if defined(_WIN32)
// The timer's id is the loop itself, so the callback finds it without a
// table; the window is the editor's own.
void CALLBACK Win32Tick(HWND, UINT, UINT_PTR id, DWORD) {
  reinterpret_cast<ClapGuiLoop*>(id)->OnTimer(CLAP_INVALID_ID);
}
#endif

}  // namespace

bool ClapGuiLoop::HostCanDrive(const clap_host_t* host) {
#if defined(_WIN32)
  (void)host;
  return true;  // the host's message loop dispatches our own timer
#else
  return Timers(host) != nullptr || Fds(host) != nullptr;
#endif
}

ClapGuiLoop::ClapGuiLoop(const clap_host_t* host, std::function<void()> idle)
    : host_(host), timers_(Timers(host)), fds_(Fds(host)), idle_(std::move(idle)) {}

ClapGuiLoop::~ClapGuiLoop() {
  Stop();
}

bool ClapGuiLoop::Running() const {
  return timer_ != CLAP_INVALID_ID || fd_ >= 0 || window_ != nullptr;
}

bool ClapGuiLoop::Start(void* window) {
  Stop();
  if (timers_ != nullptr) {
    clap_id id = CLAP_INVALID_ID;
    if (timers_->register_timer(host_, kPeriodMs, &id) && id != CLAP_INVALID_ID) {
      timer_ = id;
      return true;
    }
  }
#if defined(_WIN32)
  if (window != nullptr &&
      SetTimer(static_cast<HWND>(window), reinterpret_cast<UINT_PTR>(this), kPeriodMs, Win32Tick) != 0) {
    window_ = window;
    return true;
  }
#else
  (void)window;
  if (fds_ != nullptr) {
    const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) return false;
    itimerspec period{};
    period.it_interval.tv_nsec = static_cast<long>(kPeriodMs) * 1000000L;
    period.it_value = period.it_interval;
    if (timerfd_settime(fd, 0, &period, nullptr) == 0 && fds_->register_fd(host_, fd, CLAP_POSIX_FD_READ)) {
      fd_ = fd;
      return true;
    }
    close(fd);
  }
#endif
  return false;
}

void ClapGuiLoop::Stop() {
  if (timer_ != CLAP_INVALID_ID) {
    timers_->unregister_timer(host_, timer_);
    timer_ = CLAP_INVALID_ID;
  }
#if defined(_WIN32)
  if (window_ != nullptr) {
    // The window may be gone already (and its timers with it).
    KillTimer(static_cast<HWND>(window_), reinterpret_cast<UINT_PTR>(this));
    window_ = nullptr;
  }
#else
  if (fd_ >= 0) {
    fds_->unregister_fd(host_, fd_);
    close(fd_);
    fd_ = -1;
  }
#endif
}

bool ClapGuiLoop::OnTimer(clap_id timer) {
#if defined(_WIN32)
  if (timer == CLAP_INVALID_ID && window_ == nullptr) return false;
  if (timer != CLAP_INVALID_ID && timer != timer_) return false;
#else
  if (timer_ == CLAP_INVALID_ID || timer != timer_) return false;
#endif
  idle_();
  return true;
}

bool ClapGuiLoop::OnFd(int fd) {
#if defined(_WIN32)
  (void)fd;
  return false;
#else
  if (fd_ < 0 || fd != fd_) return false;
  std::uint64_t expirations = 0;
  // Non-blocking: nothing to read means a spurious wake-up, idle anyway.
  [[maybe_unused]] const ssize_t got = read(fd_, &expirations, sizeof expirations);
  idle_();
  return true;
#endif
}
