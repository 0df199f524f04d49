// The plug-in's two-lane per-frame arithmetic gives every output bit the
// one-channel-after-the-other scalar arithmetic gives, in both precisions,
// across every option, extreme settings, tempo and ping-pong changes,
// non-finite input and every common sample rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/effect/scalar_reference.h"
#include "tests/support/plugin_instance.h"

namespace {

// Changes one case makes before block `block` (sliders by their own
// values, the host's tempo), applied to both instances alike.
using Changes = std::function<void(PluginInstance& p, int block)>;

struct Case {
  std::string name;
  float rate = 48000;
  int frames = 24000;
  int block = 512;
  std::function<double(std::mt19937& gen, int frame)> input;  // one sample; called per channel
  Changes changes;
};

// The instance's script replaced by the scalar reference, opened and
// resumed again as a host does.
void UseScalarReference(PluginInstance& p) {
  CHoxa& adapter = p.Adapter();
  auto* reference = new ScalarReferenceEffect();
  reference->plugin = &adapter;
  delete adapter.script;
  adapter.script = reference;
  p.Dispatch(effOpen);
  p.Resume();
}

template <typename Sample>
std::vector<Sample> Render(PluginInstance& p, const Case& c, bool inPlace) {
  std::mt19937 gen(7);
  std::vector<Sample> inL(static_cast<std::size_t>(c.frames)), inR(inL.size());
  for (std::size_t j = 0; j < inL.size(); ++j) {
    inL[j] = static_cast<Sample>(c.input(gen, static_cast<int>(j)));
    inR[j] = static_cast<Sample>(c.input(gen, static_cast<int>(j)));
  }
  std::vector<Sample> outL(inL.size()), outR(inL.size());
  p.host->Use();
  int block = 0;
  for (int start = 0; start < c.frames; start += c.block, ++block) {
    if (c.changes) c.changes(p, block);
    p.host->Use();
    const int frames = std::min(c.block, c.frames - start);
    const auto at = static_cast<std::size_t>(start);
    Sample* in[2] = {inL.data() + at, inR.data() + at};
    Sample* out[2] = {outL.data() + at, outR.data() + at};
    Sample** outputs = inPlace ? in : out;
    if constexpr (sizeof(Sample) == sizeof(float)) {
      p.effect->processReplacing(p.effect, in, outputs, frames);
    } else {
      p.effect->processDoubleReplacing(p.effect, in, outputs, frames);
    }
  }
  std::vector<Sample> both = inPlace ? inL : outL;
  both.insert(both.end(), inPlace ? inR.begin() : outR.begin(), inPlace ? inR.end() : outR.end());
  return both;
}

// Index of the first sample whose bits differ, or -1.
template <typename Sample>
long FirstDifference(const std::vector<Sample>& a, const std::vector<Sample>& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::memcmp(&a[i], &b[i], sizeof(Sample)) != 0) return static_cast<long>(i);
  }
  return -1;
}

template <typename Sample>
void ExpectSameBits(const Case& c, bool inPlace) {
  PluginInstance plugin(c.rate);
  PluginInstance reference(c.rate);
  UseScalarReference(reference);
  const std::vector<Sample> got = Render<Sample>(plugin, c, inPlace);
  const std::vector<Sample> want = Render<Sample>(reference, c, inPlace);
  ASSERT_EQ(got.size(), want.size());
  const long at = FirstDifference(got, want);
  EXPECT_EQ(at, -1) << c.name << (sizeof(Sample) == 4 ? " (float)" : " (double)") << ": sample " << at
                    << " of " << got.size() / 2 << " per channel, " << got[static_cast<std::size_t>(at)]
                    << " against " << want[static_cast<std::size_t>(at)];
}

void ExpectSameBitsInBothPrecisions(const Case& c) {
  ExpectSameBits<float>(c, false);
  ExpectSameBits<double>(c, true);
}

double Noise(std::mt19937& gen, int) {
  return std::uniform_real_distribution<double>(-1.0, 1.0)(gen);
}

// Noise, then silence: echoes, the level control's release and its decay.
double Burst(std::mt19937& gen, int frame) {
  const double n = Noise(gen, frame);
  return frame < 3000 ? n : 0.0;
}

// Settings under which both paths work hard: short lines, strong feedback
// and resonance, a colour that moves every block, ping-pong and tempo sync
// switched now and then, the tempo changing.
void Busy(PluginInstance& p, int block) {
  if (block == 0) {
    p.SetSlider(2, 20);
    p.SetSlider(4, 90);
    p.SetSlider(6, 0.9);
    p.SetSlider(7, 0.5);
  }
  p.SetSlider(5, 400 + (block * 370) % 3600);
  if (block % 7 == 3) p.SetSlider(8, (block / 7) % 2);
  if (block % 11 == 5) {
    p.host->timeInfo.tempo = 60 + (block * 17) % 180;
    p.SetSlider(3, (block / 11) % 2);
    p.SetSlider(1, block % 24);
  }
}

}  // namespace

