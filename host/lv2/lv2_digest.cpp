// `vornhost digest` for the LV2 bundle: the same cases as for VST and
// CLAP, so the table shows whether the formats sound the same.
#include <algorithm>
#include <cmath>

#include "host/digest_command.h"
#include "host/host_error.h"
#include "host/lv2/lv2_commands.h"
#include "host/lv2/lv2_plugin_host.h"

namespace vornhost {

namespace {

// The digest's settings name the VST parameters ("Feedback [%]"); LV2
// controls carry the unit apart from the name.
void AssignSetting(Lv2PluginHost& plugin, const std::string& setting) {
  try {
    plugin.Assign(setting);
  } catch (const HostError&) {
    const auto equals = setting.rfind('=');
    const auto open = setting.rfind(" [", equals);
    if (equals == std::string::npos || open == std::string::npos) throw;
    plugin.Assign(setting.substr(0, open) + setting.substr(equals));
  }
}

AudioData RenderCase(const std::string& reference, const AudioData& input,
                     const std::vector<const char*>& settings) {
  Lv2PluginHost plugin(reference);
  for (const char* setting : settings) AssignSetting(plugin, setting);
  plugin.Start(kDigestSampleRate, kDigestBlockSize);
  const std::size_t inFrames = input.frames();
  const auto capacity =
      inFrames + static_cast<std::size_t>(std::llround(kDigestTailSeconds * kDigestSampleRate));
  const auto block = static_cast<std::size_t>(kDigestBlockSize);
  AudioData output;
  output.sampleRate = input.sampleRate;
  output.channels.assign(static_cast<std::size_t>(plugin.numOutputs()), std::vector<double>(capacity, 0.0));
  std::vector<std::vector<float>> in(static_cast<std::size_t>(plugin.numInputs()), std::vector<float>(block)),
      out(output.channels.size(), std::vector<float>(block));
  std::vector<const float*> inPtr;
  std::vector<float*> outPtr;
  for (auto& c : in) inPtr.push_back(c.data());
  for (auto& c : out) outPtr.push_back(c.data());
  for (std::size_t pos = 0; pos < capacity;) {
    // Blocks end exactly where the input ends, as for the other formats.
    const std::size_t frames = std::min(block, (pos < inFrames ? inFrames : capacity) - pos);
    for (std::size_t i = 0; i < in.size(); ++i) {
      const auto& channel = input.channels[std::min(i, input.channels.size() - 1)];
      for (std::size_t f = 0; f < frames; ++f)
        in[i][f] = pos + f < inFrames ? static_cast<float>(channel[pos + f]) : 0.0f;
    }
    plugin.Process(inPtr.data(), outPtr.data(), static_cast<int>(frames), static_cast<double>(pos));
    for (std::size_t o = 0; o < out.size(); ++o)
      for (std::size_t f = 0; f < frames; ++f) output.channels[o][pos + f] = static_cast<double>(out[o][f]);
    pos += frames;
  }
  plugin.Stop();
  return output;
}

}  // namespace

int RunLv2Digest(const DigestOptions& options) {
  std::string name;
  {
    Lv2PluginHost probe(options.plugin);
    name = probe.Name();
  }
  if (name != "Vorn Delay 2")
    throw HostError("digest renders Vorn Delay 2's settings; '" + options.plugin + "' is \"" + name + "\"");
  // LV2 audio ports are single precision.
  PrintDigestTable(name, false,
                   [&](const AudioData& input, const std::vector<const char*>& settings, Precision) {
                     return RenderCase(options.plugin, input, settings);
                   });
  return 0;
}

}  // namespace vornhost
