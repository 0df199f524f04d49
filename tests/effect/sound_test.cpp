// The delay's sound, measured at its outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "tests/support/plugin_instance.h"

namespace {

// The first frame at or after `from` where the output leaves the dry signal.
std::size_t FirstWetFrame(const std::vector<float>& out, const std::vector<float>& dry,
                          std::size_t from = 0) {
  for (std::size_t j = from; j < out.size(); ++j) {
    if (std::fabs(out[j] - dry[j]) > 1e-6f) return j;
  }
  return out.size();
}

// An instance whose level control is already open, so echoes show at once:
// the colour stage is bypassed (mix 0) and the envelope starts high.
void OpenWetPath(PluginInstance& p) {
  p.SetSlider(6, 0);
  p.Script().v.levelEnv = 1.0;
}

}  // namespace

TEST(Sound, AnImpulseArrivesShortOnTheLeftAndLongOnTheRight) {
  PluginInstance p(44100);
  OpenWetPath(p);
  std::vector<float> l(30000), r(30000);
  l[0] = 1.0f;
  r[100] = 1.0f;
  const std::vector<float> dryL = l, dryR = r;
  p.Process(l, r);
  EXPECT_EQ(FirstWetFrame(l, dryL), 22040u);         // floor(22039.857) + 1
  EXPECT_EQ(FirstWetFrame(r, dryR), 100u + 22061u);  // floor(22060.143) + 1
  EXPECT_LT(l[22040], 0.0f);                         // the left wet path is subtracted
  EXPECT_GT(r[22161], 0.0f);
}

TEST(Sound, FeedbackRepeatsTheEchoOnePassLater) {
  PluginInstance p(44100);
  OpenWetPath(p);
  p.SetSlider(3, 50);
  std::vector<float> l(50000), r(50000);
  l[0] = 1.0f;
  const std::vector<float> dry = l;
  p.Process(l, r);
  ASSERT_EQ(FirstWetFrame(l, dry), 22040u);
  const std::size_t quiet = FirstWetFrame(l, dry, 22040 + 2000);
  EXPECT_GE(quiet, 2u * 22040u - 5u);
  EXPECT_LE(quiet, 2u * 22040u + 2u);
}

TEST(Sound, PingPongSendsTheLeftEchoToTheRight) {
  PluginInstance p(44100);
  OpenWetPath(p);
  p.SetSlider(7, 1);
  std::vector<float> l(70000), r(70000);
  l[0] = 1.0f;
  const std::vector<float> dryR = r, dryL = l;
  p.Process(l, r);
  EXPECT_EQ(FirstWetFrame(l, dryL), 22040u);
  // The right line takes the previous frame's left wet value: one frame more.
  EXPECT_EQ(FirstWetFrame(r, dryR), 22040u + 1u + 22061u);
}

TEST(Sound, PingPongIgnoresTheRightInputOnTheWetPath) {
  PluginInstance p(44100);
  p.SetSlider(7, 1);
  std::vector<float> l(60000), r(60000);
  std::mt19937 gen(3);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  for (float& s : r) s = noise(gen);
  const std::vector<float> dryR = r;
  p.Process(l, r);
  for (std::size_t j = 0; j < l.size(); ++j) {
    ASSERT_LT(std::fabs(l[j]), 1e-9f) << j;
    ASSERT_EQ(r[j], dryR[j]) << j;
  }
}

