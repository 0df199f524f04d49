// The LV2 plug-in sounds exactly like the VST plug-in: the same settings
// give the same output, bit for bit, for an impulse, noise, tempo sync from
// the host's time:Position, and ping-pong.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/lv2/lilv_host.h"
#include "tests/support/plugin_instance.h"

namespace {

using Settings = std::vector<std::pair<int, double>>;  // slider index, value in its units

const char* const kSymbols[] = {"delay_1_4_notes", "delay",     "tempo_delay", "feedback", "color",
                                "resonance",       "color_mix", "ping_pong",   "dry",      "wet"};

struct Stereo {
  std::vector<float> left, right;
};

Stereo Impulse(std::size_t frames) {
  Stereo s{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
  s.left[0] = 1.0f;
  s.right[0] = 0.5f;
  return s;
}

Stereo Noise(std::size_t frames) {
  std::mt19937 generator(7);
  std::uniform_real_distribution<float> d(-0.5f, 0.5f);
  Stereo s{std::vector<float>(frames), std::vector<float>(frames)};
  for (std::size_t i = 0; i < frames; ++i) {
    s.left[i] = d(generator);
    s.right[i] = d(generator);
  }
  return s;
}

Stereo RunVst(const Settings& settings, Stereo audio, TestHost* host = nullptr) {
  PluginInstance vst(44100.0f, host);
  for (const auto& [index, value] : settings) vst.SetSlider(index, value);
  vst.Process(audio.left, audio.right, 512);
  return audio;
}

Stereo RunLv2(const Settings& settings, Stereo audio, const lv2test::Position* position = nullptr) {
  lv2test::Instance lv2;
  EXPECT_NE(lv2.instance, nullptr);
  if (lv2.instance == nullptr) return {};
  for (const auto& [index, value] : settings) lv2.Set(kSymbols[index], static_cast<float>(value));
  lv2.Process(audio.left, audio.right, 512, position);
  return audio;
}

std::size_t FirstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return i;
  }
  return a.size() == b.size() ? a.size() : std::min(a.size(), b.size());
}

void ExpectBitIdentical(const Stereo& vst, const Stereo& lv2) {
  ASSERT_EQ(lv2.left.size(), vst.left.size());
  EXPECT_EQ(FirstDifference(vst.left, lv2.left), vst.left.size()) << "left differs";
  EXPECT_EQ(FirstDifference(vst.right, lv2.right), vst.right.size()) << "right differs";
}

// Index of the largest magnitude at or after `from`.
std::size_t Loudest(const std::vector<float>& x, std::size_t from) {
  std::size_t best = from;
  for (std::size_t i = from; i < x.size(); ++i) {
    if (std::fabs(x[i]) > std::fabs(x[best])) best = i;
  }
  return best;
}

TEST(Lv2Sound, AnImpulseEchoesWhereTheVstPutsItBitForBit) {
  const Settings settings = {{1, 250}, {3, 40}, {8, -6}};
  const Stereo vst = RunVst(settings, Impulse(44100));
  const Stereo lv2 = RunLv2(settings, Impulse(44100));
  ExpectBitIdentical(vst, lv2);
  // The first echo near 250 ms (11025 frames), offset by the stereo spread.
  const std::size_t echo = Loudest(lv2.left, 2000);
  EXPECT_NEAR(static_cast<double>(echo), 11025.0, 200.0);
}

TEST(Lv2Sound, NoiseThroughEveryControlMatchesTheVst) {
  const Settings settings = {{1, 730}, {3, 85}, {4, 1230}, {5, 0.4}, {6, 0.35}, {8, -12}, {9, 4}};
  ExpectBitIdentical(RunVst(settings, Noise(30000)), RunLv2(settings, Noise(30000)));
}

TEST(Lv2Sound, SubnormalInputIsFlushedAsTheVstFlushesIt) {
  // Numbers below the normal range count as 0 while either format
  // processes, so even a signal made of them comes out the same.
  Stereo tiny{std::vector<float>(8192, 1e-40f), std::vector<float>(8192, -3e-39f)};
  tiny.left[0] = 0.5f;
  const Settings settings = {{1, 20}, {3, 60}};
  ExpectBitIdentical(RunVst(settings, tiny), RunLv2(settings, tiny));
}

TEST(Lv2Sound, PingPongMatchesTheVst) {
  const Settings settings = {{7, 1}, {1, 120}, {3, 70}};
  const Stereo vst = RunVst(settings, Impulse(30000));
  const Stereo lv2 = RunLv2(settings, Impulse(30000));
  ExpectBitIdentical(vst, lv2);
}

TEST(Lv2Sound, TempoSyncFollowsTheHostsPositionAsTheVstFollowsItsTimeInfo) {
  // The VST test host reports 120 beats per minute in 4/4; the LV2 host
  // sends the same as a time:Position. Option 5 is one quarter note: 22050
  // frames at 120 beats per minute.
  const Settings settings = {{2, 1}, {0, 5}, {3, 30}};
  const lv2test::Position position;
  const Stereo vst = RunVst(settings, Impulse(44100));
  const Stereo lv2 = RunLv2(settings, Impulse(44100), &position);
  ExpectBitIdentical(vst, lv2);
  EXPECT_NEAR(static_cast<double>(Loudest(lv2.left, 2000)), 22050.0, 200.0);

  // Another tempo moves the echo: 60 beats per minute, one quarter = 1 s.
  lv2test::Position slow;
  slow.beatsPerMinute = 60;
  const Stereo late = RunLv2(settings, Impulse(66150), &slow);
  EXPECT_NEAR(static_cast<double>(Loudest(late.left, 2000)), 44100.0, 200.0);
}

TEST(Lv2Sound, WithoutTheTimeInputTempoSyncRunsAsUnderAVstHostWithoutTimeInformation) {
  const Settings settings = {{2, 1}, {0, 5}, {3, 30}};
  TestHost noTime;
  noTime.hasTimeInfo = false;
  const Stereo vst = RunVst(settings, Impulse(30000), &noTime);
  lv2test::Instance lv2;
  ASSERT_NE(lv2.instance, nullptr);
  lv2.DisconnectTimeInput();  // the port is optional
  for (const auto& [index, value] : settings) lv2.Set(kSymbols[index], static_cast<float>(value));
  Stereo audio = Impulse(30000);
  lv2.Process(audio.left, audio.right);
  ExpectBitIdentical(vst, audio);

  // A host with no features at all (no URI map): the same sound, and a
  // position it sends cannot be read, so it changes nothing.
  lv2test::Instance bare(44100, 512, false);
  ASSERT_NE(bare.instance, nullptr);
  for (const auto& [index, value] : settings) bare.Set(kSymbols[index], static_cast<float>(value));
  Stereo bareAudio = Impulse(30000);
  const lv2test::Position position;
  bare.Process(bareAudio.left, bareAudio.right, 512, &position);
  ExpectBitIdentical(vst, bareAudio);
}

TEST(Lv2Sound, ControlValuesOutsideTheRangeOrNotANumberAreHarmless) {
  lv2test::Instance lv2;
  ASSERT_NE(lv2.instance, nullptr);
  lv2.Set("delay", 1e9f);
  lv2.Set("feedback", std::nanf(""));
  lv2.Set("wet", -1e9f);
  Stereo audio = Noise(4096);
  lv2.Process(audio.left, audio.right);
  for (float x : audio.left) ASSERT_TRUE(std::isfinite(x));
  for (float x : audio.right) ASSERT_TRUE(std::isfinite(x));
}

}  // namespace
