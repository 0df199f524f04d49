// The binary unloaded as hosts unload it, after its UI was open: through
// lilv and suil (suil_instance_free, lilv_instance_free), and with a plain
// dlclose after the UI's cleanup. Afterwards the binary is gone from the
// process and the host's next X error reaches the host's own handler, with
// nothing of the plug-in's left in the way.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/select.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <string>

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <suil/suil.h>

namespace {

constexpr const char* kPluginUri = "urn:fenmoor:vorn-delay-2";

std::atomic<int> gHostErrors{0};
int HostHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}

LV2_URID MapUri(LV2_URID_Map_Handle, const char* uri) {
  // Enough for the plug-in and its UI: a stable id per string content.
  static std::map<std::string, LV2_URID> ids;
  auto it = ids.try_emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first;
  return it->second;
}

// The host's side: a connection, its own error handler and a parent
// window whose children's mapping it hears about.
class HostDisplay {
 public:
  HostDisplay() {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    XSetErrorHandler(HostHandler);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 900, 700, 0, 0, 0);
    XSelectInput(display, parent, SubstructureNotifyMask);
    XMapWindow(display, parent);
    XSync(display, False);
  }
  ~HostDisplay() {
    if (display != nullptr) XCloseDisplay(display);
  }
  // Calls `idle` until a child of the parent is mapped; false after 20 s.
  template <typename Idle>
  bool WaitForChildMapped(Idle idle) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      idle();
      while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == parent) return true;
      }
      // Wait for the next event on the connection, at most a few ms, so
      // that the UI's idle keeps running meanwhile.
      XFlush(display);
      fd_set read;
      FD_ZERO(&read);
      FD_SET(ConnectionNumber(display), &read);
      timeval wait{0, 5000};
      select(ConnectionNumber(display) + 1, &read, nullptr, nullptr, &wait);
    }
    return false;
  }
  // A request that fails: the attributes of a window that does not exist.
  void ProvokeError() {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, static_cast<::Window>(0x7ffffff0), &attributes);
    XSync(display, False);
  }
  Display* display = nullptr;
  ::Window parent = 0;
};

bool StillLoaded(const std::string& binary) {
  void* handle = dlopen(binary.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

void ExpectHostHandlerRuns(HostDisplay& host) {
  const int before = gHostErrors.load();
  host.ProvokeError();
  EXPECT_EQ(gHostErrors.load(), before + 1) << "the host's handler saw its error";
  EXPECT_EQ(XSetErrorHandler(HostHandler), &HostHandler) << "the host's handler is the process's again";
}

std::string BundlePath() {
  return std::string(VORN_LV2_BUNDLE) + "/";
}

std::string BinaryPath() {
  return BundlePath() + "VornDelay2.so";
}

void Write(SuilController, uint32_t, uint32_t, uint32_t, const void*) {}

TEST(Lv2Unload, ThroughLilvAndSuilAfterTheUi) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  HostDisplay host;
  ASSERT_NE(host.display, nullptr);

  LilvWorld* world = lilv_world_new();
  LilvNode* bundle = lilv_new_file_uri(world, nullptr, BundlePath().c_str());
  lilv_world_load_bundle(world, bundle);
  LilvNode* uri = lilv_new_uri(world, kPluginUri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  ASSERT_NE(plugin, nullptr);
  LV2_URID_Map map{nullptr, MapUri};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  LilvInstance* instance = lilv_plugin_instantiate(plugin, 48000, features);
  ASSERT_NE(instance, nullptr);
  lilv_instance_activate(instance);

  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  LilvNode* x11 = lilv_new_uri(world, LV2_UI__X11UI);
  const LilvUI* ui = nullptr;
  LILV_FOREACH(uis, it, uis) {
    if (lilv_ui_is_a(lilv_uis_get(uis, it), x11)) ui = lilv_uis_get(uis, it);
  }
  ASSERT_NE(ui, nullptr);
  char* uiBundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(ui)), nullptr);
  char* uiBinary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);

  SuilHost* suilHost = suil_host_new(Write, nullptr, nullptr, nullptr);
  LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(host.parent)};
  LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(instance)};
  const LV2_Feature* uiFeatures[] = {&mapFeature, &parent, &access, nullptr};
  SuilInstance* suil =
      suil_instance_new(suilHost, nullptr, LV2_UI__X11UI, kPluginUri, lilv_node_as_uri(lilv_ui_get_uri(ui)),
                        LV2_UI__X11UI, uiBundle, uiBinary, uiFeatures);
  ASSERT_NE(suil, nullptr);
  const auto* idle =
      static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(suil, LV2_UI__idleInterface));
  ASSERT_NE(idle, nullptr);
  EXPECT_TRUE(host.WaitForChildMapped([&] { idle->idle(suil_instance_get_handle(suil)); }));

  suil_instance_free(suil);
  suil_host_free(suilHost);
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
  lilv_free(uiBundle);
  lilv_free(uiBinary);
  lilv_node_free(x11);
  lilv_uis_free(uis);
  lilv_node_free(uri);
  lilv_node_free(bundle);
  lilv_world_free(world);

  EXPECT_FALSE(StillLoaded(BinaryPath())) << "lilv and suil unloaded the binary";
  ExpectHostHandlerRuns(host);
}

TEST(Lv2Unload, PlainDlcloseAfterTheUisCleanup) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  HostDisplay host;
  ASSERT_NE(host.display, nullptr);
  void* library = dlopen(BinaryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto plugins = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
  auto uis = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
  ASSERT_NE(plugins, nullptr);
  ASSERT_NE(uis, nullptr);
  const LV2_Descriptor* descriptor = plugins(0);
  const LV2UI_Descriptor* uiDescriptor = uis(0);
  ASSERT_NE(descriptor, nullptr);
  ASSERT_NE(uiDescriptor, nullptr);

  LV2_URID_Map map{nullptr, MapUri};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  LV2_Handle plugin = descriptor->instantiate(descriptor, 48000, BundlePath().c_str(), features);
  ASSERT_NE(plugin, nullptr);
  LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(host.parent)};
  LV2_Feature access{LV2_INSTANCE_ACCESS_URI, plugin};
  const LV2_Feature* uiFeatures[] = {&mapFeature, &parent, &access, nullptr};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = uiDescriptor->instantiate(uiDescriptor, descriptor->URI, BundlePath().c_str(), Write,
                                              nullptr, &widget, uiFeatures);
  ASSERT_NE(ui, nullptr);
  const auto* idle = static_cast<const LV2UI_Idle_Interface*>(
      uiDescriptor->extension_data != nullptr ? uiDescriptor->extension_data(LV2_UI__idleInterface)
                                              : nullptr);
  ASSERT_NE(idle, nullptr);
  EXPECT_TRUE(host.WaitForChildMapped([&] { idle->idle(ui); }));
  uiDescriptor->cleanup(ui);
  descriptor->cleanup(plugin);
  dlclose(library);

  EXPECT_FALSE(StillLoaded(BinaryPath())) << "dlclose unloaded the binary";
  ExpectHostHandlerRuns(host);
}

}  // namespace
