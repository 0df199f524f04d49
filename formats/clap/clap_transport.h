// ClapTransport: the host's tempo and transport as the process call's
// transport record (or a transport event within the block) tells them,
// moved on through the block as its segments run. [audio]
#pragma once

#include <cstdint>

#include "formats/clap/abi/core.h"

class ClapTransport {
 public:
  // The block's transport; null: the host gives none this block.
  void Take(const clap_event_transport_t* transport);
  // Moves the position on by `frames` at `sampleRate` while playing.
  void Advance(std::uint32_t frames, double sampleRate);

  bool known = false;
  bool tempoKnown = false;
  bool signatureKnown = false;
  bool playing = false;
  bool recording = false;
  bool beatsKnown = false;
  double tempo = 0;  // beats per minute
  double numerator = 4;
  double denominator = 4;
  double quarterNotes = 0;  // the song position
  double barStart = 0;      // quarter notes
};
