// The LV2 plug-in's identity and port layout, shared by the adapter, its UI
// and the generator of its Turtle description.
#pragma once

#include <cstdint>

namespace lv2port {

inline constexpr const char* kPluginUri = "urn:fenmoor:vorn-delay-2";
inline constexpr const char* kUiUri = "urn:fenmoor:vorn-delay-2#ui";
// The property the state chunk is saved under.
inline constexpr const char* kStateChunkUri = "urn:fenmoor:vorn-delay-2#chunk";

// Ports in index order: stereo audio in and out, the time atom input, one
// control input per slider in declaration order, the bypass, then the
// control outputs run() writes for the UI (the level meter).
inline constexpr std::uint32_t kInputLeft = 0;
inline constexpr std::uint32_t kInputRight = 1;
inline constexpr std::uint32_t kOutputLeft = 2;
inline constexpr std::uint32_t kOutputRight = 3;
inline constexpr std::uint32_t kTimeInput = 4;
inline constexpr std::uint32_t kFirstControl = 5;
// The host's bypass (lv2:enabled): 1 plays the effect, 0 the dry input.
inline constexpr std::uint32_t kEnabled = 15;
// The meter: the wet signal's peak at the end of each run, 0 … about 1.
inline constexpr std::uint32_t kFirstMeter = 16;
inline constexpr std::uint32_t kMeterCount = 1;
inline constexpr const char* kMeterSymbol = "meter";

constexpr std::uint32_t ControlPort(std::int32_t slider) {
  return kFirstControl + static_cast<std::uint32_t>(slider);
}

}  // namespace lv2port
