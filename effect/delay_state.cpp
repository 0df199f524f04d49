// The state section: the slider values 1 … 64 through the chunk slot.
#include "effect/morvox_effect.h"
#include "runtime/script_value.h"

void TMorvoxEffect::OnSerialize() {
  v.serializeIndex = 1;
  while (v.serializeIndex <= 64) {
    const auto n = static_cast<std::size_t>(morvox::ToIndex(v.serializeIndex) & 127);
    FileVar(0, sliderValues[n]);
    v.serializeIndex = v.serializeIndex + 1;
  }
}
