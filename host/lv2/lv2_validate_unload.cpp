// The unload check of `vornhost validate` for LV2 plug-ins: with the host's
// own X error handler set, the X11 UI opened on a window of the host's and
// closed, the plug-in freed and its binaries unloaded, the host's next X
// error must reach the host's handler (and nothing may jump into the
// unloaded code).
#include <dlfcn.h>
#include <sys/select.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "host/lv2/lv2_validate_checks.h"

namespace vornhost {

namespace {

std::atomic<int> gHostErrors{0};
int HostHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}

void Write(LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {}

bool Loaded(const std::string& binary) {
  void* handle = dlopen(binary.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

std::string FileOf(const LilvNode* uri) {
  char* path = lilv_file_uri_parse(lilv_node_as_uri(uri), nullptr);
  std::string file = path != nullptr ? path : "";
  lilv_free(path);
  return file;
}

// Idles the UI until a child of `parent` is mapped, at most 5 s.
bool WaitForMap(Display* display, ::Window parent, const LV2UI_Idle_Interface* idle, LV2UI_Handle ui) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (idle != nullptr && idle->idle != nullptr) idle->idle(ui);
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == parent) return true;
    }
    fd_set read;
    FD_ZERO(&read);
    FD_SET(ConnectionNumber(display), &read);
    timeval wait{0, 10000};
    select(ConnectionNumber(display) + 1, &read, nullptr, nullptr, &wait);
  }
  return false;
}

}  // namespace

std::string CheckLv2UnloadAfterUi(const std::string& reference) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return "Sno display";
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return std::string("Sthe display ") + name + " cannot be opened";
  XSetErrorHandler(HostHandler);
  const ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 700, 0, 0, 0);
  XSelectInput(display, parent, SubstructureNotifyMask);
  XMapWindow(display, parent);
  XSync(display, False);

  std::string pluginBinary, uiBinary, note;
  {
    auto p = std::make_unique<Lv2PluginHost>(reference);
    pluginBinary = FileOf(lilv_plugin_get_library_uri(p->Plugin()));
    LilvUIs* uis = lilv_plugin_get_uis(p->Plugin());
    LilvNode* x11 = lilv_new_uri(p->World(), LV2_UI__X11UI);
    const LilvUI* found = nullptr;
    LILV_FOREACH(uis, it, uis) {
      if (found == nullptr && lilv_ui_is_a(lilv_uis_get(uis, it), x11)) found = lilv_uis_get(uis, it);
    }
    lilv_node_free(x11);
    if (found == nullptr) {
      lilv_uis_free(uis);
      XCloseDisplay(display);
      return "Sno X11 UI";
    }
    const std::string uiUri = lilv_node_as_uri(lilv_ui_get_uri(found));
    uiBinary = FileOf(lilv_ui_get_binary_uri(found));
    const std::string bundle = FileOf(lilv_ui_get_bundle_uri(found));
    lilv_uis_free(uis);
    p->Start(48000, 256);

    void* library = dlopen(uiBinary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return std::string("the UI binary does not load: ") + dlerror();
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    const LV2UI_Descriptor* descriptor = nullptr;
    for (std::uint32_t i = 0; entry != nullptr && entry(i) != nullptr; ++i) {
      if (entry(i)->URI != nullptr && uiUri == entry(i)->URI) descriptor = entry(i);
    }
    if (descriptor == nullptr) return "the UI binary does not describe " + uiUri;
    LV2_Feature map{LV2_URID__map, p->UridMap()};
    LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(p->Instance())};
    LV2_Extension_Data_Feature data{lilv_instance_get_descriptor(p->Instance())->extension_data};
    LV2_Feature dataAccess{LV2_DATA_ACCESS_URI, &data};
    const LV2_Feature* features[] = {&map, &parentFeature, &idleFeature, &access, &dataAccess, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle ui = descriptor->instantiate(descriptor, p->Uri().c_str(), bundle.c_str(), Write, nullptr,
                                              &widget, features);
    if (ui == nullptr) return "instantiate answers NULL on a display";
    const auto* idle =
        descriptor->extension_data != nullptr
            ? static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface))
            : nullptr;
    if (!WaitForMap(display, parent, idle, ui)) note = "its window was not mapped within 5 s; ";
    descriptor->cleanup(ui);
    dlclose(library);
    p.reset();  // the instance, then lilv's world: lilv unloads the plug-in's binary
  }
  const bool stays = Loaded(pluginBinary) || Loaded(uiBinary);

  XWindowAttributes attributes{};
  XGetWindowAttributes(display, static_cast<::Window>(0x7ffffff0), &attributes);
  XSync(display, False);
  const int errors = gHostErrors.load();
  const bool ours = XSetErrorHandler(HostHandler) == &HostHandler;
  XCloseDisplay(display);
  if (errors != 1)
    return note + "of the one X error provoked, the host's handler saw " + std::to_string(errors);
  if (!ours) note += "another X error handler is current (it passed the error on); ";
  if (stays) note += "the binary stays loaded after unloading; ";
  if (!note.empty()) note.erase(note.size() - 2);
  return note.empty() ? std::string() : "P" + note;
}

}  // namespace vornhost
