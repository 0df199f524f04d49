// ClapGuiLink: what passes between an instance's editor (main thread) and
// its audio side (process, or params flush while not processing) without a
// lock or an allocation on either side.
//
// Editor → audio: the user's edits in order (gesture begin, values,
// gesture end) through a single-producer single-consumer ring. The audio
// side makes them the sound's and tells the host about each, so the host
// records the automation.
//
// Audio → editor: the value of every parameter as it sounds and the
// meter's peak since the editor last looked, in atomics. Whatever changes
// a value the sound uses (process, flush, a state load) publishes it; the
// editor picks the changes up on its next idle.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "formats/clap/abi/core.h"

class ClapGuiLink {
 public:
  // Parameter ids 0 … kParams - 1 (the last is the bypass).
  static constexpr std::uint32_t kParams = 11;
  // Edits waiting for the audio side; a drag makes about one per idle.
  static constexpr std::uint32_t kQueueSize = 1024;

  struct Edit {
    enum Kind : std::uint16_t { kBegin, kValue, kEnd };
    Kind kind = kValue;
    clap_id param = 0;
    double value = 0;  // kValue: the plain value, in the parameter's units
  };

  ClapGuiLink();

  // [main] Queues the edit for the audio side; false when the ring is full
  // (the editor keeps it and tries again).
  bool PushEdit(const Edit& edit);
  // [audio] The oldest waiting edit; false when there is none.
  bool PopEdit(Edit& edit);

  // [audio] Every waiting edit, in order: set(param, value) for each value
  // and the host's events for all of them at frame `time` on `out` (null:
  // no events). Bounded by the ring's size.
  template <class SetValue>
  void DrainEdits(const clap_output_events_t* out, std::uint32_t time, SetValue&& set) {
    Edit edit;
    for (std::uint32_t n = 0; n < kQueueSize && PopEdit(edit); ++n) {
      if (edit.kind == Edit::kValue) set(edit.param, edit.value);
      SendToHost(out, time, edit);
    }
  }

  // [audio, or main while nothing processes] The value the sound now uses.
  void PublishValue(clap_id param, double value);
  // [audio] The wet peak of a block; the editor sees the largest since it
  // last looked.
  void PublishMeter(double peak);

  // [main] The parameters published since the last call, one bit each.
  std::uint32_t TakeChanged();
  // [main] The last published value.
  double Value(clap_id param) const;
  // [main] The largest peak since the last call (0 when none came).
  double TakeMeter();

 private:
  static void SendToHost(const clap_output_events_t* out, std::uint32_t time, const Edit& edit);

  std::array<Edit, kQueueSize> ring_{};
  alignas(64) std::atomic<std::uint32_t> head_{0};  // written by the editor
  alignas(64) std::atomic<std::uint32_t> tail_{0};  // written by the audio side
  alignas(64) std::array<std::atomic<double>, kParams> values_;
  std::atomic<std::uint32_t> changed_{0};
  std::atomic<float> meter_{0};
};
