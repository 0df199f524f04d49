#include "formats/lv2/lv2_turtle.h"

#include <cctype>
#include <cstdio>
#include <sstream>

#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_presets_turtle.h"

namespace lv2turtle {

namespace {

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time:  <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A number as Turtle reads it back exactly: shortest round-trip form, with
// a decimal point so it is a decimal, not an integer.
std::string Number(double value) {
  char text[64];
  if (value == static_cast<double>(static_cast<long long>(value)) && value > -1e15 && value < 1e15) {
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
  }
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    double back = 0;
    if (std::sscanf(text, "%lf", &back) == 1 && back == value) break;
  }
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

ControlPortText DescribeControl(const SliderInfo& slider) {
  ControlPortText port;
  port.name = slider.name;
  const std::size_t open = slider.name.rfind(" [");
  if (open != std::string::npos && slider.name.back() == ']') {
    const std::string suffix = slider.name.substr(open + 2, slider.name.size() - open - 3);
    static const struct {
      const char* suffix;
      const char* unit;
    } kUnits[] = {{"ms", "units:ms"}, {"%", "units:pc"}, {"Hz", "units:hz"}, {"dB", "units:db"}};
    for (const auto& u : kUnits) {
      if (suffix == u.suffix) port.unit = u.unit;
    }
    port.toggled = suffix == "Off/On";
    if (!port.unit.empty() || port.toggled) port.name = slider.name.substr(0, open);
  }
  bool gap = false;
  for (char c : port.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      if (gap && !port.symbol.empty()) port.symbol += '_';
      port.symbol += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      gap = false;
    } else {
      gap = true;
    }
  }
  return port;
}

std::string Manifest(const std::string& binary) {
  std::ostringstream out;
  out << kPrefixes;
  out << "<" << lv2port::kPluginUri << ">\n"
      << "    a lv2:Plugin ;\n"
      << "    lv2:binary <" << binary << "> ;\n"
      << "    rdfs:seeAlso <VornDelay2.ttl> .\n\n";
  out << "<" << lv2port::kUiUri << ">\n"
      << "    a ui:X11UI ;\n"
      << "    ui:binary <" << binary << "> ;\n"
      << "    rdfs:seeAlso <VornDelay2_ui.ttl> .\n";
  out << PresetManifestEntries();
  return out.str();
}

std::string PluginDescription(const CMorvoxDescription& effect) {
  std::ostringstream out;
  out << kPrefixes;
  out << "<" << lv2port::kPluginUri << ">\n"
      << "    a lv2:Plugin , lv2:DelayPlugin , doap:Project ;\n"
      << "    doap:name " << Quoted(effect.effectName) << " ;\n"
      << "    doap:maintainer [ foaf:name " << Quoted(effect.vendorString)
      << " ] ;\n"
      // LV2 takes an odd minor version for a development build: release
      // n of the product is minor version 2n.
      << "    lv2:minorVersion " << 2 * (effect.vendorVersion / 1000) << " ;\n"
      << "    lv2:microVersion " << effect.vendorVersion % 1000
      << " ;\n"
      // restore() may run beside run(): it only hands the chunk over.
      << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , state:threadSafeRestore ;\n"
      << "    lv2:extensionData state:interface ;\n"
      << "    ui:ui <" << lv2port::kUiUri << "> ;\n";
  struct AudioPort {
    std::uint32_t index;
    const char* direction;
    const char* symbol;
    const char* name;
  };
  const AudioPort audio[] = {{lv2port::kInputLeft, "lv2:InputPort", "in_l", "Input L"},
                             {lv2port::kInputRight, "lv2:InputPort", "in_r", "Input R"},
                             {lv2port::kOutputLeft, "lv2:OutputPort", "out_l", "Output L"},
                             {lv2port::kOutputRight, "lv2:OutputPort", "out_r", "Output R"}};
  out << "    lv2:port ";
  for (const AudioPort& port : audio) {
    out << "[\n        a lv2:AudioPort , " << port.direction << " ;\n"
        << "        lv2:index " << port.index << " ;\n"
        << "        lv2:symbol \"" << port.symbol << "\" ;\n"
        << "        lv2:name \"" << port.name << "\"\n    ] , ";
  }
  out << "[\n        a atom:AtomPort , lv2:InputPort ;\n"
      << "        atom:bufferType atom:Sequence ;\n"
      << "        atom:supports time:Position ;\n"
      << "        lv2:designation lv2:control ;\n"
      << "        lv2:portProperty lv2:connectionOptional ;\n"
      << "        lv2:index " << lv2port::kTimeInput << " ;\n"
      << "        lv2:symbol \"control\" ;\n"
      << "        lv2:name \"Transport\"\n    ]";
  for (std::int32_t i = 0; i < effect.SliderCount(); ++i) {
    const SliderInfo& slider = *effect.SliderAt(i);
    const ControlPortText text = DescribeControl(slider);
    out << " , [\n        a lv2:ControlPort , lv2:InputPort ;\n"
        << "        lv2:index " << lv2port::ControlPort(i) << " ;\n"
        << "        lv2:symbol \"" << text.symbol << "\" ;\n"
        << "        lv2:name " << Quoted(text.name) << " ;\n"
        << "        lv2:default " << Number(slider.defaultValue) << " ;\n"
        << "        lv2:minimum " << Number(slider.minimum) << " ;\n"
        << "        lv2:maximum " << Number(slider.maximum);
    if (!text.unit.empty()) out << " ;\n        units:unit " << text.unit;
    if (text.toggled) {
      out << " ;\n        lv2:portProperty lv2:toggled";
    } else if (!slider.options.empty()) {
      out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
      for (std::size_t k = 0; k < slider.options.size(); ++k) {
        out << " ;\n        lv2:scalePoint [ rdfs:label " << Quoted(slider.options[k]) << " ; rdf:value "
            << Number(slider.minimum + static_cast<double>(k) * slider.step) << " ]";
      }
    } else if (slider.step == 1.0) {
      out << " ;\n        lv2:portProperty lv2:integer";
    }
    out << "\n    ]";
  }
  out << EnabledPort();
  // The meter the UI draws, written by run(): a UI needs no access to the
  // instance, so it may run in a process of its own.
  out << " , [\n        a lv2:ControlPort , lv2:OutputPort ;\n"
      << "        lv2:index " << lv2port::kFirstMeter << " ;\n"
      << "        lv2:symbol \"" << lv2port::kMeterSymbol << "\" ;\n"
      << "        lv2:name \"Meter\" ;\n"
      << "        lv2:default 0.0 ;\n"
      << "        lv2:minimum 0.0 ;\n"
      << "        lv2:maximum 1.0\n    ]";
  out << " .\n";
  return out.str();
}

std::string UiDescription(const std::string& binary) {
  std::ostringstream out;
  out << kPrefixes;
  out << "<" << lv2port::kUiUri << ">\n"
      << "    a ui:X11UI ;\n"
      << "    ui:binary <" << binary << "> ;\n"
      << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
      << "    lv2:optionalFeature ui:resize , ui:touch , opts:options ;\n"
      << "    opts:supportedOption ui:scaleFactor ;\n"
      << "    lv2:extensionData ui:idleInterface ;\n"
      << "    ui:portNotification [\n"
      << "        ui:plugin <" << lv2port::kPluginUri << "> ;\n"
      << "        lv2:symbol \"" << lv2port::kMeterSymbol << "\" ;\n"
      << "        ui:protocol ui:floatProtocol\n    ] .\n";
  return out.str();
}

}  // namespace lv2turtle
