#include "host/demo_phrase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// The runtime's own exp, pow and sin: the phrase has the same bits on every
// platform, so renders of it can be compared bit for bit.
#include "runtime/portable_math.h"

namespace vornhost {

namespace {

// Deterministic noise, so every demo file is the same.
class Noise {
 public:
  double Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0 * 2.0 - 1.0;
  }

 private:
  std::uint64_t state_ = 0x5EEDULL;
};

// A plucked string (Karplus-Strong): a noise burst circulating in a delay
// line of one period, averaged so it decays and mellows.
void AddPluck(std::vector<double>& out, std::size_t start, double frequency, double seconds, double gain,
              double sampleRate, Noise& noise) {
  auto period = static_cast<std::size_t>(sampleRate / frequency + 0.5);
  std::vector<double> line(period);
  for (double& v : line) v = noise.Next();
  const auto length = static_cast<std::size_t>(seconds * sampleRate);
  double previous = 0.0;
  for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
    std::size_t k = i % period;
    double v = line[k];
    line[k] = 0.996 * 0.5 * (v + previous);
    previous = v;
    // A short fade-out at the note's end avoids a click.
    double fade = std::min(1.0, static_cast<double>(length - i) / (0.01 * sampleRate));
    out[start + i] += gain * v * fade;
  }
}

// A drum-like click: a falling sine thump plus a short noise tick.
void AddClick(std::vector<double>& out, std::size_t start, double gain, double sampleRate, Noise& noise) {
  const auto length = static_cast<std::size_t>(0.12 * sampleRate);
  double phase = 0.0;
  for (std::size_t i = 0; i < length && start + i < out.size(); ++i) {
    double t = static_cast<double>(i) / sampleRate;
    double frequency = 60.0 + 140.0 * morvox::Exp(-t * 40.0);
    phase += 2.0 * std::numbers::pi * frequency / sampleRate;
    double thump = morvox::Sin(phase) * morvox::Exp(-t * 25.0);
    double tick = noise.Next() * morvox::Exp(-t * 400.0);
    out[start + i] += gain * (0.8 * thump + 0.4 * tick);
  }
}

}  // namespace

AudioData SynthesizePhrase(const PhraseSettings& s) {
  const double beat = 60.0 / s.tempo;
  const double seconds = s.bars * 4 * beat;
  const auto frames = static_cast<std::size_t>(seconds * s.sampleRate);
  std::vector<double> mono(frames, 0.0);
  Noise noise;
  auto at = [&](double beats) { return static_cast<std::size_t>(beats * beat * s.sampleRate); };

  // A minor pentatonic line in eighths and quarters, with rests for the echoes.
  struct Note {
    double beat, midi, length;
  };
  const Note kLine[] = {{0.0, 69, 0.5}, {0.5, 72, 0.5}, {1.0, 76, 1.0}, {2.5, 74, 0.5}, {3.0, 72, 1.0},
                        {4.0, 69, 0.5}, {4.5, 67, 0.5}, {5.0, 64, 1.0}, {6.5, 67, 0.5}, {7.0, 69, 1.0}};
  for (const Note& n : kLine) {
    double frequency = 440.0 * morvox::Pow(2.0, (n.midi - 69.0) / 12.0);
    AddPluck(mono, at(n.beat), frequency, n.length * beat + 0.15, 0.35, s.sampleRate, noise);
  }
  // Clicks on beats one and three, a lighter one before beat three.
  for (int bar = 0; bar < s.bars; ++bar) {
    AddClick(mono, at(bar * 4 + 0.0), 0.45, s.sampleRate, noise);
    AddClick(mono, at(bar * 4 + 1.75), 0.2, s.sampleRate, noise);
    AddClick(mono, at(bar * 4 + 2.0), 0.4, s.sampleRate, noise);
  }

  double peak = 0.0;
  for (double v : mono) peak = std::max(peak, std::fabs(v));
  const double scale = peak > 0.0 ? 0.5 / peak : 1.0;  // -6 dBFS
  for (double& v : mono) v *= scale;

  AudioData data;
  data.sampleRate = s.sampleRate;
  data.channels = {mono, mono};
  return data;
}

AudioData SynthesizeClick(double sampleRate, double seconds) {
  const auto frames = static_cast<std::size_t>(seconds * sampleRate);
  std::vector<double> mono(frames, 0.0);
  const auto length = static_cast<std::size_t>(0.002 * sampleRate);
  for (std::size_t i = 0; i < length && i < frames; ++i)
    mono[i] = 0.5 * morvox::Sin(std::numbers::pi * static_cast<double>(i) / static_cast<double>(length));
  AudioData data;
  data.sampleRate = sampleRate;
  data.channels = {mono, mono};
  return data;
}

}  // namespace vornhost
