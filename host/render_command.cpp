#include "host/render_command.h"

#include <chrono>
#include <cstdio>
#include <fstream>

#include "host/audio_file.h"
#include "host/host_error.h"
#include "host/param_assign.h"
#include "host/plugin_locator.h"
#include "host/preset_files.h"
#include "host/render_pipeline.h"
#include "host/state_file.h"

namespace vornhost {

void CheckWritable(const std::string& path) {
  const std::string probe = path + ".part";
  {
    std::ofstream out(probe, std::ios::binary | std::ios::trunc);
    if (!out) throw HostError("cannot write '" + path + "' (no such folder or no permission)");
  }
  std::remove(probe.c_str());
}

int RunRender(const RenderCommandOptions& options) {
  AudioData input = ReadAudioFile(options.input);
  if (input.frames() == 0) throw HostError("audio file '" + options.input + "' holds no audio");
  CheckWritable(options.output);
  if (!options.saveState.empty()) CheckWritable(options.saveState);
  const std::string path = LocatePlugin(options.plugin);
  PluginInstance plugin(PluginModule::Load(path));
  if (options.precision == Precision::Double && !plugin.CanDouble())
    throw HostError("'" + path + "' cannot process double precision; leave out --double");

  const double rate = options.sampleRate > 0.0 ? options.sampleRate : input.sampleRate;
  if (rate != input.sampleRate)
    std::fprintf(stderr, "vornhost: note: the plug-in runs at %g Hz; the file keeps its %g Hz\n", rate,
                 input.sampleRate);
  if (input.channelCount() > plugin.numInputs() && plugin.numInputs() > 0)
    std::fprintf(stderr,
                 "vornhost: note: the plug-in has %d inputs; channels beyond them are not processed\n",
                 plugin.numInputs());
  plugin.host().SetTransport(options.transport);
  plugin.Setup(rate, options.blockSize);
  plugin.Resume();
  if (!options.loadState.empty()) LoadStateFile(plugin, options.loadState);
  if (!options.preset.empty()) LoadStateFile(plugin, ResolvePreset(options.preset, path));
  for (const std::string& assignment : options.params) ApplyParam(plugin, assignment);

  RenderOptions render;
  render.blockSize = options.blockSize;
  render.precision = options.precision;
  render.tailSeconds = options.tailSeconds;
  if (render.tailSeconds < 0.0 && plugin.TailSize() > 1) render.tailSeconds = plugin.TailSize() / rate;
  render.progress = StderrIsTerminal();
  auto start = std::chrono::steady_clock::now();
  AudioData output = Render(plugin, input, render);
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  output.sampleRate = input.sampleRate;

  if (!options.saveState.empty()) SaveStateFile(plugin, options.saveState);
  plugin.Suspend();
  WriteAudioFile(options.output, output);

  const double inSeconds = static_cast<double>(input.frames()) / input.sampleRate;
  const double outSeconds = static_cast<double>(output.frames()) / input.sampleRate;
  std::printf("%s: %.2f s + %.2f s tail, %d channel%s, %s, %g Hz, rendered at %.0fx real time\n",
              options.output.c_str(), inSeconds, outSeconds - inSeconds, output.channelCount(),
              output.channelCount() == 1 ? "" : "s", FormatName(output.format).c_str(), input.sampleRate,
              elapsed > 0.0 ? outSeconds / elapsed : 0.0);
  return 0;
}

}  // namespace vornhost
