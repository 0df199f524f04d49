#include "host/digest_command.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/demo_phrase.h"
#include "host/host_error.h"
#include "host/param_assign.h"
#include "host/plugin_instance.h"
#include "host/plugin_locator.h"
#include "host/render_pipeline.h"

namespace vornhost {

namespace {

constexpr double kSampleRate = kDigestSampleRate;
constexpr int kBlockSize = kDigestBlockSize;
constexpr double kTailSeconds = kDigestTailSeconds;

struct Input {
  const char* name;
  AudioData data;
};

// One full-scale sample in both channels, then a second of silence.
AudioData Impulse() {
  AudioData a;
  a.sampleRate = kSampleRate;
  a.channels.assign(2, std::vector<double>(static_cast<std::size_t>(kSampleRate), 0.0));
  a.channels[0][0] = a.channels[1][0] = 1.0;
  return a;
}

// Two seconds of white noise, peak 0.5, different in each channel, from an
// integer generator (xorshift32) so that no math library is involved.
AudioData Noise() {
  AudioData a;
  a.sampleRate = kSampleRate;
  a.channels.assign(2, std::vector<double>(static_cast<std::size_t>(2 * kSampleRate), 0.0));
  std::uint32_t state = 0x2545F491u;
  for (std::size_t f = 0; f < a.frames(); ++f)
    for (auto& channel : a.channels) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      channel[f] = static_cast<double>(static_cast<std::int32_t>(state)) / 4294967296.0;
    }
  return a;
}

struct Settings {
  const char* name;
  std::vector<const char*> assignments;
};

const Settings kSettings[] = {
    {"default", {}},
    {"sync-pingpong", {"Tempo Delay [Off/On]=1", "Ping Pong [Off/On]=1"}},
    {"full-res-fb", {"Resonance=1", "Feedback [%]=100"}},
};

AudioData RenderCase(const std::shared_ptr<PluginModule>& module, const AudioData& input,
                     const std::vector<const char*>& settings, Precision precision) {
  PluginInstance plugin(module);
  plugin.host().SetTransport(Transport{});  // 120 BPM, 4/4, playing
  plugin.Setup(kSampleRate, kBlockSize);
  plugin.Resume();
  for (const char* assignment : settings) ApplyParam(plugin, assignment);
  RenderOptions render;
  render.blockSize = kBlockSize;
  render.precision = precision;
  render.tailSeconds = kTailSeconds;
  AudioData output = Render(plugin, input, render);
  plugin.Suspend();
  return output;
}

}  // namespace

std::uint64_t DigestOfBits(const std::vector<std::vector<double>>& channels) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const auto& channel : channels)
    for (double sample : channel) {
      std::uint64_t bits;
      std::memcpy(&bits, &sample, sizeof bits);
      for (int byte = 0; byte < 8; ++byte) {
        hash ^= (bits >> (8 * byte)) & 0xFF;
        hash *= 1099511628211ULL;
      }
    }
  return hash;
}

int RunDigest(const DigestOptions& options) {
  const std::string path = LocatePlugin(options.plugin);
  auto module = std::shared_ptr<PluginModule>(PluginModule::Load(path));
  const auto [name, canDouble] = ProbePlugin(module);
  if (name != "Vorn Delay 2")
    throw HostError("digest renders Vorn Delay 2's settings; '" + path + "' is \"" + name + "\"");
  PrintDigestTable(name, canDouble,
                   [&module](const AudioData& input, const std::vector<const char*>& settings,
                             Precision precision) { return RenderCase(module, input, settings, precision); });
  return 0;
}

void PrintDigestTable(const std::string& name, bool canDouble, const DigestRenderer& render) {
  PhraseSettings phrase;
  phrase.sampleRate = kSampleRate;
  const Input inputs[] = {{"impulse", Impulse()}, {"phrase", SynthesizePhrase(phrase)}, {"noise", Noise()}};

  std::printf("vornhost digest: \"%s\", %g Hz, blocks of %d, %g s tail; FNV-1a 64 of the sample bits\n",
              name.c_str(), kSampleRate, kBlockSize, kTailSeconds);
  std::printf("  %-8s %-14s %-9s %8s  %s\n", "input", "settings", "precision", "frames", "digest");
  for (const Input& input : inputs) {
    // The inputs are synthesized here, so their digest shows whether a
    // difference comes from them or from the plug-in.
    std::printf("  %-8s %-14s %-9s %8zu  %016" PRIx64 "\n", input.name, "(input)", "-", input.data.frames(),
                DigestOfBits(input.data.channels));
    for (const Settings& settings : kSettings)
      for (Precision precision : {Precision::Float, Precision::Double}) {
        const char* label = precision == Precision::Float ? "float" : "double";
        if (precision == Precision::Double && !canDouble) {
          std::printf("  %-8s %-14s %-9s (no double precision processing)\n", input.name, settings.name,
                      label);
          continue;
        }
        AudioData output = render(input.data, settings.assignments, precision);
        std::printf("  %-8s %-14s %-9s %8zu  %016" PRIx64 "\n", input.name, settings.name, label,
                    output.frames(), DigestOfBits(output.channels));
      }
  }
  std::fflush(stdout);
}

}  // namespace vornhost
