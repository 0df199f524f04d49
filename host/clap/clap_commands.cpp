#include "host/clap/clap_commands.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/clap/clap_automation.h"
#include "host/clap/clap_plugin_host.h"
#include "host/clap/clap_render.h"
#include "host/host_error.h"
#include "host/json_writer.h"
#ifndef VORNHOST_NO_AUDIO_FILES
#include "host/render_command.h"
#endif

namespace vornhost {

namespace {

const char* const kKnownExtensions[] = {CLAP_EXT_AUDIO_PORTS,
                                        CLAP_EXT_PARAMS,
                                        CLAP_EXT_STATE,
                                        CLAP_EXT_LATENCY,
                                        CLAP_EXT_TAIL,
                                        CLAP_EXT_RENDER,
                                        CLAP_EXT_GUI,
                                        CLAP_EXT_TIMER_SUPPORT,
                                        CLAP_EXT_POSIX_FD_SUPPORT,
                                        CLAP_EXT_PRESET_LOAD,
                                        CLAP_EXT_PRESET_LOAD_COMPAT};

std::string Text(const char* text) {
  return text != nullptr ? text : "";
}

std::string Flags(std::uint32_t flags) {
  static const std::pair<std::uint32_t, const char*> kNames[] = {
      {CLAP_PARAM_IS_STEPPED, "stepped"},
      {CLAP_PARAM_IS_PERIODIC, "periodic"},
      {CLAP_PARAM_IS_HIDDEN, "hidden"},
      {CLAP_PARAM_IS_READONLY, "readonly"},
      {CLAP_PARAM_IS_BYPASS, "bypass"},
      {CLAP_PARAM_IS_AUTOMATABLE, "automatable"},
      {CLAP_PARAM_IS_MODULATABLE, "modulatable"},
      {CLAP_PARAM_REQUIRES_PROCESS, "requires-process"},
      {CLAP_PARAM_IS_ENUM, "enum"}};
  std::string out;
  for (const auto& [bit, name] : kNames)
    if (flags & bit) out += std::string(out.empty() ? "" : ",") + name;
  return out;
}

std::vector<std::string> Features(const clap_plugin_descriptor_t* d) {
  std::vector<std::string> out;
  for (const char* const* f = d->features; f != nullptr && *f != nullptr && out.size() < 100; ++f)
    out.push_back(*f);
  return out;
}

}  // namespace

int RunClapInfo(const InfoOptions& options, const ClapChoice& choice) {
  auto module = ClapModule::Load(options.plugin);
  ClapPluginHost plugin(module, choice.pluginId);
  const clap_plugin_descriptor_t* d = plugin.descriptor();
  std::vector<std::string> extensions;
  for (const char* id : kKnownExtensions)
    if (plugin.Extension(id) != nullptr) extensions.push_back(id);
  const auto presets = plugin.Presets();
  std::vector<std::string> others;
  for (const auto* other : module->Descriptors()) others.push_back(Text(other->id));
  plugin.Activate(options.sampleRate, static_cast<std::uint32_t>(options.blockSize));
  const std::uint32_t latency = plugin.Latency(), tail = plugin.Tail();
  plugin.Deactivate();

  if (options.json) {
    JsonWriter j;
    j.BeginObject();
    j.Value("format", std::string("clap")).Value("id", Text(d->id)).Value("name", Text(d->name));
    j.Value("vendor", Text(d->vendor)).Value("version", Text(d->version)).Value("url", Text(d->url));
    j.Value("description", Text(d->description)).Value("file", options.plugin);
    j.BeginArray("features");
    for (const auto& f : Features(d)) j.Value(nullptr, f);
    j.EndArray();
    j.BeginArray("pluginsInFile");
    for (const auto& id : others) j.Value(nullptr, id);
    j.EndArray();
    j.BeginArray("extensions");
    for (const auto& e : extensions) j.Value(nullptr, e);
    j.EndArray();
    for (bool input : {true, false}) {
      j.BeginArray(input ? "audioInputs" : "audioOutputs");
      for (const ClapPort& p : input ? plugin.inputs() : plugin.outputs())
        j.BeginObject()
            .Value("name", p.name)
            .Value("channels", static_cast<long long>(p.channels))
            .Value("type", p.type)
            .EndObject();
      j.EndArray();
    }
    j.Value("latency", static_cast<long long>(latency)).Value("tail", static_cast<long long>(tail));
    j.BeginArray("params");
    for (const ClapParam& p : plugin.params()) {
      j.BeginObject();
      j.Value("id", static_cast<long long>(p.id)).Value("name", p.name).Value("module", p.module);
      j.Value("minimum", p.minimum).Value("maximum", p.maximum).Value("default", p.defaultValue);
      j.Value("defaultText", plugin.Text(p.id, p.defaultValue)).Value("flags", Flags(p.flags));
      j.EndObject();
    }
    j.EndArray();
    j.BeginArray("presets");
    for (const ClapPreset& p : presets)
      j.BeginObject().Value("name", p.name).Value("loadKey", p.loadKey).EndObject();
    j.EndArray();
    j.EndObject();
    std::printf("%s\n", j.str().c_str());
    return 0;
  }
  std::printf("CLAP plug-in   %s\n", Text(d->id).c_str());
  std::printf("name           %s\n", Text(d->name).c_str());
  std::printf("vendor         %s\n", Text(d->vendor).c_str());
  std::printf("version        %s\n", Text(d->version).c_str());
  if (d->url != nullptr && *d->url != 0) std::printf("url            %s\n", d->url);
  if (d->description != nullptr && *d->description != 0) std::printf("description    %s\n", d->description);
  std::string features;
  for (const auto& f : Features(d)) features += (features.empty() ? "" : " ") + f;
  std::printf("features       %s\n", features.c_str());
  std::printf("clap           %u.%u.%u\n", d->clap_version.major, d->clap_version.minor,
              d->clap_version.revision);
  if (others.size() > 1)
    for (const auto& id : others) std::printf("in this file   %s\n", id.c_str());
  for (const auto& e : extensions) std::printf("extension      %s\n", e.c_str());
  for (bool input : {true, false})
    for (const ClapPort& p : input ? plugin.inputs() : plugin.outputs())
      std::printf("%s      %s, %u channel%s%s%s\n", input ? "input " : "output", p.name.c_str(), p.channels,
                  p.channels == 1 ? "" : "s", p.type.empty() ? "" : ", ", p.type.c_str());
  std::printf("audio          %d in, %d out%s\n", plugin.numInputs(), plugin.numOutputs(),
              plugin.CanDouble() ? ", 64-bit capable" : "");
  std::printf("latency        %u frames\n", latency);
  std::printf("tail           %u frames at %g Hz\n", tail, options.sampleRate);
  for (const ClapPreset& p : presets) std::printf("preset         %s\n", p.name.c_str());
  std::printf("parameters     %zu\n", plugin.params().size());
  for (const ClapParam& p : plugin.params())
    std::printf("  %4u %-24s %10g .. %-10g default %-12s %s\n", p.id, p.name.c_str(), p.minimum, p.maximum,
                plugin.Text(p.id, p.defaultValue).c_str(), Flags(p.flags).c_str());
  return 0;
}

namespace {

// The digest's renders, through a fresh instance each as for VST.
AudioData RenderDigestCase(const std::shared_ptr<ClapModule>& module, const std::string& pluginId,
                           const AudioData& input, const std::vector<const char*>& settings,
                           Precision precision) {
  ClapPluginHost plugin(module, pluginId);
  plugin.Activate(kDigestSampleRate, kDigestBlockSize);
  RenderOptions render;
  render.blockSize = kDigestBlockSize;
  render.precision = precision;
  render.tailSeconds = kDigestTailSeconds;
  std::vector<ClapParamEvent> events;
  for (const char* assignment : settings) events.push_back(plugin.Resolve(assignment));
  AudioData output = RenderClap(plugin, input, render, std::move(events));
  plugin.Deactivate();
  return output;
}

}  // namespace

int RunClapDigest(const DigestOptions& options, const ClapChoice& choice) {
  auto module = ClapModule::Load(options.plugin);
  std::string name;
  bool canDouble = false;
  {
    ClapPluginHost probe(module, choice.pluginId);
    name = Text(probe.descriptor()->name);
    canDouble = probe.CanDouble();
  }
  if (name != "Vorn Delay 2")
    throw HostError("digest renders Vorn Delay 2's settings; '" + options.plugin + "' is \"" + name + "\"");
  PrintDigestTable(
      name, canDouble,
      [&](const AudioData& input, const std::vector<const char*>& settings, Precision precision) {
        return RenderDigestCase(module, choice.pluginId, input, settings, precision);
      });
  return 0;
}

#ifndef VORNHOST_NO_AUDIO_FILES
int RunClapRender(const RenderCommandOptions& options, const ClapChoice& choice) {
  if (!options.loadState.empty() || !options.saveState.empty())
    throw HostError("--state and --save-state are for VST plug-ins; use --preset with CLAP");
  RenderFiles files(options);
  auto module = ClapModule::Load(options.plugin);
  ClapPluginHost plugin(module, choice.pluginId);
  if (options.precision == Precision::Double && !plugin.CanDouble())
    throw HostError("'" + options.plugin + "' cannot process double precision; leave out --double");
  if (plugin.numOutputs() == 0) throw HostError("'" + options.plugin + "' has no audio output");
  const double rate = options.sampleRate > 0.0 ? options.sampleRate : files.input.sampleRate();
  plugin.SetTransport(options.transport.tempo, options.transport.timeSigNumerator,
                      options.transport.timeSigDenominator, options.transport.playing);
  // The preset goes in before activation, as a host loads a project.
  if (!options.preset.empty()) plugin.ApplyPreset(options.preset);
  plugin.Activate(rate, static_cast<std::uint32_t>(options.blockSize));

  RenderOptions render;
  render.blockSize = options.blockSize;
  render.precision = options.precision;
  render.tailSeconds = options.tailSeconds;
  render.progress = StderrIsTerminal();
  // Settings given as well win over the preset's; they arrive with the first frame.
  std::vector<ClapParamEvent> events;
  for (const std::string& assignment : options.params) events.push_back(plugin.Resolve(assignment));
  for (const std::string& automation : choice.automation)
    for (const ClapParamEvent& e : ParseAutomation(plugin, automation, rate)) events.push_back(e);
  plugin.Schedule(std::move(events));
  const std::uint32_t tail = plugin.Tail();
  // A plug-in that names its tail gets that long, with a second to spare;
  // an endless one (UINT32_MAX) gets the automatic tail.
  if (render.tailSeconds < 0.0 && tail > 1 && tail < UINT32_MAX) render.tailSeconds = tail / rate + 1.0;

  ClapBlockEngine engine(plugin, options.blockSize, options.precision);
  RunOnAudioThread([&] {
    RenderToOutput(
        files, engine, render, [&] { plugin.StopProcessing(); }, " (CLAP)");
  });
  plugin.Deactivate();
  return 0;
}
#endif

}  // namespace vornhost
