// The demo's test phrase, synthesized in memory: plucked notes over a
// drum-like click pattern, with rests so that echoes can be heard.
#pragma once

#include "host/audio_file.h"

namespace vornhost {

struct PhraseSettings {
  double sampleRate = 44100.0;
  double tempo = 120.0;  // beats per minute
  int bars = 2;          // of 4/4
};

// Stereo, the same signal in both channels, peaking near -6 dBFS.
AudioData SynthesizePhrase(const PhraseSettings& settings);

// A single click of 2 ms at the start of seconds of silence (stereo).
AudioData SynthesizeClick(double sampleRate, double seconds);

}  // namespace vornhost
