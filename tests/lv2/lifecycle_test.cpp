// The instance's life as real hosts lead it: deactivate and activate again
// start from no history; the last restore wins, across deactivation too;
// a preset restored while bypassed comes in without a click on enable; the
// enabled port's values; the meter's block peaks; a restore that never
// looks at the control ports; no page fault in run() after activation.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <lv2/state/state.h>

#include "formats/lv2/lv2_ports.h"
#include "tests/lv2/lilv_host.h"
#include "tests/support/page_faults.h"

namespace {

using lv2test::Instance;

constexpr double kRate = 44100;

std::size_t Frames(double seconds, double rate = kRate) {
  return static_cast<std::size_t>(seconds * rate);
}

struct Stored {
  std::vector<float> chunk;
};
LV2_State_Status Store(LV2_State_Handle handle, std::uint32_t, const void* value, std::size_t size,
                       std::uint32_t, std::uint32_t) {
  auto& chunk = static_cast<Stored*>(handle)->chunk;
  chunk.resize(size / sizeof(float));
  std::memcpy(chunk.data(), value, chunk.size() * sizeof(float));
  return LV2_STATE_SUCCESS;
}

// The delay in ms that a save answers now (slider 2 of the chunk).
float SavedDelay(Instance& lv2) {
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(lv2.instance, LV2_STATE__interface));
  Stored stored;
  if (state == nullptr ||
      state->save(lilv_instance_get_handle(lv2.instance), Store, &stored, 0, nullptr) != LV2_STATE_SUCCESS)
    return -1;
  return stored.chunk.size() == 65 ? stored.chunk[2] : -1;
}

// A saved state of the delay at `ms`, with the given feedback and colour mix.
std::string StateWithDelay(float ms, float feedback = 0, float colorMix = 1) {
  Instance source(kRate, 256);
  source.Set("delay", ms);
  source.Set("feedback", feedback);
  source.Set("color_mix", colorMix);
  std::vector<float> l(256), r(256);
  source.Process(l, r, 256);
  return source.SaveState();
}

float Peak(const std::vector<float>& x, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  float peak = 0;
  for (std::size_t i = from; i < std::min(to, x.size()); ++i) peak = std::max(peak, std::fabs(x[i]));
  return peak;
}

std::vector<float> Tone(std::size_t frames, float level) {
  std::vector<float> x(frames);
  for (std::size_t i = 0; i < frames; ++i)
    x[i] = level * static_cast<float>(std::sin(2 * M_PI * 150 * static_cast<double>(i) / kRate));
  return x;
}

TEST(Lv2Lifecycle, ActivateAgainStartsFromNoHistory) {
  Instance lv2(kRate, 256);
  ASSERT_NE(lv2.instance, nullptr);
  lv2.Set("delay", 300);
  lv2.Set("feedback", 50);
  // A 21 ms burst, then on into the delay's first echo's way.
  std::vector<float> l = Tone(Frames(0.1), 0.9f);
  std::fill(l.begin() + static_cast<std::ptrdiff_t>(Frames(0.021)), l.end(), 0.0f);
  std::vector<float> r = l;
  lv2.Process(l, r, 256);
  lilv_instance_deactivate(lv2.instance);
  lilv_instance_activate(lv2.instance);
  std::vector<float> quietL(Frames(1.0)), quietR(Frames(1.0));
  lv2.Process(quietL, quietR, 256);
  EXPECT_EQ(Peak(quietL), 0.0f) << "an echo from before the activation";
  EXPECT_EQ(Peak(quietR), 0.0f);
}