TEST(ScalarIdentity, EveryCommonSampleRateWithDefaultAndBusySettings) {
  for (const float rate :
       {22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f}) {
    const int frames = static_cast<int>(rate / 4);
    ExpectSameBitsInBothPrecisions({"defaults at " + std::to_string(rate), rate, frames, 512, Noise, {}});
    ExpectSameBitsInBothPrecisions({"busy at " + std::to_string(rate), rate, frames, 256, Noise, Busy});
  }
}

TEST(ScalarIdentity, EveryQuarterNoteOptionWithTempoChanges) {
  for (int option = 0; option < 24; ++option) {
    const Changes changes = [option](PluginInstance& p, int block) {
      if (block == 0) {
        p.SetSlider(1, option);
        p.SetSlider(3, 1);
        p.SetSlider(4, 60);
      }
      // A new tempo is taken at the next slider change.
      if (block % 9 == 8) {
        p.host->timeInfo.tempo = 240 - block % 200;
        p.SetSlider(4, 60 + block % 30);
      }
    };
    ExpectSameBitsInBothPrecisions(
        {"quarter notes option " + std::to_string(option), 22050, 30000, 512, Burst, changes});
  }
}

TEST(ScalarIdentity, EverySliderAtItsLimits) {
  struct Limit {
    int slider;
    double low, high;
  };
  for (const Limit& l :
       {Limit{1, 0, 23}, Limit{2, 0, 4000}, Limit{3, 0, 1}, Limit{4, 0, 100}, Limit{5, 400, 4000},
        Limit{6, 0, 1}, Limit{7, 0, 1}, Limit{8, 0, 1}, Limit{10, -40, 10}, Limit{11, -40, 10}}) {
    for (const double value : {l.low, l.high}) {
      const Changes changes = [l, value](PluginInstance& p, int block) {
        if (block != 0) return;
        p.SetSlider(2, 30);
        p.SetSlider(4, 70);
        p.SetSlider(l.slider, value);
      };
      ExpectSameBitsInBothPrecisions({"slider " + std::to_string(l.slider) + " at " + std::to_string(value),
                                      44100, 20000, 333, Noise, changes});
    }
  }
}

TEST(ScalarIdentity, HotNonFiniteAndTinyInputAndOddBlocks) {
  // Loud enough to drive the ladders past their clip: the filters restart.
  const auto hot = [](std::mt19937& gen, int frame) { return 40.0 * Noise(gen, frame); };
  const auto nonFinite = [](std::mt19937& gen, int frame) {
    const double n = Noise(gen, frame);
    if (frame % 97 == 13) return std::numeric_limits<double>::quiet_NaN();
    if (frame % 101 == 50) return frame % 2 == 0 ? HUGE_VAL : -HUGE_VAL;
    return n;
  };
  const auto tiny = [](std::mt19937& gen, int frame) { return 1e-39 * Noise(gen, frame); };
  const Changes extreme = [](PluginInstance& p, int block) {
    if (block != 0) return;
    p.SetSlider(2, 5);
    p.SetSlider(4, 100);
    p.SetSlider(6, 1);
    p.SetSlider(11, 10);
  };
  ExpectSameBitsInBothPrecisions({"hot input, full feedback and resonance", 48000, 20000, 512, hot, extreme});
  ExpectSameBitsInBothPrecisions({"NaN and infinite samples", 48000, 20000, 512, nonFinite, extreme});
  ExpectSameBitsInBothPrecisions({"subnormal-sized input", 48000, 20000, 512, tiny, {}});
  ExpectSameBitsInBothPrecisions({"blocks of one frame", 44100, 3000, 1, Noise, Busy});
  ExpectSameBitsInBothPrecisions({"blocks of 4097 frames", 44100, 30000, 4097, Burst, Busy});
}

// The per-sample section on its own, as a script host calls it frame by
// frame, gives the same bits as the process call.
TEST(ScalarIdentity, OnSampleAloneMatchesTheReference) {
  PluginInstance plugin(44100), reference(44100);
  UseScalarReference(reference);
  for (PluginInstance* p : {&plugin, &reference}) {
    p->SetSlider(2, 10);
    p->SetSlider(4, 80);
  }
  std::mt19937 gen(11);
  for (int j = 0; j < 5000; ++j) {
    const double l = Noise(gen, j), r = Noise(gen, j);
    for (PluginInstance* p : {&plugin, &reference}) {
      p->Script().samples[0] = l;
      p->Script().samples[1] = r;
      p->Script().OnSample();
    }
    ASSERT_EQ(
        std::memcmp(plugin.Script().samples.data(), reference.Script().samples.data(), 2 * sizeof(double)), 0)
        << "frame " << j;
  }
}
