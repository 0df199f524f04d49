// The CLAP plug-in's two threads as a host runs them: the audio thread
// processes block after block while the main thread loads states and
// presets, saves, reads values and pushes the GUI's edits. Built under
// ThreadSanitizer by the test command; every wait is on what the other
// thread has done, never on time.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"

namespace {

class AudioThread {
 public:
  explicit AudioThread(ClapInstance& clap) : clap_(clap) {
    thread_ = std::thread([this] {
      clap_.host.audioThread = std::this_thread::get_id();
      clap_.plugin->start_processing(clap_.plugin);
      std::vector<float> left(256);
      std::vector<float> right(256);
      std::uint32_t n = 0;
      while (!stop_.load(std::memory_order_acquire)) {
        for (std::size_t i = 0; i < left.size(); ++i) left[i] = right[i] = (n++ % 200) < 100 ? 0.3f : -0.3f;
        clap_.ProcessBlock(left.data(), right.data(), 256, nullptr);
        blocks_.fetch_add(1, std::memory_order_release);
      }
      clap_.plugin->stop_processing(clap_.plugin);
    });
  }
  ~AudioThread() { Stop(); }
  void Stop() {
    stop_.store(true, std::memory_order_release);
    if (thread_.joinable()) thread_.join();
  }
  // Waits until the audio thread has run `count` more blocks.
  void WaitBlocks(std::uint64_t count) {
    const std::uint64_t target = blocks_.load(std::memory_order_acquire) + count;
    while (blocks_.load(std::memory_order_acquire) < target) std::this_thread::yield();
  }

 private:
  ClapInstance& clap_;
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> blocks_{0};
  std::thread thread_;
};

TEST(ClapThreads, LoadsSavesAndEditsOnTheMainThreadBesideProcessOnTheAudioThread) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.plugin->activate(clap.plugin, 44100, 1, 256));
  clap.active = true;
  {
    AudioThread audio(clap);
    const auto presets = presets::FactoryPresets();
    for (int round = 0; round < 60; ++round) {
      const presets::FactoryPreset& preset = presets[static_cast<std::size_t>(round) % presets.size()];
      const std::vector<std::uint8_t> chunk = presets::PresetChunk(preset);
      if (round % 2 == 0) {
        ASSERT_TRUE(clap.Load(chunk, 7));
      } else {
        ASSERT_TRUE(clap.presetLoad->from_location(clap.plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN,
                                                   nullptr, presets::PresetSymbol(preset).c_str()));
      }
      // At once, whether or not the sound has taken it yet.
      ASSERT_EQ(clap.Save(), chunk) << round;
      for (clap_id id = 0; id < 10; ++id) ASSERT_EQ(clap.Value(id), preset.values[id]);
      if (round % 3 == 0) audio.WaitBlocks(1 + round % 7);
    }
    // The last load reaches the sound: once it has, the values come from it.
    audio.WaitBlocks(8);
    EXPECT_EQ(clap.Save(), presets::PresetChunk(presets[59 % presets.size()]));

    ClapPlugin* plugin = ClapPlugin::Of(clap.plugin);
    for (int k = 0; k < 50; ++k) {
      const double feedback = 20 + k;
      ASSERT_TRUE(plugin->PushUiEdit({ClapUiEdit::kValue, 3, feedback}));
      while (clap.Value(3) != feedback) std::this_thread::yield();
    }
  }
  clap.plugin->deactivate(clap.plugin);
  clap.active = false;
  EXPECT_TRUE(host.log.empty()) << host.log.front();
}

}  // namespace