TEST(Sound, DryAndWetGainsScaleTheirPaths) {
  struct Render {
    std::vector<float> l = std::vector<float>(30000), r = std::vector<float>(30000);
  };
  const auto render = [](double dryDb, double wetDb) {
    PluginInstance p(44100);
    OpenWetPath(p);
    p.SetSlider(8, dryDb);
    p.SetSlider(9, wetDb);
    Render out;
    out.l[0] = 1.0f;
    out.r[100] = 0.5f;
    p.Process(out.l, out.r);
    return out;
  };
  const Render unity = render(0, 0), quietWet = render(0, -40), quietDry = render(-40, 0);
  // The dry path alone before the first echo: unchanged at 0 dB, 0.01 × at -40 dB.
  EXPECT_EQ(quietWet.l[0], 1.0f);
  EXPECT_EQ(quietWet.r[100], 0.5f);
  EXPECT_FLOAT_EQ(quietDry.l[0], 0.01f);
  EXPECT_FLOAT_EQ(quietDry.r[100], 0.005f);
  // The echoes: 0.01 × at -40 dB wet, untouched by the dry gain.
  ASSERT_EQ(FirstWetFrame(unity.l, std::vector<float>(30000), 1), 22040u);
  double echo = 0;
  for (std::size_t j = 22040; j < 30000; ++j) {
    echo = std::max(echo, static_cast<double>(std::fabs(unity.l[j])));
    ASSERT_NEAR(quietWet.l[j], unity.l[j] * 0.01f, 1e-6f * std::fabs(unity.l[j]) + 1e-12f) << j;
    ASSERT_NEAR(quietWet.r[j], unity.r[j] * 0.01f, 1e-6f * std::fabs(unity.r[j]) + 1e-12f) << j;
    ASSERT_EQ(quietDry.l[j], unity.l[j]) << j;
  }
  EXPECT_GT(echo, 0.05);
}

TEST(Sound, ResetMakesTheInstanceSoundLikeANewOne) {
  auto render = [](PluginInstance& p) {
    std::vector<float> l(40000), r(40000);
    for (std::size_t j = 0; j < l.size(); ++j) {
      l[j] = static_cast<float>(std::sin(j * 0.01)) * 0.8f;
      r[j] = static_cast<float>(std::cos(j * 0.013)) * 0.8f;
    }
    p.Process(l, r);
    return l;
  };
  PluginInstance used(44100);
  used.SetSlider(3, 70);
  render(used);
  used.SetSlider(3, 10);
  used.Dispatch(effOpen);
  used.Resume();
  PluginInstance fresh(44100);
  EXPECT_EQ(render(used), render(fresh));
}

TEST(Sound, SingleAndDoublePrecisionAgree) {
  PluginInstance a(48000), b(48000);
  std::vector<float> lf(30000), rf(30000);
  std::vector<double> ld(30000), rd(30000);
  for (std::size_t j = 0; j < lf.size(); ++j) {
    lf[j] = static_cast<float>(std::sin(j * 0.02));
    ld[j] = lf[j];
    rf[j] = rd[j] = 0;
  }
  a.Process(lf, rf, 100);
  b.ProcessDouble(ld, rd, 333);
  for (std::size_t j = 0; j < lf.size(); ++j) ASSERT_FLOAT_EQ(lf[j], static_cast<float>(ld[j])) << j;
}

TEST(Robustness, NonFiniteInputEntersAsSilence) {
  PluginInstance hit(44100), clean(44100);
  std::vector<float> l(50000, 0.1f), r(50000, 0.1f);
  std::vector<float> cl = l, cr = r;
  const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity()};
  for (int k = 0; k < 3; ++k) {
    l[1000 + k] = r[2000 + k] = bad[k];
    cl[1000 + k] = cr[2000 + k] = 0.0f;
  }
  hit.Process(l, r);
  clean.Process(cl, cr);
  for (std::size_t j = 0; j < l.size(); ++j) {
    ASSERT_TRUE(std::isfinite(l[j]) && std::isfinite(r[j])) << j;
    ASSERT_EQ(l[j], cl[j]) << j;
  }
}

