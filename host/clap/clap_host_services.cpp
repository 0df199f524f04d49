#include "host/clap/clap_host_services.h"

#ifndef _WIN32
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vornhost {

namespace {

ClapHostServices& Self(const clap_host_t* host) {
  return *static_cast<ClapHostServices*>(host->host_data);
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

const clap_host_thread_check_t kThreadCheck = {
    [](const clap_host_t* h) { return Self(h).IsMain(); },
    [](const clap_host_t* h) { return Self(h).IsAudio(); },
};

const clap_host_log_t kLog = {[](const clap_host_t* h, clap_log_severity severity, const char* message) {
  static const char* const kNames[] = {
      "debug", "info", "warning", "error", "fatal", "host misbehaving", "plug-in misbehaving"};
  const char* name = severity >= 0 && severity <= 6 ? kNames[severity] : "log";
  Self(h).AddLog(std::string(name) + ": " + (message != nullptr ? message : "(null)"));
}};

const clap_host_params_t kParams = {
    [](const clap_host_t* h, clap_param_rescan_flags) { Self(h).RequireMain("params.rescan"); },
    [](const clap_host_t* h, clap_id, clap_param_clear_flags) { Self(h).RequireMain("params.clear"); },
    [](const clap_host_t* h) {
      Self(h).RequireNotAudio("params.request_flush");
      Self(h).flushRequested_ = true;
    },
};

const clap_host_state_t kState = {[](const clap_host_t* h) { Self(h).RequireMain("state.mark_dirty"); }};
const clap_host_latency_t kLatency = {[](const clap_host_t* h) { Self(h).RequireMain("latency.changed"); }};
const clap_host_tail_t kTail = {[](const clap_host_t* h) { Self(h).RequireAudio("tail.changed"); }};

const clap_host_gui_t kGui = {
    [](const clap_host_t*) {},
    [](const clap_host_t* h, uint32_t width, uint32_t height) {
      ClapHostServices& self = Self(h);
      self.requestedSize_ = (static_cast<std::uint64_t>(width) << 32) | height;
      self.resizeRequests_++;
      return true;
    },
    [](const clap_host_t*) { return false; },
    [](const clap_host_t*) { return false; },
    [](const clap_host_t* h, bool) {
      Self(h).RequireMain("gui.closed");
      Self(h).guiClosed_ = true;
    },
};

const clap_host_timer_support_t kTimers = {
    [](const clap_host_t* h, uint32_t periodMs, clap_id* id) {
      ClapHostServices& self = Self(h);
      self.RequireMain("timer_support.register_timer");
      if (!self.IsMain() || id == nullptr) return false;
      // Very short periods are raised to a sane minimum, as hosts do.
      const std::uint32_t period = std::max<std::uint32_t>(periodMs, 10);
      *id = self.nextTimer_++;
      self.timers_.push_back({*id, period, NowMs() + period});
      return true;
    },
    [](const clap_host_t* h, clap_id id) {
      ClapHostServices& self = Self(h);
      self.RequireMain("timer_support.unregister_timer");
      if (!self.IsMain()) return false;
      auto it = std::find_if(self.timers_.begin(), self.timers_.end(),
                             [id](const ClapHostServices::Timer& t) { return t.id == id; });
      if (it == self.timers_.end()) return false;
      self.timers_.erase(it);
      return true;
    },
};

const clap_host_posix_fd_support_t kFds = {
    [](const clap_host_t* h, int fd, clap_posix_fd_flags_t flags) {
      ClapHostServices& self = Self(h);
      self.RequireMain("posix_fd_support.register_fd");
      if (!self.IsMain() || fd < 0) return false;
      for (const auto& f : self.fds_)
        if (f.fd == fd) return false;
      self.fds_.push_back({fd, flags});
      return true;
    },
    [](const clap_host_t* h, int fd, clap_posix_fd_flags_t flags) {
      ClapHostServices& self = Self(h);
      self.RequireMain("posix_fd_support.modify_fd");
      if (!self.IsMain()) return false;
      for (auto& f : self.fds_)
        if (f.fd == fd) {
          f.flags = flags;
          return true;
        }
      return false;
    },
    [](const clap_host_t* h, int fd) {
      ClapHostServices& self = Self(h);
      self.RequireMain("posix_fd_support.unregister_fd");
      if (!self.IsMain()) return false;
      auto it = std::find_if(self.fds_.begin(), self.fds_.end(),
                             [fd](const ClapHostServices::Fd& f) { return f.fd == fd; });
      if (it == self.fds_.end()) return false;
      self.fds_.erase(it);
      return true;
    },
};

struct AnyMisuse {
  const char* call;
  const char* thread;
};
std::mutex gAllMutex;
AnyMisuse gAll[64];
std::size_t gAllCount = 0;

}  // namespace

std::vector<std::string> ClapHostServices::AllMisuse() {
  std::lock_guard<std::mutex> lock(gAllMutex);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < gAllCount; ++i)
    out.push_back(std::string(gAll[i].call) + " called from " + gAll[i].thread);
  return out;
}

ClapHostServices::ClapHostServices() : mainThread_(std::this_thread::get_id()) {
  host_.clap_version = CLAP_VERSION;
  host_.host_data = this;
  host_.name = "vornhost";
  host_.vendor = "Fenmoor";
  host_.url = "";
  host_.version = "1.0";
  host_.get_extension = [](const clap_host_t* h, const char* id) -> const void* {
    if (id == nullptr) return nullptr;
    ClapHostServices& self = Self(h);
    if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return &kThreadCheck;
    if (std::strcmp(id, CLAP_EXT_LOG) == 0) return &kLog;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) return &kLatency;
    if (std::strcmp(id, CLAP_EXT_TAIL) == 0) return &kTail;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kTimers;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kFds;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0 && self.offerGui_) return &kGui;
    return nullptr;
  };
  host_.request_restart = [](const clap_host_t* h) { Self(h).restartRequested_ = true; };
  host_.request_process = [](const clap_host_t*) {};
  host_.request_callback = [](const clap_host_t* h) { Self(h).callbackRequested_ = true; };
}

