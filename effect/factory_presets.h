// The factory presets: named settings of every slider, declared once here
// beside the effect's description. The LV2 bundle's presets and the VST
// program files (.fxp, .fxb) are generated from this table at build time.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TMorvoxEffect;

namespace presets {

// Sliders in declaration order (the host parameter index).
inline constexpr std::size_t kSliderCount = 10;

struct FactoryPreset {
  const char* name;  // at most 24 characters, the VST program name limit
  // Every slider's value in its own units, in declaration order. Each is a
  // whole number of the slider's steps and exact as a float, so the chunk,
  // the LV2 port values and a host's normalised parameters all give it back
  // unchanged.
  std::array<double, kSliderCount> values;
};

std::span<const FactoryPreset> FactoryPresets();

// The preset of that name (compared without regard to case), or null.
const FactoryPreset* FindFactoryPreset(const std::string& name);

// The name in lower case, words joined by '-': "dotted-eighth-ping-pong".
// Used for file names and URIs.
std::string PresetSymbol(const FactoryPreset& preset);

// Sets the effect's sliders to the preset's values (no section runs).
void ApplyValues(const FactoryPreset& preset, TMorvoxEffect& effect);

// The state chunk the effect saves with the preset's settings: the marker
// and 64 values as little-endian floats, 260 bytes.
std::vector<std::uint8_t> PresetChunk(const FactoryPreset& preset);

}  // namespace presets
