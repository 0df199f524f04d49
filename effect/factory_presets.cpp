#include "effect/factory_presets.h"

#include <cctype>
#include <cstring>

#include "effect/morvox_effect.h"

namespace presets {

namespace {

// Columns: quarter-note option (0.25 … 4.00 quarters, index 0 … 23), delay
// in ms, tempo sync, feedback %, colour Hz, resonance, colour mix,
// ping-pong, dry dB, wet dB. Option 1 is 0.33, 2 is 0.50, 4 is 0.75,
// 5 is 1.00, 11 is 2.00, 23 is 4.00 quarter notes.
constexpr FactoryPreset kPresets[] = {
    {"Slapback", {4, 90, 0, 5, 3200, 0, 0.5, 0, 0, -6}},
    {"Dotted Eighth Ping-Pong", {4, 500, 1, 40, 2800, 0.25, 0.75, 1, 0, -4}},
    {"Quarter-Note Dub", {5, 500, 1, 65, 800, 0.5, 1, 0, 0, -3}},
    {"Long Ambient Wash", {4, 1200, 0, 80, 1500, 0.25, 0.5, 1, -3, -2}},
    {"Resonant Tape Echo", {4, 330, 0, 55, 1200, 0.75, 1, 0, 0, -4}},
    {"Subtle Doubler", {4, 20, 0, 0, 4000, 0, 0, 0, 0, -8}},
    {"Eighth-Note Bounce", {2, 500, 1, 35, 2400, 0.25, 0.75, 1, 0, -5}},
    {"Triplet Shuffle", {1, 500, 1, 30, 2000, 0, 0.5, 0, 0, -5}},
    {"Half-Note Space", {11, 500, 1, 45, 1800, 0, 0.5, 1, 0, -6}},
    {"Lo-Fi Radio Echo", {4, 250, 0, 50, 600, 0.75, 1, 0, -2, 0}},
    {"Wide Stereo Echo", {4, 380, 0, 25, 3000, 0, 0.25, 1, 0, -6}},
    {"Endless Repeats", {23, 600, 0, 95, 1000, 0.5, 1, 0, 0, -6}},
};

}  // namespace

std::span<const FactoryPreset> FactoryPresets() {
  return kPresets;
}

const FactoryPreset* FindFactoryPreset(const std::string& name) {
  for (const FactoryPreset& preset : kPresets) {
    const std::size_t length = std::strlen(preset.name);
    if (length != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < length && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(preset.name[i])) ==
             std::tolower(static_cast<unsigned char>(name[i]));
    }
    if (same) return &preset;
  }
  return nullptr;
}

std::string PresetSymbol(const FactoryPreset& preset) {
  std::string symbol;
  bool gap = false;
  for (const char* c = preset.name; *c != '\0'; ++c) {
    const auto ch = static_cast<unsigned char>(*c);
    if (std::isalnum(ch)) {
      if (gap && !symbol.empty()) symbol += '-';
      symbol += static_cast<char>(std::tolower(ch));
      gap = false;
    } else {
      gap = true;
    }
  }
  return symbol;
}

void ApplyValues(const FactoryPreset& preset, TMorvoxEffect& effect) {
  for (std::size_t i = 0; i < kSliderCount; ++i) {
    const SliderInfo* slider = effect.SliderAt(static_cast<std::int32_t>(i));
    if (slider != nullptr)
      effect.sliderValues[static_cast<std::size_t>(slider->number) & 127] = preset.values[i];
  }
}

std::vector<std::uint8_t> PresetChunk(const FactoryPreset& preset) {
  // The effect's own state section writes it, so the preset's chunk is
  // exactly what a host would have saved with these settings.
  TMorvoxEffect effect;
  ApplyValues(preset, effect);
  void* data = nullptr;
  const std::int32_t size = effect.GetChunk(&data, true);
  std::vector<std::uint8_t> chunk;
  if (size <= 0 || data == nullptr) return chunk;
  // The floats as little-endian bytes, whatever the machine's order.
  const auto* floats = static_cast<const float*>(data);
  for (std::int32_t k = 0; k < size / 4; ++k) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &floats[k], 4);
    for (int shift = 0; shift < 32; shift += 8) chunk.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
  return chunk;
}

}  // namespace presets