void ClapHostServices::EnterAudio() {
  audioThread_ = std::this_thread::get_id();
}

void ClapHostServices::LeaveAudio() {
  audioThread_ = std::thread::id();
}

bool ClapHostServices::IsAudio() const {
  return audioThread_.load() == std::this_thread::get_id();
}

void ClapHostServices::Record(const char* call, const char* thread) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < misuseCount_; ++i)
      if (misuse_[i].call == call && misuse_[i].thread == thread) return;
    if (misuseCount_ == std::size(misuse_)) return;
    misuse_[misuseCount_++] = {call, thread};
  }
  std::lock_guard<std::mutex> lock(gAllMutex);
  if (gAllCount < std::size(gAll)) gAll[gAllCount++] = {call, thread};
}

void ClapHostServices::RequireMain(const char* call) {
  if (!IsMain()) Record(call, IsAudio() ? "the audio thread" : "a thread not the main one");
}

void ClapHostServices::RequireNotAudio(const char* call) {
  if (IsAudio()) Record(call, "the audio thread");
}

void ClapHostServices::RequireAudio(const char* call) {
  if (!IsAudio()) Record(call, "a thread not the audio one");
}

void ClapHostServices::AddLog(std::string line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (log_.size() < 1000) log_.push_back(std::move(line));
}

std::vector<std::string> ClapHostServices::Misuse() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < misuseCount_; ++i)
    out.push_back(std::string(misuse_[i].call) + " called from " + misuse_[i].thread);
  return out;
}

std::vector<std::string> ClapHostServices::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

bool ClapHostServices::TakeResizeRequest(std::uint32_t& width, std::uint32_t& height) {
  const std::uint64_t size = requestedSize_.exchange(0);
  if (size == 0) return false;
  width = static_cast<std::uint32_t>(size >> 32);
  height = static_cast<std::uint32_t>(size & 0xffffffffu);
  return true;
}

bool ClapHostServices::RunMainLoop(int timeoutMs) {
  bool ran = false;
  if (plugin_ != nullptr && callbackRequested_.exchange(false)) {
    plugin_->on_main_thread(plugin_);
    ran = true;
  }
  const std::int64_t now = NowMs();
  std::int64_t wait = timeoutMs;
  for (const Timer& t : timers_) wait = std::min(wait, std::max<std::int64_t>(0, t.dueMs - now));
#ifdef _WIN32
  // Windows plug-ins have no fds to wait on.
  if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
#else
  std::vector<pollfd> polled;
  for (const Fd& f : fds_) {
    short events = 0;
    if (f.flags & CLAP_POSIX_FD_READ) events |= POLLIN;
    if (f.flags & CLAP_POSIX_FD_WRITE) events |= POLLOUT;
    polled.push_back({f.fd, events, 0});
  }
  if (!polled.empty() || wait > 0) poll(polled.data(), polled.size(), static_cast<int>(wait));
  const auto* fdExt = plugin_ != nullptr ? static_cast<const clap_plugin_posix_fd_support_t*>(
                                               plugin_->get_extension(plugin_, CLAP_EXT_POSIX_FD_SUPPORT))
                                         : nullptr;
  for (const pollfd& p : polled) {
    if (p.revents == 0 || fdExt == nullptr) continue;
    clap_posix_fd_flags_t flags = 0;
    if (p.revents & POLLIN) flags |= CLAP_POSIX_FD_READ;
    if (p.revents & POLLOUT) flags |= CLAP_POSIX_FD_WRITE;
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) flags |= CLAP_POSIX_FD_ERROR;
    fdExt->on_fd(plugin_, p.fd, flags);
    ran = true;
  }
#endif
  const auto* timerExt = plugin_ != nullptr ? static_cast<const clap_plugin_timer_support_t*>(
                                                  plugin_->get_extension(plugin_, CLAP_EXT_TIMER_SUPPORT))
                                            : nullptr;
  const std::int64_t after = NowMs();
  // A timer callback may register or unregister timers: walk a copy of the ids.
  std::vector<std::uint32_t> due;
  for (Timer& t : timers_)
    if (t.dueMs <= after) {
      due.push_back(t.id);
      t.dueMs = after + t.periodMs;
    }
  if (timerExt != nullptr)
    for (std::uint32_t id : due) {
      timerExt->on_timer(plugin_, id);
      ran = true;
    }
  return ran;
}

}  // namespace vornhost
