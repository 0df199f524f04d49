#include "tests/clap/gui_host.h"

#include <dlfcn.h>
#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace claptest {

namespace {

struct Module {
  Module() {
    library = dlopen(VORN_CLAP_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) throw std::runtime_error(dlerror());
    entry = static_cast<const clap_plugin_entry_t*>(dlsym(library, CLAP_ENTRY_SYMBOL));
    if (entry == nullptr || !entry->init(VORN_CLAP_MODULE)) throw std::runtime_error("no clap_entry");
    factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  }
  // The module stays mapped after deinit: LeakSanitizer, which looks at
  // exit, cannot see into an unloaded one.
  ~Module() { entry->deinit(); }
  void* library = nullptr;
  const clap_plugin_entry_t* entry = nullptr;
  const clap_plugin_factory_t* factory = nullptr;
};

struct InEvents {
  const std::vector<clap_event_param_value_t>* events;
  static std::uint32_t Size(const clap_input_events_t* list) {
    return static_cast<std::uint32_t>(static_cast<const InEvents*>(list->ctx)->events->size());
  }
  static const clap_event_header_t* Get(const clap_input_events_t* list, std::uint32_t index) {
    const auto& events = *static_cast<const InEvents*>(list->ctx)->events;
    return index < events.size() ? &events[index].header : nullptr;
  }
};

}  // namespace

const clap_plugin_factory_t* Factory() {
  static Module module;
  return module.factory;
}

GuiHost::GuiHost(Offers offers) : offers_(offers) {
  host_.clap_version = CLAP_VERSION;
  host_.host_data = this;
  host_.name = "gui test host";
  host_.vendor = "Fenmoor";
  host_.url = "";
  host_.version = "1";
  host_.get_extension = GetExtension;
  host_.request_restart = [](const clap_host_t*) {};
  host_.request_process = [](const clap_host_t* host) { ++Of(host).processRequests; };
  host_.request_callback = [](const clap_host_t* host) { ++Of(host).callbackRequests; };
  timerSupport_ = {RegisterTimer, UnregisterTimer};
  fdSupport_ = {RegisterFd, ModifyFd, UnregisterFd};
  hostParams_ = {[](const clap_host_t*, clap_param_rescan_flags) {},
                 [](const clap_host_t*, clap_id, clap_param_clear_flags) {}, RequestFlush};
  hostGui_ = {[](const clap_host_t*) {}, RequestResize, [](const clap_host_t*) { return false; },
              [](const clap_host_t*) { return false; }, Closed};
  plugin_ = Factory()->create_plugin(Factory(), &host_, "com.fenmoor.vorn-delay-2");
  if (plugin_ == nullptr || !plugin_->init(plugin_)) throw std::runtime_error("the plug-in did not start");
  gui_ = static_cast<const clap_plugin_gui_t*>(plugin_->get_extension(plugin_, CLAP_EXT_GUI));
  params_ = static_cast<const clap_plugin_params_t*>(plugin_->get_extension(plugin_, CLAP_EXT_PARAMS));
  onTimer_ = static_cast<const clap_plugin_timer_support_t*>(
      plugin_->get_extension(plugin_, CLAP_EXT_TIMER_SUPPORT));
  onFd_ = static_cast<const clap_plugin_posix_fd_support_t*>(
      plugin_->get_extension(plugin_, CLAP_EXT_POSIX_FD_SUPPORT));
}

GuiHost::~GuiHost() {
  DestroyPlugin();
}

void GuiHost::DestroyPlugin() {
  if (plugin_ != nullptr) plugin_->destroy(plugin_);
  plugin_ = nullptr;
  gui_ = nullptr;
}

const void* GuiHost::GetExtension(const clap_host_t* host, const char* id) {
  GuiHost& self = Of(host);
  if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0 && self.offers_.timers) return &self.timerSupport_;
  if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0 && self.offers_.fds) return &self.fdSupport_;
  if (std::strcmp(id, CLAP_EXT_PARAMS) == 0 && self.offers_.params) return &self.hostParams_;
  if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &self.hostGui_;
  return nullptr;
}

bool GuiHost::RegisterTimer(const clap_host_t* host, std::uint32_t period, clap_id* id) {
  GuiHost& self = Of(host);
  *id = self.nextTimer_++;
  self.timers[*id] = period;
  return true;
}

