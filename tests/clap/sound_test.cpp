// The sound through the CLAP record: the VST build's to the bit when every
// event is at a block's start, events at their own frame otherwise, the
// bypass parameter's fade, hosts that hand odd buffers, and no page fault
// in process after activation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"
#include "tests/support/page_faults.h"
#include "tests/support/plugin_instance.h"

namespace {

constexpr std::size_t kFrames = 44100;

struct Stereo {
  std::vector<float> left = TestSignal(kFrames, 1);
  std::vector<float> right = TestSignal(kFrames, 2);
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST(ClapSound, WithEveryEventAtABlocksStartTheSoundIsTheVstBuildsBitForBit) {
  // The default settings, then every factory preset's.
  std::vector<std::array<double, 10>> settings;
  settings.push_back({4, 500, 0, 10, 2000, 0.05, 1, 0, 0, 0});
  for (const presets::FactoryPreset& preset : presets::FactoryPresets()) settings.push_back(preset.values);
  for (const auto& values : settings) {
    PluginInstance vst;
    ClapTestHost host;
    ClapInstance clap(host);
    ASSERT_TRUE(clap.Activate(44100, 512));
    ClapEventList events;
    for (std::uint32_t i = 0; i < 10; ++i) {
      vst.SetSlider(static_cast<VstInt32>(i), values[i]);
      events.Value(0, i, values[i]);
    }
    Stereo a;
    Stereo b;
    vst.Process(a.left, a.right, 512);
    clap.Process(b.left, b.right, 512, &events);
    EXPECT_TRUE(SameBits(a.left, b.left) && SameBits(a.right, b.right)) << "settings starting " << values[0];
  }
}

TEST(ClapSound, AnEventTakesEffectAtItsOwnFrame) {
  constexpr std::uint32_t kAt = 300;
  constexpr std::uint32_t kBlock = 1024;
  ClapTestHost host;
  ClapInstance whole(host);
  ClapInstance split(host);
  ClapInstance unchanged(host);
  for (ClapInstance* instance : {&whole, &split, &unchanged}) ASSERT_TRUE(instance->Activate(44100, kBlock));

  Stereo a;
  Stereo b;
  Stereo c;
  // Dry at -40 dB and the delay at 10 ms from frame 300 of the first block.
  ClapEventList late;
  late.Value(kAt, 8, -40);
  late.Value(kAt, 1, 10);
  whole.ProcessBlock(a.left.data(), a.right.data(), kBlock, &late);
  // The same as a host that ends one block at frame 300 and sends them with the next.
  ClapEventList atStart;
  atStart.Value(0, 8, -40);
  atStart.Value(0, 1, 10);
  split.ProcessBlock(b.left.data(), b.right.data(), kAt, nullptr);
  split.ProcessBlock(b.left.data() + kAt, b.right.data() + kAt, kBlock - kAt, &atStart);
  unchanged.ProcessBlock(c.left.data(), c.right.data(), kBlock, nullptr);

  EXPECT_TRUE(SameBits(a.left, b.left) && SameBits(a.right, b.right));
  EXPECT_EQ(std::memcmp(a.left.data(), c.left.data(), kAt * sizeof(float)), 0) << "changed before its frame";
  EXPECT_NE(a.left[kAt + 5], c.left[kAt + 5]) << "no change at its frame";
  EXPECT_EQ(whole.Value(8), -40);
}

TEST(ClapSound, EventsOutOfOrderOrPastTheEndAndForeignEventsAreTakenSafely) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate(44100, 256));
  ClapEventList events;
  events.Value(200, 3, 55);
  events.Value(100, 9, -6);    // earlier than the one before it: taken where the block stands
  events.Value(9999, 4, 800);  // past the block: taken at its end
  clap_event_param_value_t shortEvent{};
  shortEvent.header = {12, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  events.Add(&shortEvent, 12);  // a size too small for what it claims to be: ignored
  clap_event_param_value_t otherSpace{};
  otherSpace.header = {sizeof(otherSpace), 0, 7, CLAP_EVENT_PARAM_VALUE, 0};
  otherSpace.param_id = 3;
  otherSpace.value = 99;
  events.Add(&otherSpace, sizeof(otherSpace));
  events.Value(0, 77, 1);  // no such parameter
  events.Value(0, 2, std::nan(""));
  std::vector<float> left(256, 0.25f);
  std::vector<float> right(256, -0.25f);
  EXPECT_EQ(clap.ProcessBlock(left.data(), right.data(), 256, &events), CLAP_PROCESS_CONTINUE);
  EXPECT_EQ(clap.Value(3), 55);
  EXPECT_EQ(clap.Value(9), -6);
  EXPECT_EQ(clap.Value(4), 800);
  EXPECT_EQ(clap.Value(2), 0);
  for (float sample : left) ASSERT_TRUE(std::isfinite(sample));
}

TEST(ClapSound, TheBypassFadesToTheDryInputWithoutAJumpAndTheDelayRunsOn) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate(44100, 512));
  Stereo s;
  const std::vector<float> dry = s.left;
  ClapEventList on;
  on.Value(0, ClapPlugin::kBypassParam, 1);
  clap.Process(s.left, s.right, 512, &on);
  EXPECT_EQ(clap.Value(ClapPlugin::kBypassParam), 1);
  // Past the ramp the output is the input itself.
  const auto ramp = static_cast<std::size_t>(BypassFade::kRampSeconds * 44100) + 1;
  EXPECT_EQ(std::memcmp(s.left.data() + ramp, dry.data() + ramp, (kFrames - ramp) * sizeof(float)), 0);
  // The ramp has no step larger than the signal's own.
  for (std::size_t i = 1; i < ramp; ++i) ASSERT_LT(std::fabs(s.left[i] - s.left[i - 1]), 1.0f) << i;

  // Back on, the echoes of what played while bypassed are there.
  std::vector<float> left(8192, 0.0f);
  std::vector<float> right(8192, 0.0f);
  ClapEventList off;
  off.Value(0, ClapPlugin::kBypassParam, 0);
  clap.Process(left, right, 512, &off);
  float peak = 0;
  for (float sample : left) peak = std::fmax(peak, std::fabs(sample));
  EXPECT_GT(peak, 1e-3f);
}

