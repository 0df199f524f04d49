// One processing call on the script: OnBlock once, then the frames (two
// channels through OnStereoFrames, others through OnSample per frame).
// Every plug-in format's adapter processes through this, so all formats
// compute the same numbers. [audio]
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
  if (channels == 2) {
    // Two channels through the script's stereo hook (OnSample per frame
    // unless the script runs both channels at once).
    script.OnStereoFrames(inputs[0], inputs[1], outputs[0], outputs[1], frames);
    return;
  }
  double* samples = script.samples.data();
  for (std::int32_t j = 0; j < frames; ++j) {
    for (int c = 0; c < channels; ++c) samples[c] = static_cast<double>(inputs[c][j]);
    script.OnSample();
    for (int c = 0; c < channels; ++c) outputs[c][j] = static_cast<Sample>(samples[c]);
  }
}

}  // namespace morvox
