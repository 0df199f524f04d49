// Two small LV2 echoes with X11 UIs for the validator's own tests. "sound"
// keeps what the activation, restore and unload checks look for; "faulty"
// breaks each the way plug-ins commonly do: activate keeps the old echoes,
// a restore left pending hides a later one, the run() that applies a
// restore clears a large buffer in one go, and the UI sets an X error
// handler that it never takes out again.
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

namespace {

constexpr const char* kSound = "urn:fenmoor:test:echo#sound";
constexpr const char* kFaulty = "urn:fenmoor:test:echo#faulty";
constexpr const char* kDelayKey = "urn:fenmoor:test:echo#delay";
constexpr std::int32_t kDefaultDelayMs = 100;

struct Echo {
  bool faulty = false;
  double rate = 48000;
  LV2_URID delayKey = 0, intType = 0;
  std::vector<float> line;     // one second
  std::vector<float> scratch;  // what the faulty one clears after a restore
  std::size_t at = 0;
  std::int32_t delayMs = kDefaultDelayMs;  // what sounds
  std::int32_t savedMs = kDefaultDelayMs;  // what save answers
  std::int32_t pendingMs = -1;             // restored, for the next run()
  const float* in = nullptr;
  float* out = nullptr;
  const float* feedback = nullptr;
};

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*,
                       const LV2_Feature* const* features) {
  const LV2_URID_Map* map = nullptr;
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, LV2_URID__map) == 0)
      map = static_cast<LV2_URID_Map*>(features[i]->data);
  }
  if (map == nullptr) return nullptr;
  auto* echo = new Echo;
  echo->faulty = std::strcmp(descriptor->URI, kFaulty) == 0;
  echo->rate = rate;
  echo->delayKey = map->map(map->handle, kDelayKey);
  echo->intType = map->map(map->handle, "http://lv2plug.in/ns/ext/atom#Int");
  echo->line.assign(static_cast<std::size_t>(rate), 0.0f);
  if (echo->faulty) echo->scratch.assign(std::size_t{8} << 20, 0.0f);
  return echo;
}

void Connect(LV2_Handle handle, std::uint32_t port, void* data) {
  auto* echo = static_cast<Echo*>(handle);
  if (port == 0) echo->in = static_cast<const float*>(data);
  if (port == 1) echo->out = static_cast<float*>(data);
  if (port == 2) echo->feedback = static_cast<const float*>(data);
}

void ApplyPending(Echo& echo) {
  if (echo.pendingMs < 0) return;
  echo.delayMs = echo.pendingMs;
  echo.pendingMs = -1;
  if (echo.faulty) std::fill(echo.scratch.begin(), echo.scratch.end(), 0.0f);
}

void Activate(LV2_Handle handle) {
  auto& echo = *static_cast<Echo*>(handle);
  if (echo.faulty) return;
  std::fill(echo.line.begin(), echo.line.end(), 0.0f);
  echo.at = 0;
  ApplyPending(echo);
}

void Run(LV2_Handle handle, std::uint32_t frames) {
  auto& echo = *static_cast<Echo*>(handle);
  if (echo.in == nullptr || echo.out == nullptr) return;
  ApplyPending(echo);
  const float feedback = echo.feedback != nullptr ? std::clamp(*echo.feedback, 0.0f, 0.9f) : 0.5f;
  const std::size_t size = echo.line.size();
  const std::size_t delay =
      std::clamp<std::size_t>(static_cast<std::size_t>(echo.delayMs * echo.rate / 1000), 1, size - 1);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const float delayed = echo.line[(echo.at + size - delay) % size];
    echo.out[i] = echo.in[i] + delayed;
    echo.line[echo.at] = echo.in[i] + feedback * delayed;
    echo.at = (echo.at + 1) % size;
  }
}

void Cleanup(LV2_Handle handle) {
  delete static_cast<Echo*>(handle);
}

LV2_State_Status Save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      std::uint32_t, const LV2_Feature* const*) {
  auto& echo = *static_cast<Echo*>(handle);
  return store(state, echo.delayKey, &echo.savedMs, sizeof echo.savedMs, echo.intType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                         std::uint32_t, const LV2_Feature* const*) {
  auto& echo = *static_cast<Echo*>(handle);
  std::size_t size = 0;
  std::uint32_t type = 0, flags = 0;
  const void* value = retrieve(state, echo.delayKey, &size, &type, &flags);
  if (value == nullptr || size != sizeof(std::int32_t) || type != echo.intType)
    return LV2_STATE_ERR_NO_PROPERTY;
  std::int32_t ms = 0;
  std::memcpy(&ms, value, sizeof ms);
  ms = std::clamp(ms, 1, 900);
  if (echo.faulty && echo.pendingMs >= 0) return LV2_STATE_SUCCESS;  // the first pending one stays
  echo.pendingMs = ms;
  echo.savedMs = ms;
  return LV2_STATE_SUCCESS;
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state{Save, Restore};
  return std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor kDescriptors[] = {
    {kSound, Instantiate, Connect, Activate, Run, nullptr, Cleanup, ExtensionData},
    {kFaulty, Instantiate, Connect, Activate, Run, nullptr, Cleanup, ExtensionData},
};

// The UI: a window of its own connection inside the host's.
int UiErrorHandler(Display*, XErrorEvent*) {
  return 0;
}

struct EchoUi {
  bool faulty = false;
  Display* display = nullptr;
  ::Window window = 0;
  XErrorHandler before = nullptr;
};

LV2UI_Handle InstantiateUi(const LV2UI_Descriptor* descriptor, const char*, const char*, LV2UI_Write_Function,
                           LV2UI_Controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  void* parent = nullptr;
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, LV2_UI__parent) == 0) parent = features[i]->data;
  }
  if (parent == nullptr) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  auto* ui = new EchoUi;
  ui->faulty = std::strstr(descriptor->URI, "faulty") != nullptr;
  ui->display = display;
  ui->before = XSetErrorHandler(UiErrorHandler);
  ui->window = XCreateSimpleWindow(display, reinterpret_cast<::Window>(parent), 0, 0, 200, 100, 0, 0, 0);
  XMapWindow(display, ui->window);
  XSync(display, False);
  *widget = reinterpret_cast<LV2UI_Widget>(ui->window);
  return ui;
}

void CleanupUi(LV2UI_Handle handle) {
  auto* ui = static_cast<EchoUi*>(handle);
  XDestroyWindow(ui->display, ui->window);
  XCloseDisplay(ui->display);
  if (!ui->faulty) XSetErrorHandler(ui->before);
  delete ui;
}

void PortEvent(LV2UI_Handle, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {}

int Idle(LV2UI_Handle) {
  return 0;
}

const void* UiExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle{Idle};
  return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

const LV2UI_Descriptor kUiDescriptors[] = {
    {"urn:fenmoor:test:echo#sound-ui", InstantiateUi, CleanupUi, PortEvent, UiExtensionData},
    {"urn:fenmoor:test:echo#faulty-ui", InstantiateUi, CleanupUi, PortEvent, UiExtensionData},
};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
  return index < 2 ? &kDescriptors[index] : nullptr;
}

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
  return index < 2 ? &kUiDescriptors[index] : nullptr;
}
