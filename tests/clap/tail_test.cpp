// The tail a host renders after the input ends: the echoes of the
// settings have died away within it, and it is not much longer than they
// ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"

namespace {

struct Ring {
  std::uint32_t tail;       // what the plug-in says
  std::size_t lastAudible;  // frames after the input's end until the last sample above the floor
};

// A burst of noise, then silence until the echoes are below `floor`
// (or `limit` frames have passed).
Ring Measure(const std::vector<std::pair<clap_id, double>>& settings, double floor, std::size_t limit) {
  ClapTestHost host;
  ClapInstance clap(host);
  EXPECT_TRUE(clap.Activate(44100, 4096));
  ClapEventList events;
  for (const auto& [id, value] : settings) events.Value(0, id, value);
  std::vector<float> left = TestSignal(4096, 5);
  std::vector<float> right = TestSignal(4096, 6);
  clap.ProcessBlock(left.data(), right.data(), 4096, &events);
  const std::uint32_t tail = clap.tail->get(clap.plugin);
  std::size_t last = 0;
  std::vector<float> l(4096);
  std::vector<float> r(4096);
  for (std::size_t at = 0; at < limit; at += 4096) {
    std::fill(l.begin(), l.end(), 0.0f);
    std::fill(r.begin(), r.end(), 0.0f);
    clap.ProcessBlock(l.data(), r.data(), 4096, nullptr);
    for (std::size_t i = 0; i < 4096; ++i) {
      if (std::fabs(l[i]) > floor || std::fabs(r[i]) > floor) last = at + i;
    }
  }
  return {tail, last};
}

TEST(ClapTail, TheEchoesDieWithinTheTailAndItIsNotMuchLonger) {
  const std::vector<std::vector<std::pair<clap_id, double>>> cases = {
      {},                             // the defaults: 500 ms, 10 %
      {{1, 1000}, {3, 0}},            // one echo
      {{1, 250}, {3, 40}},            // several
      {{1, 2000}, {3, 50}, {9, 10}},  // long and loud
      {{2, 1}, {0, 23}, {3, 30}},     // tempo-synced: 4 quarters at 120
      {{1, 100}, {3, 70}},            // the level control lifting quiet echoes
      {{1, 100}, {3, 77}},            // just below where they sustain
  };
  for (const auto& settings : cases) {
    const Ring ring = Measure(settings, 1.0e-5, 44100 * 60);
    EXPECT_GE(ring.tail, ring.lastAudible);
    EXPECT_LE(ring.tail, ring.lastAudible * 4 + 44100) << "rings " << ring.lastAudible;
  }
}

TEST(ClapTail, FeedbackThatSustainsItselfIsAnEndlessTail) {
  for (double feedback : {79.0, 100.0}) {
    const Ring ring = Measure({{3, feedback}, {1, 100}}, 1.0e-5, 44100 * 2);
    EXPECT_GE(ring.tail, static_cast<std::uint32_t>(INT32_MAX)) << feedback;
  }
}

}  // namespace
