#include "host/render_command.h"

#include <chrono>
#include <cstdio>

#include "host/host_error.h"
#include "host/param_assign.h"
#include "host/plugin_locator.h"
#include "host/preset_files.h"
#include "host/state_file.h"

namespace vornhost {

RenderFiles::RenderFiles(const RenderCommandOptions& options)
    : input(options.input), output(options.output), outputPath(options.output), type(options.type) {
  if (input.frames() == 0) throw HostError("audio file '" + options.input + "' holds no audio");
  if (!options.saveState.empty()) {
    if (options.saveState == "-" && options.output == "-")
      throw HostError("the audio and the state cannot both go to standard output");
    state = std::make_unique<OutputFile>(options.saveState);
  }
  // An unknown file type is a mistake found now; the encoding is chosen
  // when the plug-in's channel count is known.
  ChooseOutputFormat(outputPath, type, input.format(), input.channels(), input.sampleRate());
}

void RenderToOutput(RenderFiles& files, BlockEngine& engine, const RenderOptions& render,
                    const std::function<void()>& finish, const char* kind) {
  const double rate = files.input.sampleRate();
  const int format =
      ChooseOutputFormat(files.outputPath, files.type, files.input.format(), engine.outputs(), rate);
  AudioWriter writer(files.output, format, engine.outputs(), rate);
  const auto start = std::chrono::steady_clock::now();
  const RenderResult result = Render(engine, files.input, writer, render);
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (result.inputFrames == 0) throw HostError("'" + files.input.name() + "' holds no audio");
  writer.Finish();
  finish();
  files.output.Commit();

  const double inSeconds = static_cast<double>(result.inputFrames) / rate;
  const double outSeconds = static_cast<double>(result.outputFrames) / rate;
  std::FILE* report = files.output.IsStandardOutput() ? stderr : stdout;
  std::fprintf(report, "%s: %.2f s + %.2f s tail, %d channel%s, %s, %g Hz, rendered at %.0fx real time%s\n",
               files.output.Name().c_str(), inSeconds, outSeconds - inSeconds, engine.outputs(),
               engine.outputs() == 1 ? "" : "s", FormatName(format).c_str(), rate,
               elapsed > 0.0 ? outSeconds / elapsed : 0.0, kind);
}

int RunRender(const RenderCommandOptions& options) {
  RenderFiles files(options);
  const std::string path = LocatePlugin(options.plugin);
  PluginInstance plugin(PluginModule::Load(path));
  if (options.precision == Precision::Double && !plugin.CanDouble())
    throw HostError("'" + path + "' cannot process double precision; leave out --double");

  const double fileRate = files.input.sampleRate();
  const double rate = options.sampleRate > 0.0 ? options.sampleRate : fileRate;
  if (rate != fileRate)
    std::fprintf(stderr, "vornhost: note: the plug-in runs at %g Hz; the file keeps its %g Hz\n", rate,
                 fileRate);
  if (files.input.channels() > plugin.numInputs() && plugin.numInputs() > 0)
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
  VstBlockEngine engine(plugin, options.blockSize, options.precision);
  RenderToOutput(
      files, engine, render,
      [&] {
        if (files.state) SaveStateFile(plugin, *files.state);
        plugin.Suspend();
      },
      "");
  return 0;
}

}  // namespace vornhost
