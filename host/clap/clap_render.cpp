#include "host/clap/clap_render.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "host/host_error.h"
#include "host/render_pipeline.h"

namespace vornhost {

namespace {

constexpr double kSilence = 1.5848931924611134e-05;  // -96 dBFS

template <typename Sample>
void RenderBlocks(ClapPluginHost& plugin, const AudioData& input, const ClapRenderOptions& options,
                  AudioData& output, std::size_t& length, bool& failed) {
  const std::size_t inFrames = input.frames();
  const bool autoTail = options.tailSeconds < 0.0;
  const auto quietFrames = static_cast<std::size_t>(kAutoTailQuiet * input.sampleRate);
  const std::size_t capacity = output.frames();
  const auto block = static_cast<std::size_t>(options.blockSize);
  std::vector<std::vector<Sample>> in(static_cast<std::size_t>(plugin.numInputs()),
                                      std::vector<Sample>(block)),
      out(output.channels.size(), std::vector<Sample>(block));
  std::vector<const Sample*> inPtr;
  std::vector<Sample*> outPtr;
  for (auto& c : in) inPtr.push_back(c.data());
  for (auto& c : out) outPtr.push_back(c.data());

  std::size_t pos = 0, lastLoud = 0;
  while (pos < capacity) {
    // Blocks end exactly where the input ends, so the tail starts on a block.
    const std::size_t limit = pos < inFrames ? inFrames : capacity;
    const std::size_t frames = std::min(block, limit - pos);
    for (std::size_t i = 0; i < in.size(); ++i) {
      const auto& channel = input.channels[std::min(i, input.channels.size() - 1)];
      for (std::size_t f = 0; f < frames; ++f)
        in[i][f] = pos + f < inFrames ? static_cast<Sample>(channel[pos + f]) : Sample(0);
    }
    clap_process_status status;
    if constexpr (sizeof(Sample) == sizeof(float))
      status = plugin.Process(inPtr.data(), outPtr.data(), static_cast<std::uint32_t>(frames));
    else
      status = plugin.Process64(inPtr.data(), outPtr.data(), static_cast<std::uint32_t>(frames));
    if (status == CLAP_PROCESS_ERROR) {
      failed = true;
      break;
    }
    for (std::size_t o = 0; o < out.size(); ++o)
      for (std::size_t f = 0; f < frames; ++f) {
        output.channels[o][pos + f] = static_cast<double>(out[o][f]);
        if (!(std::fabs(out[o][f]) <= kSilence)) lastLoud = std::max(lastLoud, pos + f + 1);
      }
    pos += frames;
    if (autoTail && pos > inFrames && pos - std::max(lastLoud, inFrames) >= quietFrames) break;
  }
  plugin.StopProcessing();
  length = capacity;
  if (autoTail)
    length = std::min(pos, std::max(inFrames, lastLoud + static_cast<std::size_t>(0.1 * input.sampleRate)));
}

}  // namespace

AudioData RenderClap(ClapPluginHost& plugin, const AudioData& input, const ClapRenderOptions& options) {
  const bool autoTail = options.tailSeconds < 0.0;
  const auto tailFrames = static_cast<std::size_t>(
      std::llround((autoTail ? kAutoTailMax : options.tailSeconds) * input.sampleRate));
  AudioData output;
  output.sampleRate = input.sampleRate;
  output.format = input.format;
  output.channels.assign(static_cast<std::size_t>(plugin.numOutputs()),
                         std::vector<double>(input.frames() + tailFrames, 0.0));
  plugin.Schedule(options.events);
  std::size_t length = 0;
  bool failed = false;
  // The plug-in's audio thread is not its main thread, as in any host.
  std::thread audio([&] {
    if (options.precision == Precision::Double)
      RenderBlocks<double>(plugin, input, options, output, length, failed);
    else
      RenderBlocks<float>(plugin, input, options, output, length, failed);
  });
  audio.join();
  if (failed) throw HostError("the plug-in answered an error from process");
  for (auto& channel : output.channels) channel.resize(length);
  return output;
}

}  // namespace vornhost