TEST(Robustness, LoudNoiseAtFullResonanceAndFeedbackStaysFinite) {
  PluginInstance p(44100);
  p.SetSlider(3, 100);
  p.SetSlider(5, 1);
  p.SetSlider(4, 400);
  p.SetSlider(1, 10);
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> noise(-100.0f, 100.0f);
  std::vector<float> l(44100), r(44100);
  for (int second = 0; second < 60; ++second) {
    for (std::size_t j = 0; j < l.size(); ++j) {
      l[j] = noise(gen);
      r[j] = noise(gen);
    }
    p.Process(l, r);
    for (std::size_t j = 0; j < l.size(); ++j) {
      ASSERT_TRUE(std::isfinite(l[j]) && std::isfinite(r[j])) << second << ":" << j;
    }
  }
  const DelayVariables& v = p.Script().v;
  EXPECT_TRUE(std::isfinite(v.levelEnv) && std::isfinite(v.wetLeft) && std::isfinite(v.ladderStateLeft.y4));
}

TEST(Robustness, TheQuarterNoteTableSurvivesTheLongestDelayAt192k) {
  TestHost host;
  host.timeInfo.tempo = 30;
  PluginInstance p(192000, &host);
  p.SetSlider(0, 23);
  p.SetSlider(2, 1);
  p.SetSlider(3, 90);
  std::vector<float> l(192000, 0.7f), r(192000, -0.7f);
  for (int second = 0; second < 13; ++second) p.Process(l, r);
  EXPECT_EQ(p.Script().v.delayLengthRight, 6 * 192000);
  for (int k = 0; k < 24; ++k) {
    EXPECT_EQ(p.Script().Memory(TMorvoxEffect::kQuarterNoteTable + k), TMorvoxEffect::kQuarterNotes[k]);
  }
  p.SetSlider(0, 5);
  EXPECT_EQ(p.Script().v.quarterNotes, 1.0);
}

TEST(Robustness, ProcessingCreatesNoMemoryPage) {
  PluginInstance p(96000);
  const std::size_t pages = p.Script().PageCount();
  p.SetSlider(1, 4000);
  std::vector<float> l(96000 * 5, 0.3f), r(96000 * 5, 0.3f);
  p.Process(l, r);
  EXPECT_EQ(p.Script().PageCount(), pages);
}

namespace {

// Largest peak of the wet part (input minus output at 0 dB dry) of the left channel.
float WetPeak(const std::vector<float>& in, const std::vector<float>& out, std::size_t from, std::size_t to) {
  float peak = 0;
  for (std::size_t j = from; j < to; ++j) peak = std::max(peak, std::fabs(in[j] - out[j]));
  return peak;
}

}  // namespace

// A +17 dBFS sine into a resonant colour stage drives the ladder's soft clip
// far past its range; the filter and the level control must come back at
// once instead of blasting the host and then sitting silent.
TEST(Robustness, HotInputNeitherBlastsNorSilencesTheEcho) {
  PluginInstance p(44100);
  p.SetSlider(4, 4000);
  p.SetSlider(5, 1);
  p.SetSlider(3, 10);
  p.SetSlider(1, 100);
  const std::size_t hot = 4410, total = 4410 + 3 * 44100;
  std::vector<float> l(total), r(total);
  for (std::size_t j = 0; j < total; ++j) {
    const double amplitude = j < hot ? std::pow(10.0, 17.0 / 20) : 0.25;
    l[j] = r[j] = static_cast<float>(amplitude *
                                     std::sin(2 * std::numbers::pi * 1000 * static_cast<double>(j) / 44100));
  }
  const std::vector<float> in = l;
  p.Process(l, r);
  for (std::size_t j = 0; j < total; ++j) ASSERT_TRUE(std::isfinite(l[j]) && std::isfinite(r[j])) << j;
  const float peak = WetPeak(in, l, 0, total);
  EXPECT_LE(20 * std::log10(peak), 12.0f);
  // The normal input's echo (100 ms later) is back within a second.
  EXPECT_GT(WetPeak(in, l, hot + 39690, hot + 44100), 0.05f);
  EXPECT_GT(WetPeak(in, l, total - 4410, total), 0.05f);
  EXPECT_LT(p.Script().v.levelEnv, 10.0);
}

