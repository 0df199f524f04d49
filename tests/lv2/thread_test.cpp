// The plug-in and its UI as a host runs them: port events, idles and state
// saves on the host's main thread while run() runs on an audio thread with
// the ports changing. The test command runs it under ThreadSanitizer. The
// sound follows the ports alone, and nothing is written without the user.
// State restores beside run(), as Ardour makes them: the last one wins.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <lv2/atom/atom.h>
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

// The chunk of a state with the delay at `ms` and no feedback.
std::vector<std::uint8_t> ChunkWithDelay(float ms) {
  lv2test::Instance source(48000, 64);
  source.Set("delay", ms);
  source.Set("feedback", 0);
  std::vector<float> l(64), r(64);
  source.Process(l, r, 64);
  return Chunk(source);
}

struct Retrieved {
  const std::vector<std::uint8_t>* chunk;
  LV2_URID type;
};
const void* Retrieve(LV2_State_Handle handle, std::uint32_t, std::size_t* size, std::uint32_t* type,
                     std::uint32_t* flags) {
  const auto* r = static_cast<const Retrieved*>(handle);
  *size = r->chunk->size();
  *type = r->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return r->chunk->data();
}

TEST(Lv2Threads, RestoresBesideRunTheLastOneWins) {
  constexpr double kRate = 48000;
  const std::vector<std::uint8_t> longer = ChunkWithDelay(1200);
  const std::vector<std::uint8_t> shorter = ChunkWithDelay(250);
  ASSERT_EQ(longer.size(), 260u);
  const LV2_URID chunkType = lv2test::World::Get().urids.Map(LV2_ATOM__Chunk);
  std::mt19937 random(3);
  for (int trial = 0; trial < 8; ++trial) {
    lv2test::Instance lv2(kRate, 64);
    ASSERT_NE(lv2.instance, nullptr);
    const auto* state = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(lv2.instance, LV2_STATE__interface));
    ASSERT_NE(state, nullptr);
    LV2_Handle handle = lilv_instance_get_handle(lv2.instance);
    std::atomic<int> blocks{0};
    std::atomic<bool> stop{false};
    std::thread audio([&] {
      std::vector<float> left(64), right(64);
      while (!stop) {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        lv2.Process(left, right, 64);
        blocks.fetch_add(1, std::memory_order_release);
      }
    });
    const auto waitBlocks = [&](int count) {
      const int until = blocks.load(std::memory_order_acquire) + count;
      while (blocks.load(std::memory_order_acquire) < until) std::this_thread::yield();
    };
    waitBlocks(10);
    Retrieved first{&longer, chunkType};
    Retrieved second{&shorter, chunkType};
    EXPECT_EQ(state->restore(handle, Retrieve, &first, 0, nullptr), LV2_STATE_SUCCESS);
    // The second restore lands anywhere from the same block to the middle
    // of the first one's clear.
    waitBlocks(static_cast<int>(random() % 30));
    EXPECT_EQ(state->restore(handle, Retrieve, &second, 0, nullptr), LV2_STATE_SUCCESS);
    EXPECT_EQ(Chunk(lv2), shorter) << "trial " << trial << ": a save right after the second restore";
    // Past the fade and the clear of either.
    waitBlocks(80);
    stop = true;
    audio.join();
    EXPECT_EQ(Chunk(lv2), shorter) << "trial " << trial;
    // It sounds as the last restore says: the one echo at 250 ms.
    std::vector<float> left(static_cast<std::size_t>(1.3 * kRate)), right(left.size());
    left[0] = right[0] = 1.0f;
    lv2.Process(left, right, 64);
    float at250 = 0, elsewhere = 0;
    for (std::size_t i = 1; i < left.size(); ++i) {
      const bool near =
          i > static_cast<std::size_t>(0.24 * kRate) && i < static_cast<std::size_t>(0.26 * kRate);
      (near ? at250 : elsewhere) = std::max(near ? at250 : elsewhere, std::fabs(left[i]));
    }
    EXPECT_GT(at250, 0.01f) << "trial " << trial;
    EXPECT_LT(elsewhere, 1e-4f) << "trial " << trial;
  }
}

}  // namespace
