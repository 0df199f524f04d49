// Coefficients and delay lengths derived from the sliders and the host.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/plugin_instance.h"

TEST(DelayLengths, FiveHundredMillisecondsAt44100) {
  PluginInstance p(44100);
  const DelayVariables& v = p.Script().v;
  EXPECT_DOUBLE_EQ(v.msDelaySamples, 22050);
  EXPECT_NEAR(v.stereoOffset, 10.143, 1e-12);
  EXPECT_NEAR(v.delayLengthLeft, 22039.857, 1e-9);
  EXPECT_NEAR(v.delayLengthRight, 22060.143, 1e-9);
  EXPECT_EQ(v.leftBase, 0);
  EXPECT_EQ(v.rightBase, 264602);  // just past the left line's last cell, 264601
  EXPECT_EQ(v.maxDelaySamples, 264600);
}

TEST(DelayLengths, ZeroMillisecondsKeepsTheRightLineAtTwiceTheOffset) {
  PluginInstance p(44100);
  p.SetSlider(1, 0);
  EXPECT_EQ(p.Script().v.msDelaySamples, 0);
  EXPECT_EQ(p.Script().v.delayLengthLeft, 0);
  EXPECT_DOUBLE_EQ(p.Script().v.delayLengthRight, 2 * 44100 * 0.00023);
}

TEST(DelayLengths, TempoSyncIsComputedOnceAndHeld) {
  TestHost host;
  PluginInstance p(44100, &host);
  p.SetSlider(0, 5);                          // one quarter note
  p.SetSlider(2, 1);                          // tempo sync on
  EXPECT_EQ(p.Script().v.samplesPerBeat, 0);  // pending until the next block
  std::vector<float> l(64), r(64);
  p.Process(l, r);
  EXPECT_DOUBLE_EQ(p.Script().v.samplesPerBeat, 22050);
  EXPECT_NEAR(p.Script().v.delayLengthLeft, 22039.857, 1e-9);
  EXPECT_NEAR(p.Script().v.delayLengthRight, 22060.143, 1e-9);

  host.timeInfo.tempo = 60;  // a tempo change alone does not move the echoes
  p.Process(l, r);
  EXPECT_NEAR(p.Script().v.delayLengthLeft, 22039.857, 1e-9);
  p.SetSlider(3, 20);  // any parameter change re-reads the tempo
  p.Process(l, r);
  EXPECT_NEAR(p.Script().v.delayLengthLeft, 44100 - 10.143, 1e-9);
}

TEST(DelayLengths, LongTempoDelaysClampAtSixSeconds) {
  TestHost host;
  host.timeInfo.tempo = 30;
  PluginInstance p(44100, &host);
  p.SetSlider(0, 23);  // 4 quarter notes at 30 bpm = 8 s
  p.SetSlider(2, 1);
  std::vector<float> l(16), r(16);
  p.Process(l, r);
  EXPECT_EQ(p.Script().v.delayLengthLeft, 264600);
  EXPECT_EQ(p.Script().v.delayLengthRight, 264600);
}

TEST(DelayLengths, HostWithoutTempoGivesFullLengthAndStaysFinite) {
  TestHost host;
  host.timeInfo.tempo = 0;
  PluginInstance p(48000, &host);
  p.SetSlider(2, 1);
  std::vector<float> l(16, 0.5f), r(16, 0.5f);
  p.Process(l, r);
  EXPECT_EQ(p.Script().v.delayLengthLeft, 6 * 48000);
  host.hasTimeInfo = false;
  p.SetSlider(3, 30);
  p.Process(l, r);
  EXPECT_EQ(p.Script().v.tempo, 0);  // the previous value stays
  for (float s : l) EXPECT_TRUE(std::isfinite(s));
}

TEST(Coefficients, LadderAndHighPassAt44100) {
  PluginInstance p(44100);
  const DelayVariables& v = p.Script().v;
  EXPECT_NEAR(v.ladderLeft.p, 0.171628, 1e-6);
  EXPECT_NEAR(v.ladderRight.p, 0.141608, 1e-6);
  EXPECT_DOUBLE_EQ(v.ladderLeft.k, 2 * v.ladderLeft.p - 1);
  EXPECT_DOUBLE_EQ(v.hpCoef, 1 - std::exp(2 * -942.4777960769379 / 44100));  // split at 300 Hz with mix 1
  p.SetSlider(5, 1);
  EXPECT_NEAR(p.Script().v.ladderLeft.r, 3.14351, 1e-5);
  p.SetSlider(6, 0);
  EXPECT_DOUBLE_EQ(p.Script().v.hpCoef, 1 - std::exp(-942.4777960769379 / 44100));
}

TEST(Coefficients, AttackShortensSharplyAboveHalfFeedback) {
  PluginInstance p(44100);
  EXPECT_NEAR(p.Script().v.attackCoef, 0.9995466, 1e-7);
  p.SetSlider(3, 50);
  EXPECT_DOUBLE_EQ(p.Script().v.attackCoef, std::exp(-1 / (0.05 * 44100)));
  p.SetSlider(3, 51);
  const double seconds = -1 / (std::log(p.Script().v.attackCoef) * 44100);
  EXPECT_NEAR(seconds, 0.0019, 0.0001);
  p.SetSlider(3, 100);
  EXPECT_EQ(p.Script().v.attackCoef, 0);
}

TEST(Coefficients, InitConstantsAndQuarterNoteTable) {
  PluginInstance p(48000);
  TMorvoxEffect& s = p.Script();
  EXPECT_DOUBLE_EQ(s.v.releaseCoef, std::exp(-1 / (48000 * 0.05)));
  EXPECT_DOUBLE_EQ(s.v.recoveryCoef, std::exp(-1 / (48000 * 3.0)));
  EXPECT_DOUBLE_EQ(s.v.holdCoef, std::exp(-1 / (48000 * 0.02)));
  EXPECT_EQ(s.gfxRate, 30);
  EXPECT_EQ(s.v.buildLabel, 10000);
  for (int k = 0; k < 24; ++k)
    EXPECT_EQ(s.Memory(TMorvoxEffect::kQuarterNoteTable + k), TMorvoxEffect::kQuarterNotes[k]);
}

TEST(Coefficients, AbsurdHostSampleRatesLeaveTheEffectDryAndFinite) {
  for (float rate : {0.0f, -0.0f, -44100.0f, NAN, INFINITY, -INFINITY, 1e12f}) {
    PluginInstance p(rate);
    std::vector<float> l(2048, 0.25f), r(2048, -0.25f);
    p.Process(l, r);
    for (std::size_t j = 0; j < l.size(); ++j) {
      ASSERT_EQ(l[j], 0.25f) << rate << " " << j;
      ASSERT_EQ(r[j], -0.25f) << rate << " " << j;
    }
    EXPECT_EQ(p.Script().v.sampleRate, 0) << rate;
    EXPECT_FALSE(std::signbit(p.Script().v.sampleRate)) << rate;
  }
}

TEST(WindowsRand, FollowsTheWindowsRuntimeSequence) {
  WindowsRand rand;
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int value : expected) EXPECT_EQ(rand.Next(), value);
  for (int i = 0; i < 100000; ++i) {
    const int value = rand.Next();
    ASSERT_TRUE(value >= 0 && value <= 32767);
  }
}
