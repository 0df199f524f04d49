// The LV2 bypass: the port hosts switch is designated lv2:enabled and on by
// default; turning it off fades to the dry input and back without a jump,
// and the delay keeps running meanwhile, so its echoes are there on return.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "formats/lv2/lv2_bypass.h"
#include "formats/lv2/lv2_ports.h"
#include "tests/lv2/lilv_host.h"

namespace {

using lv2test::Instance;
using lv2test::World;

constexpr double kRate = 44100;
constexpr std::size_t kBlock = 256;

struct Played {
  std::vector<float> input, left, right;
};

// Plays `input` (both channels) in blocks, with the enabled port set by
// `enabledAt(frame)` at each block's start.
template <typename Enabled>
Played Play(Instance& lv2, const std::vector<float>& input, Enabled enabledAt) {
  Played run{input, input, input};
  for (std::size_t start = 0; start < input.size(); start += kBlock) {
    const std::size_t n = std::min(kBlock, input.size() - start);
    lv2.Set("enabled", enabledAt(start) ? 1.0f : 0.0f);
    std::vector<float> l(run.left.begin() + static_cast<std::ptrdiff_t>(start),
                         run.left.begin() + static_cast<std::ptrdiff_t>(start + n));
    std::vector<float> r = l;
    lv2.Process(l, r, static_cast<int>(n));
    std::copy(l.begin(), l.end(), run.left.begin() + static_cast<std::ptrdiff_t>(start));
    std::copy(r.begin(), r.end(), run.right.begin() + static_cast<std::ptrdiff_t>(start));
  }
  return run;
}

std::vector<float> Tone(std::size_t frames, float level) {
  std::vector<float> x(frames);
  for (std::size_t i = 0; i < frames; ++i)
    x[i] = level * static_cast<float>(std::sin(2 * M_PI * 150 * static_cast<double>(i) / kRate));
  return x;
}

float LargestStep(const std::vector<float>& x, std::size_t from, std::size_t to) {
  float step = 0;
  for (std::size_t i = std::max<std::size_t>(from, 1); i < to; ++i)
    step = std::max(step, std::fabs(x[i] - x[i - 1]));
  return step;
}

TEST(Lv2Bypass, ThePortIsTheHostsEnabledSwitchAndOnByDefault) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr);
  LilvNode* enabled = w.Uri(LV2_CORE__enabled);
  const LilvPort* port = lilv_plugin_get_port_by_designation(w.plugin, nullptr, enabled);
  lilv_node_free(enabled);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(lilv_port_get_index(w.plugin, port), lv2port::kEnabled);
  LilvNode* toggled = w.Uri(LV2_CORE__toggled);
  EXPECT_TRUE(lilv_port_has_property(w.plugin, port, toggled));
  lilv_node_free(toggled);
  LilvNode* def = nullptr;
  lilv_port_get_range(w.plugin, port, &def, nullptr, nullptr);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(lilv_node_as_float(def), 1.0f);
  lilv_node_free(def);
}

TEST(Lv2Bypass, SwitchingOffAndOnFadesWithoutAJumpAndBypassedIsTheDryInput) {
  Instance lv2(kRate, static_cast<int>(kBlock));
  ASSERT_NE(lv2.instance, nullptr);
  lv2.Set("delay", 120);
  lv2.Set("feedback", 70);
  lv2.Set("wet", 6);
  const auto second = static_cast<std::size_t>(kRate);
  const std::vector<float> input = Tone(4 * second, 0.4f);
  const Played run = Play(lv2, input, [&](std::size_t f) { return f < second || f >= 2 * second; });
  const float steady = LargestStep(run.left, second / 2, second);
  // Each switch: the largest step around it stays that of the sound itself.
  const float off = LargestStep(run.left, second - kBlock, second + second / 10);
  const float on = LargestStep(run.left, 2 * second - kBlock, 2 * second + second / 10);
  EXPECT_LT(off, 1.2f * steady);
  EXPECT_LT(on, 1.2f * steady);
  std::printf("[ bypass ] largest step: running %.5f, switching off %.5f, on %.5f\n",
              static_cast<double>(steady), static_cast<double>(off), static_cast<double>(on));
  // The ramp takes 20 ms; then the output is the input, sample for sample.
  const std::size_t rampEnd = second + static_cast<std::size_t>(Lv2Bypass::kRampSeconds * kRate) + kBlock;
  for (std::size_t i = rampEnd; i < 2 * second; ++i) {
    ASSERT_EQ(run.left[i], input[i]) << i;
    ASSERT_EQ(run.right[i], input[i]) << i;
  }
  // And the wet path is back after the switch on (the output differs from the dry tone).
  float wet = 0;
  for (std::size_t i = 2 * second + second / 10; i < 3 * second; ++i)
    wet = std::max(wet, std::fabs(run.left[i] - input[i]));
  EXPECT_GT(wet, 0.1f);
}

TEST(Lv2Bypass, TheDelayKeepsRunningWhileBypassedSoItsEchoReturns) {
  // An impulse at 0, bypassed from 0.1 s to 0.4 s, its echo due at 0.5 s:
  // the echo is there after the return, as if the bypass had not been.
  const auto second = static_cast<std::size_t>(kRate);
  std::vector<float> input(second, 0.0f);
  input[0] = 1.0f;
  const auto setup = [](Instance& lv2) {
    lv2.Set("delay", 500);
    lv2.Set("feedback", 0);
  };
  Instance bypassed(kRate, static_cast<int>(kBlock)), plain(kRate, static_cast<int>(kBlock));
  ASSERT_NE(bypassed.instance, nullptr);
  setup(bypassed);
  setup(plain);
  const Played a =
      Play(bypassed, input, [&](std::size_t f) { return f < second / 10 || f >= second * 4 / 10; });
  const Played b = Play(plain, input, [](std::size_t) { return true; });
  float echo = 0;
  for (std::size_t i = second * 45 / 100; i < second * 55 / 100; ++i) {
    EXPECT_EQ(a.left[i], b.left[i]) << i;
    echo = std::max(echo, std::fabs(a.left[i]));
  }
  EXPECT_GT(echo, 0.01f);
}

}  // namespace