TEST(Lv2Lifecycle, TheLastRestoreWinsAcrossDeactivation) {
  const std::string a = StateWithDelay(100);
  const std::string b = StateWithDelay(400);
  Instance lv2(kRate, 256);
  ASSERT_NE(lv2.instance, nullptr);
  std::vector<float> l = Tone(Frames(0.2), 0.3f), r = l;
  lv2.Process(l, r, 256);
  ASSERT_TRUE(lv2.RestoreState(a, false));
  lilv_instance_deactivate(lv2.instance);
  ASSERT_TRUE(lv2.RestoreState(b, false));
  EXPECT_EQ(SavedDelay(lv2), 400.0f) << "before activation";
  lilv_instance_activate(lv2.instance);
  std::vector<float> impulseL(Frames(0.6)), impulseR(Frames(0.6));
  impulseL[0] = impulseR[0] = 1.0f;
  lv2.Process(impulseL, impulseR, 256);
  // Nothing until B's first echo, 400 ms on.
  EXPECT_LT(Peak(impulseL, 1, Frames(0.39)), 1e-6f) << "an echo of A's 100 ms";
  EXPECT_GT(Peak(impulseL, Frames(0.39), Frames(0.41)), 0.01f) << "B's echo at 400 ms";
  EXPECT_EQ(SavedDelay(lv2), 400.0f) << "after activation";

  // Two restores while audio runs: the second, landing during the first's
  // fade, is the one that stays.
  ASSERT_TRUE(lv2.RestoreState(a, false));
  std::vector<float> shortL(64), shortR(64);
  lv2.Process(shortL, shortR, 64);
  ASSERT_TRUE(lv2.RestoreState(b, false));
  std::vector<float> more(Frames(0.5)), moreR(Frames(0.5));
  lv2.Process(more, moreR, 256);
  EXPECT_EQ(SavedDelay(lv2), 400.0f);
}

// The wet signal of the left output (dry and wet at 0 dB): dry − output.
std::vector<float> WetOf(const std::vector<float>& dry, const std::vector<float>& out) {
  std::vector<float> wet(dry.size());
  for (std::size_t i = 0; i < dry.size(); ++i) wet[i] = dry[i] - out[i];
  return wet;
}

struct Enabling {
  float dip;      // the smallest 10 ms peak of the wet signal after enabling, over the largest
  float largest;  // the largest step in the wet signal from enabling on
};

// A steady tone; preset B restored while bypassed (or while enabled), then
// enabled; the wet signal from there on.
Enabling RestoreThenEnable(bool bypassedAtRestore) {
  // No feedback and no colour filter: the wet signal is the input of 200 ms
  // before, so any gap or step in what entered the delay shows.
  const std::string a = StateWithDelay(100, 0, 0);
  const std::string b = StateWithDelay(200, 0, 0);
  Instance lv2(kRate, 256);
  EXPECT_TRUE(lv2.RestoreState(a, false));
  const std::vector<float> dry = Tone(Frames(3.0), 0.3f);
  std::vector<float> l = dry, r = dry;
  const auto play = [&](std::size_t from, std::size_t to) {
    std::vector<float> pl(l.begin() + static_cast<std::ptrdiff_t>(from),
                          l.begin() + static_cast<std::ptrdiff_t>(to));
    std::vector<float> pr = pl;
    lv2.Process(pl, pr, 256);
    std::copy(pl.begin(), pl.end(), l.begin() + static_cast<std::ptrdiff_t>(from));
  };
  play(0, Frames(1.0));
  lv2.Set("enabled", bypassedAtRestore ? 0.0f : 1.0f);
  play(Frames(1.0), Frames(1.5));
  EXPECT_TRUE(lv2.RestoreState(b, false));
  play(Frames(1.5), Frames(2.0));
  lv2.Set("enabled", 1.0f);
  play(Frames(2.0), Frames(3.0));
  const std::vector<float> wet = WetOf(dry, l);
  Enabling e{};
  // From the end of the bypass ramp (20 ms), in 5 ms windows.
  float low = 1e9f, high = 0;
  for (std::size_t w = Frames(2.03); w + Frames(0.005) <= Frames(2.6); w += Frames(0.005)) {
    const float p = Peak(wet, w, w + Frames(0.005));
    low = std::min(low, p);
    high = std::max(high, p);
  }
  e.dip = low / high;
  for (std::size_t i = Frames(2.0); i < Frames(2.6); ++i)
    e.largest = std::max(e.largest, std::fabs(wet[i] - wet[i - 1]));
  return e;
}

TEST(Lv2Lifecycle, APresetRestoredWhileBypassedComesInWithoutAClickOnEnable) {
  const Enabling bypassed = RestoreThenEnable(true);
  const Enabling enabled = RestoreThenEnable(false);
  std::printf(
      "[ enable ] restored bypassed: envelope low/high %.3f, largest wet step %.5f; "
      "restored enabled: %.3f, %.5f\n",
      static_cast<double>(bypassed.dip), static_cast<double>(bypassed.largest),
      static_cast<double>(enabled.dip), static_cast<double>(enabled.largest));
  EXPECT_GT(bypassed.dip, 0.8f) << "the echo envelope dips after enabling";
  EXPECT_LT(bypassed.largest, 2 * enabled.largest + 1e-3f);
}

