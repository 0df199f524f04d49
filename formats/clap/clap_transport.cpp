#include "formats/clap/clap_transport.h"

#include <cmath>

void ClapTransport::Take(const clap_event_transport_t* transport) {
  if (transport == nullptr) {
    known = false;
    return;
  }
  known = true;
  const std::uint32_t flags = transport->flags;
  playing = (flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
  recording = (flags & CLAP_TRANSPORT_IS_RECORDING) != 0;
  tempoKnown =
      (flags & CLAP_TRANSPORT_HAS_TEMPO) != 0 && std::isfinite(transport->tempo) && transport->tempo > 0;
  if (tempoKnown) tempo = transport->tempo;
  signatureKnown = (flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) != 0 && transport->tsig_num > 0 &&
                   transport->tsig_denom > 0;
  if (signatureKnown) {
    numerator = transport->tsig_num;
    denominator = transport->tsig_denom;
  }
  beatsKnown = (flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) != 0;
  if (beatsKnown) {
    const auto factor = static_cast<double>(CLAP_BEATTIME_FACTOR);
    quarterNotes = static_cast<double>(transport->song_pos_beats) / factor;
    barStart = static_cast<double>(transport->bar_start) / factor;
  }
}

void ClapTransport::Advance(std::uint32_t frames, double sampleRate) {
  if (!known || !playing || !beatsKnown || !tempoKnown || !(sampleRate > 0)) return;
  quarterNotes += static_cast<double>(frames) * tempo / 60.0 / sampleRate;
}
