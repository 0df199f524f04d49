// One processing call on the script: OnBlock once, then OnSample per frame
// on the sample channels. Every plug-in format's adapter processes through
// this, so all formats compute the same numbers. [audio]
#pragma once

#include <cstdint>

#include "runtime/morvox.h"

namespace morvox {

template <typename Sample>
bool ChannelsPresent(Sample** channels, int count) {
  if (channels == nullptr) return false;
  for (int c = 0; c < count; ++c) {
    if (channels[c] == nullptr) return false;
  }
  return true;
}

// Every input of a frame is read before any output of it is written, so
// in-place buffers are fine. Nothing runs when a channel is missing; a call
// of no frames runs the block section alone.
template <typename Sample>
void RunBlock(TMorvox& script, int channels, Sample** inputs, Sample** outputs, std::int32_t frames) {
  if (frames > 0 && (!ChannelsPresent(inputs, channels) || !ChannelsPresent(outputs, channels))) return;
  script.OnBlock();
  if (frames <= 0) return;  // no buffer is read, so none needs to be there
  double* samples = script.samples.data();
  if (channels == 2) {
    const Sample* inL = inputs[0];
    const Sample* inR = inputs[1];
    Sample* outL = outputs[0];
    Sample* outR = outputs[1];
    for (std::int32_t j = 0; j < frames; ++j) {
      samples[0] = static_cast<double>(inL[j]);
      samples[1] = static_cast<double>(inR[j]);
      script.OnSample();
      outL[j] = static_cast<Sample>(samples[0]);
      outR[j] = static_cast<Sample>(samples[1]);
    }
    return;
  }
  for (std::int32_t j = 0; j < frames; ++j) {
    for (int c = 0; c < channels; ++c) samples[c] = static_cast<double>(inputs[c][j]);
    script.OnSample();
    for (int c = 0; c < channels; ++c) outputs[c][j] = static_cast<Sample>(samples[c]);
  }
}

}  // namespace morvox
