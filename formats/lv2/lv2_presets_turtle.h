// The factory presets (effect/factory_presets.h) as LV2 presets: one
// pset:Preset per entry, with the port values and the state chunk of the
// same settings, so a host that applies either form gets the same sound.
#pragma once

#include <string>

#include "effect/factory_presets.h"
#include "runtime/morvox_description.h"

namespace lv2turtle {

// "urn:fenmoor:vorn-delay-2#preset-slapback"
std::string PresetUri(const presets::FactoryPreset& preset);

// The file inside the bundle that describes every preset.
inline constexpr const char* kPresetsFile = "presets.ttl";

// The manifest's lines that announce each preset (appended to Manifest).
std::string PresetManifestEntries();
// presets.ttl; effect gives the port symbols of the sliders.
std::string PresetsDescription(const CMorvoxDescription& effect);

}  // namespace lv2turtle