// Long near-silence after a signal lets the level control's gain decay; it
// must reach 0 instead of sticking among the subnormal numbers, and no
// other state may land there either.
TEST(Robustness, LongSilenceLeavesNoSubnormalState) {
  for (double gain : {1e-310, 3e-308, 1e-320}) {
    PluginInstance p(48000);
    p.Script().v.levelGain = gain;
    std::vector<float> l(48000), r(48000);
    p.Process(l, r);
    const DelayVariables& v = p.Script().v;
    const LadderState& a = v.ladderStateLeft;
    const LadderState& b = v.ladderStateRight;
    for (double state : {v.levelGain, v.levelEnv, v.levelHold, v.wetLeft, v.wetRight, v.hpStateLeft,
                         v.hpStateRight, a.x0p, a.y1, a.y2, a.y3, a.y4, b.x0p, b.y1, b.y2, b.y3, b.y4}) {
      EXPECT_NE(std::fpclassify(state), FP_SUBNORMAL) << gain << " " << state;
    }
    EXPECT_EQ(v.levelGain, 0.0) << gain;
  }
}

#if defined(__SSE2__)
TEST(Robustness, ProcessingRestoresTheHostsFloatingPointMode) {
  PluginInstance p(48000);
  const unsigned before = _mm_getcsr();
  std::vector<float> l(1000, 0.1f), r(1000, 0.1f);
  p.Process(l, r);
  std::vector<double> dl(1000), dr(1000);
  p.ProcessDouble(dl, dr);
  EXPECT_EQ(_mm_getcsr(), before);
}
#endif

// At the longest delay both lines are full length; each channel's echo
// must hold only its own signal, at every common rate, in both directions.
TEST(Robustness, FullLengthLinesKeepTheirChannelsApart) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
    for (int loud = 0; loud < 2; ++loud) {
      TestHost host;
      host.timeInfo.tempo = 30;
      PluginInstance p(rate, &host);
      OpenWetPath(p);
      p.SetSlider(0, 23);
      p.SetSlider(2, 1);
      p.SetSlider(3, 0);
      const auto frames = static_cast<std::size_t>(rate * 13);
      std::vector<float> l(frames), r(frames);
      std::mt19937 gen(5);
      std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
      std::vector<float>& signal = loud == 0 ? l : r;
      for (float& s : signal) s = noise(gen);
      p.Process(l, r, 4096);
      ASSERT_EQ(p.Script().v.delayLengthLeft, 6 * rate);
      ASSERT_EQ(p.Script().v.delayLengthRight, 6 * rate);
      const std::vector<float>& quiet = loud == 0 ? r : l;
      std::size_t crossed = 0;
      for (float s : quiet) crossed += std::fabs(s) > 1e-6f ? 1 : 0;
      EXPECT_EQ(crossed, 0u) << rate << (loud == 0 ? " left into right" : " right into left");
    }
  }
}

TEST(Robustness, ALowerRateAfterAHigherOneKeepsTheLinesWithinTheirCells) {
  TestHost host;
  host.timeInfo.tempo = 30;
  PluginInstance p(192000, &host);
  p.SetSlider(0, 23);
  p.SetSlider(2, 1);
  std::vector<float> l(192000 * 2, 0.1f), r(192000 * 2, 0.1f);
  p.Process(l, r);
  ASSERT_GT(p.Script().v.writePosLeft, 6 * 44100 + 1);
  p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100);
  p.Resume();
  const DelayVariables& v = p.Script().v;
  EXPECT_LE(v.writePosLeft, v.maxDelaySamples + 1);
  EXPECT_LE(v.writePosRight, v.maxDelaySamples + 1);
  const std::size_t pages = p.Script().PageCount();
  std::vector<float> l2(44100, 0.1f), r2(44100, 0.1f);
  p.Process(l2, r2);
  EXPECT_EQ(p.Script().PageCount(), pages);
}