TEST(Lv2Lifecycle, AnyEnabledValueAboveZeroPlaysTheEffect) {
  for (const float value : {1.0f, 0.5f, 0.25f, 0.01f, 0.0f, -0.5f}) {
    Instance lv2(kRate, 256);
    lv2.Set("delay", 50);
    lv2.Set("enabled", value);
    const std::vector<float> dry = Tone(Frames(0.3), 0.3f);
    std::vector<float> l = dry, r = dry;
    lv2.Process(l, r, 256);
    const float wet = Peak(WetOf(dry, l), Frames(0.1));
    if (value > 0) {
      EXPECT_GT(wet, 0.01f) << "enabled " << value << " bypasses";
    } else {
      EXPECT_EQ(wet, 0.0f) << "enabled " << value << " plays";
    }
  }
}

TEST(Lv2Lifecycle, TheMeterReadsEachBlocksPeakAndReleasesSlowly) {
  Instance lv2(kRate, 64);
  lv2.Set("delay", 100);
  lv2.Set("feedback", 60);
  std::vector<float> l = Tone(Frames(0.05), 0.5f), r = l;
  lv2.Process(l, r, 64);
  float previous = lv2.Get("meter");
  float largest = 0;
  for (int block = 0; block < 300; ++block) {
    // Silence in: each output sample is the wet signal alone.
    std::vector<float> bl(64), br(64);
    lv2.Process(bl, br, 64);
    const float peak = std::max(Peak(bl), Peak(br));
    const float meter = lv2.Get("meter");
    ASSERT_GE(meter, peak * 0.9999f) << "block " << block << " below its peak";
    ASSERT_GE(meter, previous * 0.95f) << "block " << block << " fell faster than a release";
    largest = std::max(largest, peak);
    previous = meter;
  }
  EXPECT_GT(largest, 0.05f) << "no echo came out";
}

TEST(Lv2Lifecycle, RestoreNeverReadsTheControlPorts) {
  // The host's control buffers are valid only during run(): here they are
  // not even readable outside it.
  const std::string b = StateWithDelay(400);
  Instance lv2(kRate, 256);
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  void* mapped = mmap(nullptr, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapped, MAP_FAILED);
  auto* controls = static_cast<float*>(mapped);
  const float defaults[11] = {4, 500, 0, 10, 2000, 0.05f, 1, 0, 0, 0, 1};
  for (std::uint32_t i = 0; i < 11; ++i) {
    controls[i] = defaults[i];
    lilv_instance_connect_port(lv2.instance, lv2port::kFirstControl + i, &controls[i]);
  }
  std::vector<float> l(256), r(256);
  lv2.Process(l, r, 256);
  ASSERT_EQ(mprotect(mapped, page, PROT_NONE), 0);
  EXPECT_TRUE(lv2.RestoreState(b, false));
  EXPECT_EQ(SavedDelay(lv2), 400.0f);
  ASSERT_EQ(mprotect(mapped, page, PROT_READ | PROT_WRITE), 0);
  lv2.Process(l, r, 256);
  EXPECT_EQ(SavedDelay(lv2), 400.0f) << "the ports the host left alone undid the restore";
  munmap(mapped, page);
}

TEST(Lv2Lifecycle, RunTakesNoPageFaultAfterActivationEvenAtTheLongestDelay) {
  // A sanitizer's shadow of the lines faults on its own first use.
  if (kShadowMemory) GTEST_SKIP() << "the sanitizer's shadow memory takes its own page faults";
  constexpr double kHighRate = 192000;
  Instance lv2(kHighRate, 64);
  lv2.Set("delay", 4000);
  lv2.Set("feedback", 50);
  std::vector<float> l(64, 0.25f), r(64, -0.25f);
  lv2.Process(l, r, 64);  // the code's and the stack's own first touches
  // Every cell of both 4 s lines is written once in 4.1 s of audio.
  const long before = MinorFaults();
  for (std::size_t done = 0; done < Frames(4.1, kHighRate); done += 64) lv2.Process(l, r, 64);
  EXPECT_EQ(MinorFaults() - before, 0);
}

}  // namespace
