// The CLAP parameters: ids 0 … 9 are the sliders in declaration order with
// their own units, ranges and defaults (the VST parameters, plain instead
// of normalised), id 10 the bypass. Texts are those the VST build shows.
#pragma once

#include <cstdint>

#include "formats/clap/abi/params.h"

class TMorvoxEffect;

namespace clapparams {

std::uint32_t Count();
bool Info(const TMorvoxEffect& script, std::uint32_t index, clap_param_info_t& info);
// The value the parameter takes when set to `value`: clamped to its range
// and rounded to its step. False for an unknown id or a value that is not
// a number.
bool Quantised(const TMorvoxEffect& script, clap_id id, double value, double& out);
// Into `buffer` of `capacity` bytes, cut to fit and always terminated.
bool ValueToText(const TMorvoxEffect& script, clap_id id, double value, char* buffer, std::uint32_t capacity);
// The VST display texts back to values: an option's text, "On"/"Off" for
// the switches and the bypass, or a number (what follows it is ignored).
bool TextToValue(const TMorvoxEffect& script, clap_id id, const char* text, double& value);

}  // namespace clapparams
