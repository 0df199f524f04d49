#include "formats/lv2/lv2_presets_turtle.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_turtle.h"

namespace lv2turtle {

namespace {

std::string Base64(const std::vector<std::uint8_t>& data) {
  static const char* kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < data.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint32_t>(data[i]) << 16;
    if (i + 1 < data.size()) n |= static_cast<std::uint32_t>(data[i + 1]) << 8;
    if (i + 2 < data.size()) n |= data[i + 2];
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < data.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < data.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// The table's values are exact floats with few digits: the shortest form
// that reads back as the same double, always with a decimal point.
std::string Decimal(double value) {
  char text[64];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    double back = 0;
    if (std::sscanf(text, "%lf", &back) == 1 && back == value) break;
  }
  return text;
}

std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

}  // namespace

std::string PresetUri(const presets::FactoryPreset& preset) {
  return std::string(lv2port::kPluginUri) + "#preset-" + presets::PresetSymbol(preset);
}

std::string PresetManifestEntries() {
  std::ostringstream out;
  out << "\n@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n";
  for (const presets::FactoryPreset& preset : presets::FactoryPresets()) {
    out << "\n<" << PresetUri(preset) << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << lv2port::kPluginUri << "> ;\n"
        << "    rdfs:seeAlso <" << kPresetsFile << "> .\n";
  }
  return out.str();
}

std::string PresetsDescription(const CMorvoxDescription& effect) {
  std::ostringstream out;
  out << "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
      << "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
      << "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
      << "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
      << "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
      << "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";
  // The one property of the plug-in's state.
  out << "<" << lv2port::kStateChunkUri << ">\n"
      << "    a rdf:Property ;\n"
      << "    rdfs:label \"settings\" ;\n"
      << "    rdfs:comment \"Every setting as the plug-in saves it: the marker -1000 and 64 values, as "
         "little-endian 32-bit floats.\" .\n";
  for (const presets::FactoryPreset& preset : presets::FactoryPresets()) {
    out << "\n<" << PresetUri(preset) << ">\n"
        << "    a pset:Preset ;\n"
        << "    lv2:appliesTo <" << lv2port::kPluginUri << "> ;\n"
        << "    rdfs:label " << Quoted(preset.name) << " ;\n"
        << "    lv2:port ";
    const auto count =
        std::min<std::size_t>(presets::kSliderCount, static_cast<std::size_t>(effect.SliderCount()));
    for (std::size_t i = 0; i < count; ++i) {
      const SliderInfo& slider = *effect.SliderAt(static_cast<std::int32_t>(i));
      out << (i == 0 ? "" : " , ") << "[\n        lv2:symbol \"" << DescribeControl(slider).symbol
          << "\" ;\n        pset:value " << Decimal(preset.values[i]) << "\n    ]";
    }
    // The same settings as the state the plug-in saves: hosts that restore
    // the state and hosts that set the ports end up alike.
    out << " ;\n    state:state [\n        <" << lv2port::kStateChunkUri << "> \""
        << Base64(presets::PresetChunk(preset)) << "\"^^xsd:base64Binary\n    ] .\n";
  }
  return out.str();
}

}  // namespace lv2turtle
