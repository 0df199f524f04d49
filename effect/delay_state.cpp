// The state section: the slider values 1 … 64 through the chunk slot.
#include <cmath>

#include "effect/morvox_effect.h"
#include "runtime/script_value.h"

void TMorvoxEffect::OnSerialize() {
  v.serializeIndex = 1;
  while (v.serializeIndex <= 64) {
    const auto n = static_cast<std::size_t>(morvox::ToIndex(v.serializeIndex) & 127);
    // A damaged chunk may hold a NaN or an infinity: that entry keeps the
    // value it had (finite values travel as they are; the audio path and
    // the interface limit them to the slider's range).
    double value = sliderValues[n];
    FileVar(0, value);
    if (std::isfinite(value)) sliderValues[n] = value;
    v.serializeIndex = v.serializeIndex + 1;
  }
}
