// A CLAP host for the editor's tests: it loads the build tree's
// VornDelay2.clap, offers timer-support, posix-fd-support and the params
// flush request as a fixture asks, runs what the plug-in registered from
// the test's own thread (the main thread), and runs blocks of audio with
// parameter events in and the plug-in's events out.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "formats/clap/abi/core.h"
#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/timer_support.h"

namespace claptest {

// The module, loaded once per process and deinitialised at exit.
const clap_plugin_factory_t* Factory();

// One event as the plug-in pushed it.
struct OutEvent {
  std::uint16_t type;
  std::uint32_t time;
  clap_id param;
  double value;  // CLAP_EVENT_PARAM_VALUE only
};

class GuiHost {
 public:
  struct Offers {
    bool timers = true;
    bool fds = false;
    bool params = true;
  };
  explicit GuiHost(Offers offers);
  ~GuiHost();  // destroys the plug-in
  GuiHost(const GuiHost&) = delete;
  GuiHost& operator=(const GuiHost&) = delete;

  const clap_plugin_t* plugin() const { return plugin_; }
  // Destroys the plug-in now, as a host closing a track does.
  void DestroyPlugin();
  const clap_plugin_gui_t* gui() const { return gui_; }
  const clap_plugin_params_t* params() const { return params_; }

  // Runs every registered timer once, then every registered descriptor
  // that is ready within waitMs (all of them ready or not when none is
  // registered). Answers the number of callbacks made.
  int Pump(int waitMs);

  // A block of `frames` through process: in (any events, sorted), the
  // left input's first sample `impulse`; the left and right outputs
  // appended to `output`, and the plug-in's events to outEvents.
  void Process(std::uint32_t frames, const std::vector<clap_event_param_value_t>& in, float impulse,
               std::vector<float>* output);
  // The same through params flush (no audio).
  void Flush(const std::vector<clap_event_param_value_t>& in);

  static clap_event_param_value_t Value(clap_id param, double value, std::uint32_t time = 0);

  // What the plug-in asked of the host. Read on the test's thread; the
  // counters may be bumped from any thread.
  std::map<clap_id, std::uint32_t> timers;  // id → period
  std::set<int> fds;
  std::atomic<int> flushRequests{0};
  std::atomic<int> processRequests{0};
  std::atomic<int> callbackRequests{0};
  int closedCalls = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> resizeRequests;
  std::vector<OutEvent> outEvents;

 private:
  static GuiHost& Of(const clap_host_t* host) { return *static_cast<GuiHost*>(host->host_data); }
  static const void* GetExtension(const clap_host_t* host, const char* id);
  static bool RegisterTimer(const clap_host_t* host, std::uint32_t period, clap_id* id);
  static bool UnregisterTimer(const clap_host_t* host, clap_id id);
  static bool RegisterFd(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  static bool ModifyFd(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
  static bool UnregisterFd(const clap_host_t* host, int fd);
  static void RequestFlush(const clap_host_t* host);
  static bool RequestResize(const clap_host_t* host, std::uint32_t width, std::uint32_t height);
  static void Closed(const clap_host_t* host, bool destroyed);
  static bool PushOut(const clap_output_events_t* list, const clap_event_header_t* event);

  Offers offers_;
  clap_host_t host_{};
  clap_host_timer_support_t timerSupport_{};
  clap_host_posix_fd_support_t fdSupport_{};
  clap_host_params_t hostParams_{};
  clap_host_gui_t hostGui_{};
  const clap_plugin_t* plugin_ = nullptr;
  const clap_plugin_gui_t* gui_ = nullptr;
  const clap_plugin_params_t* params_ = nullptr;
  const clap_plugin_timer_support_t* onTimer_ = nullptr;
  const clap_plugin_posix_fd_support_t* onFd_ = nullptr;
  clap_id nextTimer_ = 1;
};

}  // namespace claptest
