// Clearing what the delay holds: in bounded steps, exactly what a clear at
// once clears; the whole lines when they are silenced.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/support/plugin_instance.h"

namespace {

constexpr float kRate = 96000;
// The right line's first cell at this rate (the left line starts at 0).
constexpr std::int32_t kRightBase = static_cast<std::int32_t>(6 * kRate) + 2;

// An instance whose lines hold noise over a 4 s delay's reach.
void FillLines(PluginInstance& p) {
  p.SetSlider(1, 4000);
  std::vector<float> l(static_cast<std::size_t>(kRate * 4.2)), r(l.size());
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  for (std::size_t i = 0; i < l.size(); ++i) l[i] = r[i] = noise(gen);
  p.Process(l, r, 4096);
}

bool Zero(TMorvoxEffect& s, std::int32_t from, std::int32_t to) {
  for (std::int32_t k = from; k < to; ++k) {
    if (s.Memory(k) != 0.0 || s.Memory(kRightBase + k) != 0.0) return false;
  }
  return true;
}

}  // namespace

TEST(Clear, StepsClearAtMostTheirShareAndEndWhereAClearAtOnceEnds) {
  PluginInstance p(kRate);
  FillLines(p);
  TMorvoxEffect& s = p.Script();
  // The lengths reach 4 s ± the stereo offset: cells up to that + 2.
  const auto reach = static_cast<std::int32_t>(std::ceil(s.v.delayLengthRight + 2));
  ASSERT_NE(s.Memory(1000), 0.0);
  s.BeginClearEchoes();
  EXPECT_EQ(s.v.wetLeft, 0.0);
  EXPECT_EQ(s.v.levelEnv, 0.0);
  constexpr std::int32_t kShare = 50000;
  int steps = 0;
  for (bool done = false; !done; ++steps) {
    done = s.ClearEchoesStep(kShare);
    const std::int32_t cleared = std::min(reach, (steps + 1) * kShare);
    ASSERT_TRUE(Zero(s, cleared - 100, cleared)) << "step " << steps;
    if (!done) {
      ASSERT_NE(s.Memory(cleared), 0.0) << "step " << steps << " cleared past its share";
    }
  }
  EXPECT_EQ(steps, (reach + kShare - 1) / kShare);
  EXPECT_TRUE(Zero(s, 0, reach));
  EXPECT_TRUE(s.ClearEchoesStep(kShare)) << "nothing is left";
}

TEST(Clear, SilencingTheLinesClearsBeyondTheDelayInUse) {
  PluginInstance p(kRate);
  FillLines(p);
  p.SetSlider(1, 100);  // a short delay now: the 4 s of noise lie beyond it
  TMorvoxEffect& s = p.Script();
  s.SilenceLines();
  EXPECT_TRUE(Zero(s, 0, static_cast<std::int32_t>(6 * kRate) + 2));
}
