// The plug-in and its UI as a host runs them: port events, idles and state
// saves on the host's main thread while run() runs on an audio thread with
// the ports changing. The test command runs it under ThreadSanitizer. The
// sound follows the ports alone, and nothing is written without the user.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <lv2/instance-access/instance-access.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include "tests/lv2/lilv_host.h"

namespace {

using namespace std::chrono_literals;

const char* const kSymbols[] = {"delay_1_4_notes", "delay",     "tempo_delay", "feedback", "color",
                                "resonance",       "color_mix", "ping_pong",   "dry",      "wet"};
const float kMinimum[] = {0, 0, 0, 0, 400, 0, 0, 0, -40, -40};
const float kMaximum[] = {23, 4000, 1, 100, 4000, 1, 1, 1, 10, 10};

std::atomic<int> gWrites{0};
void Write(LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t, const void*) {
  ++gWrites;
}

struct Stored {
  std::vector<std::uint8_t> chunk;
};
LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t, const void* value, std::size_t size,
                       std::uint32_t, std::uint32_t) {
  const auto* bytes = static_cast<const std::uint8_t*>(value);
  static_cast<Stored*>(handle)->chunk.assign(bytes, bytes + size);
  return LV2_STATE_SUCCESS;
}

std::vector<std::uint8_t> Chunk(lv2test::Instance& lv2) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(lv2.instance, LV2_STATE__interface));
  Stored stored;
  if (state != nullptr) state->save(lilv_instance_get_handle(lv2.instance), Store, &stored, 0, nullptr);
  return stored.chunk;
}

TEST(Lv2Threads, PortEventsIdlesAndSavesBesideRunLeaveTheSoundToThePorts) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  ::Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 500, 480, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  lv2test::Instance plugin;
  ASSERT_NE(plugin.instance, nullptr);
  lv2test::World& w = lv2test::World::Get();
  LilvUIs* uis = lilv_plugin_get_uis(w.plugin);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
  void* library = dlopen(binary, RTLD_NOW | RTLD_LOCAL);
  lilv_free(binary);
  lilv_uis_free(uis);
  ASSERT_NE(library, nullptr) << dlerror();
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
  ASSERT_NE(entry, nullptr);
  const LV2UI_Descriptor* descriptor = entry(0);
  LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
  LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
  // Offered as some hosts do; the UI takes no use of it.
  LV2_Feature access{LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.instance)};
  const LV2_Feature* features[] = {&w.urids.mapFeature, &parentFeature, &idleFeature, &access, nullptr};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle handle =
      descriptor->instantiate(descriptor, "urn:fenmoor:vorn-delay-2", "", Write, nullptr, &widget, features);
  ASSERT_NE(handle, nullptr);
  const auto* idle =
      static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
  ASSERT_NE(idle, nullptr);

  // The audio thread: the host moves the ports between blocks, as it may.
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::mt19937 random(1);
    std::vector<float> left(256), right(256);
    while (!stop) {
      const auto k = static_cast<std::size_t>(random() % 10);
      plugin.Set(kSymbols[k], std::uniform_real_distribution<float>(kMinimum[k], kMaximum[k])(random));
      for (std::size_t i = 0; i < left.size(); ++i) left[i] = right[i] = (random() % 1000) / 2000.0f - 0.25f;
      plugin.Process(left, right, 256);
    }
  });
  // The main thread: the UI hears of values (and meter levels), idles, and
  // the host saves the state now and then.
  std::mt19937 random(2);
  std::vector<std::uint8_t> chunk;
  const auto end = std::chrono::steady_clock::now() + 1500ms;
  while (std::chrono::steady_clock::now() < end) {
    const auto k = static_cast<std::uint32_t>(random() % 10);
    const float value = std::uniform_real_distribution<float>(kMinimum[k], kMaximum[k])(random);
    descriptor->port_event(handle, 5 + k, sizeof value, 0, &value);
    const float meter = std::uniform_real_distribution<float>(0, 1)(random);
    descriptor->port_event(handle, 16, sizeof meter, 0, &meter);
    EXPECT_EQ(idle->idle(handle), 0);
    chunk = Chunk(plugin);
    EXPECT_EQ(chunk.size(), 260u);
    std::this_thread::sleep_for(5ms);
  }
  stop = true;
  audio.join();

  // Values the UI hears now, after the last block, must not reach the sound.
  for (std::uint32_t k = 0; k < 10; ++k) {
    const float value = kMaximum[k];
    descriptor->port_event(handle, 5 + k, sizeof value, 0, &value);
  }
  for (int i = 0; i < 5; ++i) {
    idle->idle(handle);
    std::this_thread::sleep_for(10ms);
  }
  std::vector<float> left(256), right(256);
  plugin.Process(left, right, 256);
  lv2test::Instance reference;
  for (const char* symbol : kSymbols) reference.Set(symbol, plugin.Get(symbol));
  reference.Process(left, right, 256);
  EXPECT_EQ(Chunk(plugin), Chunk(reference)) << "the settings are the ports' alone";
  EXPECT_EQ(gWrites.load(), 0) << "writes without the user";

  descriptor->cleanup(handle);
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

}  // namespace
