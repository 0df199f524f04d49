#include "host/render_pipeline.h"

#include <algorithm>
#include <cmath>

#include "host/progress_bar.h"

namespace vornhost {

namespace {

constexpr double kSilence = 1.5848931924611134e-05;  // -96 dBFS

}  // namespace

AudioData Render(PluginInstance& plugin, const AudioData& input, const RenderOptions& options) {
  const double rate = input.sampleRate;
  const std::size_t inFrames = input.frames();
  const bool autoTail = options.tailSeconds < 0.0;
  const double tail = autoTail ? kAutoTailMax : options.tailSeconds;
  const auto tailFrames = static_cast<std::size_t>(std::llround(tail * rate));
  const std::size_t quietFrames = static_cast<std::size_t>(kAutoTailQuiet * rate);
  const std::size_t capacity = inFrames + tailFrames;

  AudioData output;
  output.sampleRate = rate;
  output.format = input.format;
  output.channels.assign(static_cast<std::size_t>(plugin.numOutputs()), std::vector<double>(capacity, 0.0));

  BlockProcessor processor(plugin, options.blockSize, options.precision);
  const int inputs = plugin.numInputs();
  std::vector<const double*> in(static_cast<std::size_t>(inputs) + 1, nullptr);
  std::vector<double*> out(output.channels.size() + 1, nullptr);
  ProgressBar progress("rendering", options.progress);

  std::size_t pos = 0;
  std::size_t lastLoud = 0;  // one past the last frame above the silence level
  while (pos < capacity) {
    // Blocks end exactly where the input ends, so the tail starts on a block.
    std::size_t limit = pos < inFrames ? inFrames : capacity;
    int frames =
        static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(options.blockSize), limit - pos));
    for (int i = 0; i < inputs; ++i) {
      int channel = std::min(i, input.channelCount() - 1);
      in[static_cast<std::size_t>(i)] =
          pos < inFrames ? input.channels[static_cast<std::size_t>(channel)].data() + pos : nullptr;
    }
    for (std::size_t o = 0; o < output.channels.size(); ++o) out[o] = output.channels[o].data() + pos;
    processor.Run(in.data(), out.data(), frames, static_cast<double>(pos));
    for (std::size_t o = 0; o < output.channels.size(); ++o)
      for (int f = 0; f < frames; ++f)
        if (!(std::fabs(out[o][f]) <= kSilence))
          lastLoud = std::max(lastLoud, pos + static_cast<std::size_t>(f) + 1);
    pos += static_cast<std::size_t>(frames);
    if (autoTail && pos > inFrames && pos - std::max(lastLoud, inFrames) >= quietFrames) break;
    progress.Update(
        inFrames > 0 ? static_cast<double>(std::min(pos, inFrames)) / static_cast<double>(inFrames) : 1.0);
  }
  progress.Finish();

  std::size_t length = capacity;
  if (autoTail) {
    // Keep a short margin after the last audible frame so the file ends in silence.
    std::size_t margin = static_cast<std::size_t>(0.1 * rate);
    length = std::min(pos, std::max(inFrames, lastLoud + margin));
  }
  for (auto& channel : output.channels) channel.resize(length);
  return output;
}

}  // namespace vornhost
