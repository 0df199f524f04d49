// The X11 UI check of `vornhost validate` for LV2 plug-ins: the UI binary
// loaded as a host loads it, on a parent window of ours, then without a
// display.
#include <dlfcn.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "host/lv2/lv2_validate_checks.h"

namespace vornhost {

namespace {

using namespace std::chrono_literals;

// Control values written (format 0); messages in atoms (a UI asking its
// plug-in for data, say) are a UI's own business.
std::atomic<int> gWrites{0};
void Write(LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t format, const void*) {
  if (format == 0) ++gWrites;
}

struct Ui {
  const LV2UI_Descriptor* descriptor = nullptr;
  std::string pluginUri, bundle;
};

// One UI session: instantiate on `parent`, a port event for every control,
// idles; "" or what went wrong. With `destroyParent` the parent window goes
// while the UI is open, as when a host closes its window first.
std::string Session(const Ui& ui, Lv2PluginHost& p, void* parent, Display* display, ::Window window) {
  LV2_Feature map{LV2_URID__map, p.UridMap()};
  LV2_Feature parentFeature{LV2_UI__parent, parent};
  LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
  LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(p.Instance())};
  LV2_Extension_Data_Feature data{lilv_instance_get_descriptor(p.Instance())->extension_data};
  LV2_Feature dataAccess{LV2_DATA_ACCESS_URI, &data};
  const LV2_Feature* features[] = {&map, &parentFeature, &idleFeature, &access, &dataAccess, nullptr};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle handle = ui.descriptor->instantiate(ui.descriptor, ui.pluginUri.c_str(), ui.bundle.c_str(),
                                                   Write, nullptr, &widget, features);
  if (handle == nullptr) return display != nullptr ? "instantiate answers NULL on a display" : "";
  const auto* idle =
      ui.descriptor->extension_data != nullptr
          ? static_cast<const LV2UI_Idle_Interface*>(ui.descriptor->extension_data(LV2_UI__idleInterface))
          : nullptr;
  std::string problem;
  for (const Lv2Control& c : p.controls()) {
    ui.descriptor->port_event(handle, c.index, sizeof c.defaultValue, 0, &c.defaultValue);
  }
  for (int i = 0; i < 60; ++i) {
    const int answer = idle != nullptr && idle->idle != nullptr ? idle->idle(handle) : 0;
    if (answer != 0 && display != nullptr && problem.empty()) {
      problem = "idle answers " + std::to_string(answer) + " while its window is open";
    }
    std::this_thread::sleep_for(15ms);
  }
  if (gWrites != 0 && problem.empty()) {
    problem = "the UI wrote " + std::to_string(gWrites.load()) + " control values without any input";
  }
  if (display != nullptr && idle != nullptr && idle->idle != nullptr && problem.empty()) {
    XDestroyWindow(display, window);
    XSync(display, False);
    int answer = 0;
    for (int i = 0; i < 60 && answer == 0; ++i) {
      answer = idle->idle(handle);
      std::this_thread::sleep_for(15ms);
    }
    if (answer == 0) problem = "idle keeps answering 0 once its parent window is gone";
  }
  ui.descriptor->cleanup(handle);
  return problem;
}

}  // namespace

std::string CheckLv2X11Ui(const std::string& reference) {
  Lv2PluginHost p(reference);
  LilvUIs* uis = lilv_plugin_get_uis(p.Plugin());
  LilvNode* x11 = lilv_new_uri(p.World(), LV2_UI__X11UI);
  const LilvUI* found = nullptr;
  LILV_FOREACH(uis, it, uis) {
    const LilvUI* candidate = lilv_uis_get(uis, it);
    if (found == nullptr && lilv_ui_is_a(candidate, x11)) found = candidate;
  }
  lilv_node_free(x11);
  if (found == nullptr) {
    lilv_uis_free(uis);
    return "Sno X11 UI";
  }
  Ui ui;
  ui.pluginUri = p.Uri();
  const std::string uiUri = lilv_node_as_uri(lilv_ui_get_uri(found));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(found)), nullptr);
  char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(found)), nullptr);
  const std::string binaryPath = binary != nullptr ? binary : "";
  ui.bundle = bundle != nullptr ? bundle : "";
  lilv_free(binary);
  lilv_free(bundle);
  lilv_uis_free(uis);
  // Never unloaded: toolkits keep threads and handlers of their own.
  void* library = dlopen(binaryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::string("the UI binary does not load: ") + dlerror();
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
  if (entry == nullptr) return "the UI binary has no lv2ui_descriptor";
  for (std::uint32_t i = 0; const LV2UI_Descriptor* d = entry(i); ++i) {
    if (d->URI != nullptr && uiUri == d->URI) ui.descriptor = d;
  }
  if (ui.descriptor == nullptr) return "the UI binary does not describe " + uiUri;
  p.Start(44100, 256);

  std::string problem;
  const char* name = std::getenv("DISPLAY");
  const std::string displayName = name != nullptr ? name : "";
  if (!displayName.empty()) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return "Sthe display " + displayName + " cannot be opened";
    const ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    problem = Session(ui, p, reinterpret_cast<void*>(window), display, window);
    XCloseDisplay(display);
  }
  if (problem.empty()) {
    // No display to be had, and a parent id that names no window.
    setenv("DISPLAY", ":65000", 1);
    gWrites = 0;
    problem = Session(ui, p, reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7ffffff0)), nullptr, 0);
  }
  if (!problem.empty()) return problem;
  return displayName.empty() ? "Sno display (only the check without one ran)" : "";
}

}  // namespace vornhost
