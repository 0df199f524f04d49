// Guards shared by the dispatcher base: the neutral answer for a record
// without an object, a parameter index out of range or an unusable text
// buffer is decided here, once.
#pragma once

#include <cstddef>

#include "vst/audio_effect.h"
#include "vst/text_bounds.h"
#include "vst/vst24.h"

// The object behind a record; null for a null record or an empty object.
inline AudioEffect* EffectOf(AEffect* e) noexcept {
  return e != nullptr ? static_cast<AudioEffect*>(e->object) : nullptr;
}

inline bool IsParameterIndex(const AEffect* e, VstInt32 index) noexcept {
  return index >= 0 && index < e->numParams;
}

// True when a dispatcher value survives narrowing to 32 bits.
inline bool FitsInt32(VstIntPtr value) noexcept {
  return static_cast<VstIntPtr>(static_cast<VstInt32>(value)) == value;
}

// A zeroed buffer larger than any text answer, handed to the virtual
// operations instead of the host's buffer; AnswerTo copies the result to
// the host bounded by the capacity of that request.
struct TextScratch {
  static constexpr std::size_t kSize = 256;
  char data[kSize] = {};

  void AnswerTo(char* hostBuffer, std::size_t capacity) noexcept {
    data[kSize - 1] = '\0';
    CopyBounded(hostBuffer, data, capacity);
  }
};