TEST(ClapSound, NoFramesNoInputOrNoOutputIsHandled) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate(44100, 4096));
  float left[1] = {0};
  float right[1] = {0};
  EXPECT_EQ(clap.ProcessBlock(left, right, 0, nullptr), CLAP_PROCESS_CONTINUE);

  // No input port: the effect hears silence over a block longer than the
  // plug-in's own buffer.
  std::vector<float> outL(3000, 9.0f);
  std::vector<float> outR(3000, 9.0f);
  float* out[2] = {outL.data(), outR.data()};
  clap_audio_buffer_t output{out, nullptr, 2, 0, 0};
  ClapEventList none;
  ClapOutputList pushed;
  clap_process_t process{};
  process.frames_count = 3000;
  process.audio_outputs = &output;
  process.audio_outputs_count = 1;
  process.in_events = none.Input();
  process.out_events = pushed.Output();
  EXPECT_EQ(clap.plugin->process(clap.plugin, &process), CLAP_PROCESS_CONTINUE);
  for (float sample : outL) ASSERT_EQ(sample, 0.0f);

  // No output either: nothing is written, the events still count.
  ClapEventList events;
  events.Value(10, 3, 42);
  process.audio_outputs_count = 0;
  process.in_events = events.Input();
  EXPECT_EQ(clap.plugin->process(clap.plugin, &process), CLAP_PROCESS_CONTINUE);
  EXPECT_EQ(clap.Value(3), 42);

  // Not active: an error, not a crash.
  clap.Deactivate();
  EXPECT_EQ(clap.plugin->process(clap.plugin, &process), CLAP_PROCESS_ERROR);
}

// Page faults are counted through getrusage, which Windows lacks.
#ifndef _WIN32
TEST(ClapSound, ProcessTakesNoPageFaultAfterActivationEvenAtTheLongestDelayOrAroundALoad) {
  // A sanitizer's shadow of the lines faults on its own first use.
  if (kShadowMemory) GTEST_SKIP() << "the sanitizer's shadow memory takes its own page faults";
  constexpr double kHighRate = 192000;
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate(kHighRate, 64));
  ClapEventList longest;
  longest.Value(0, 1, 4000);
  longest.Value(0, 3, 50);
  std::vector<float> l(64, 0.25f), r(64, -0.25f);
  clap.ProcessBlock(l.data(), r.data(), 64, &longest);  // the code's and the stack's own first touches
  const std::vector<std::uint8_t> chunk = clap.Save();
  // Every cell of both 4 s lines is written once in 4.1 s of audio; a load
  // halfway fades out, clears the lines and fades in.
  const auto blocks = static_cast<std::size_t>(4.1 * kHighRate / 64);
  const long before = MinorFaults();
  long load = 0;  // the main thread's load, its own faults not counted
  for (std::size_t block = 0; block < blocks; ++block) {
    if (block == blocks / 2) {
      const long beforeLoad = MinorFaults();
      ASSERT_TRUE(clap.Load(chunk));
      load = MinorFaults() - beforeLoad;
    }
    clap.ProcessBlock(l.data(), r.data(), 64, nullptr);
  }
  EXPECT_EQ(MinorFaults() - before - load, 0);
}
#endif

}  // namespace