bool GuiHost::UnregisterTimer(const clap_host_t* host, clap_id id) {
  return Of(host).timers.erase(id) == 1;
}

bool GuiHost::RegisterFd(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags) {
  return flags == CLAP_POSIX_FD_READ && Of(host).fds.insert(fd).second;
}

bool GuiHost::ModifyFd(const clap_host_t* host, int fd, clap_posix_fd_flags_t) {
  return Of(host).fds.count(fd) == 1;
}

bool GuiHost::UnregisterFd(const clap_host_t* host, int fd) {
  return Of(host).fds.erase(fd) == 1;
}

void GuiHost::RequestFlush(const clap_host_t* host) {
  ++Of(host).flushRequests;
}

bool GuiHost::RequestResize(const clap_host_t* host, std::uint32_t width, std::uint32_t height) {
  Of(host).resizeRequests.emplace_back(width, height);
  return true;
}

void GuiHost::Closed(const clap_host_t* host, bool) {
  ++Of(host).closedCalls;
}

int GuiHost::Pump(int waitMs) {
  int calls = 0;
  // A copy: a callback may unregister.
  const std::map<clap_id, std::uint32_t> due = timers;
  for (const auto& [id, period] : due) {
    if (timers.count(id) == 0) continue;
    onTimer_->on_timer(plugin_, id);
    ++calls;
  }
  if (fds.empty()) return calls;
  std::vector<pollfd> watched;
  for (int fd : fds) watched.push_back({fd, POLLIN, 0});
  if (poll(watched.data(), watched.size(), waitMs) > 0) {
    for (const pollfd& p : watched) {
      if ((p.revents & POLLIN) == 0 || fds.count(p.fd) == 0) continue;
      onFd_->on_fd(plugin_, p.fd, CLAP_POSIX_FD_READ);
      ++calls;
    }
  }
  return calls;
}

clap_event_param_value_t GuiHost::Value(clap_id param, double value, std::uint32_t time) {
  clap_event_param_value_t event{};
  event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  event.param_id = param;
  event.note_id = -1;
  event.port_index = -1;
  event.channel = -1;
  event.key = -1;
  event.value = value;
  return event;
}

bool GuiHost::PushOut(const clap_output_events_t* list, const clap_event_header_t* event) {
  auto& out = *static_cast<std::vector<OutEvent>*>(list->ctx);
  if (event->space_id != CLAP_CORE_EVENT_SPACE_ID) return true;
  if (event->type == CLAP_EVENT_PARAM_VALUE) {
    const auto* value = reinterpret_cast<const clap_event_param_value_t*>(event);
    out.push_back({event->type, event->time, value->param_id, value->value});
  } else if (event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event->type == CLAP_EVENT_PARAM_GESTURE_END) {
    const auto* gesture = reinterpret_cast<const clap_event_param_gesture_t*>(event);
    out.push_back({event->type, event->time, gesture->param_id, 0});
  }
  return true;
}

void GuiHost::Process(std::uint32_t frames, const std::vector<clap_event_param_value_t>& in, float impulse,
                      std::vector<float>* output) {
  std::vector<float> left(frames, 0.0f), right(frames, 0.0f);
  if (frames > 0) left[0] = impulse;
  float* channels[2] = {left.data(), right.data()};
  clap_audio_buffer_t input{channels, nullptr, 2, 0, 0};
  clap_audio_buffer_t outputBuffer{channels, nullptr, 2, 0, 0};  // in place
  InEvents events{&in};
  const clap_input_events_t inList{&events, InEvents::Size, InEvents::Get};
  const clap_output_events_t outList{&outEvents, PushOut};
  clap_process_t process{};
  process.steady_time = -1;
  process.frames_count = frames;
  process.audio_inputs = &input;
  process.audio_outputs = &outputBuffer;
  process.audio_inputs_count = 1;
  process.audio_outputs_count = 1;
  process.in_events = &inList;
  process.out_events = &outList;
  plugin_->process(plugin_, &process);
  if (output != nullptr) {
    output->insert(output->end(), left.begin(), left.end());
    output->insert(output->end(), right.begin(), right.end());
  }
}

void GuiHost::Flush(const std::vector<clap_event_param_value_t>& in) {
  InEvents events{&in};
  const clap_input_events_t inList{&events, InEvents::Size, InEvents::Get};
  const clap_output_events_t outList{&outEvents, PushOut};
  params_->flush(plugin_, &inList, &outList);
}

}  // namespace claptest
