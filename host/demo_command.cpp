#include "host/demo_command.h"

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "host/audio_file.h"
#include "host/demo_phrase.h"
#include "host/host_error.h"
#include "host/output_file.h"
#include "host/param_assign.h"
#include "host/plugin_locator.h"
#include "host/render_command.h"
#include "host/render_pipeline.h"
#include "host/signal_stats.h"

namespace vornhost {

namespace {

// Dotted-eighth echoes synced to the tempo, bouncing between the channels,
// a few repeats, slightly darkened.
const char* const kSettings[] = {
    "Tempo Delay [Off/On]=1", "Delay [1/4 Notes]=0.75", "Ping Pong [Off/On]=1", "Feedback [%]=45",
    "Color [Hz]=3000",        "Resonance=0.2",          "Dry [dB]=0",           "Wet [dB]=-2",
};
constexpr double kQuarterNotes = 0.75;

bool IsOurs(PluginInstance& plugin) {
  return plugin.EffectName() == "Vorn Delay 2";
}

// A resumed instance; ours gets the demo settings.
std::unique_ptr<PluginInstance> Prepare(const std::string& path, const DemoOptions& options) {
  auto plugin = std::make_unique<PluginInstance>(PluginModule::Load(path));
  Transport transport;
  transport.tempo = options.tempo;
  plugin->host().SetTransport(transport);
  plugin->Setup(options.sampleRate, 512);
  plugin->Resume();
  if (IsOurs(*plugin))
    for (const char* assignment : kSettings) ApplyParam(*plugin, assignment);
  return plugin;
}

void PrintLevels(const char* what, const AudioData& data) {
  std::printf("  %-7s", what);
  for (int c = 0; c < data.channelCount(); ++c) {
    Level l = MeasureLevel(data.channels[static_cast<std::size_t>(c)]);
    std::printf("  %s peak %6.1f dBFS, RMS %6.1f dBFS",
                c == 0   ? "L"
                : c == 1 ? "R"
                         : "?",
                ToDb(l.peak), ToDb(l.rms));
  }
  std::printf("\n");
}

}  // namespace

int RunDemo(const DemoOptions& options) {
  OutputFile output(options.output);
  const std::string path = LocatePlugin(options.plugin);
  PhraseSettings phrase;
  phrase.sampleRate = options.sampleRate;
  phrase.tempo = options.tempo;
  AudioData input = SynthesizePhrase(phrase);
  input.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

  auto plugin = Prepare(path, options);
  const bool ours = IsOurs(*plugin);
  if (!ours)
    std::fprintf(stderr, "vornhost: note: '%s' is not Vorn Delay 2; it runs with its own defaults\n",
                 plugin->EffectName().c_str());
  RenderOptions render;
  render.tailSeconds = -1.0;
  AudioData rendered = Render(*plugin, input, render);
  plugin->Suspend();
  rendered.format =
      ChooseOutputFormat(options.output, "", input.format, rendered.channelCount(), rendered.sampleRate);
  WriteAudioFile(output, rendered);

  // A single click through a fresh instance with the same settings shows
  // where the echoes land.
  auto probe = Prepare(path, options);
  RenderOptions probeRender;
  probeRender.tailSeconds = 0.0;
  AudioData click = SynthesizeClick(options.sampleRate, 3.0);
  AudioData response = Render(*probe, click, probeRender);
  std::vector<Echo> echoes = FindEchoes(response, 0.02, 0.04, 0.5 * 0.01);

  const double beat = 60.0 / options.tempo;
  std::printf("vornhost demo: %.1f s phrase (plucked notes, clicks) at %g BPM through %s\n",
              static_cast<double>(input.frames()) / input.sampleRate, options.tempo,
              plugin->EffectName().c_str());
  if (ours)
    std::printf(
        "  settings: tempo sync on, %.2f quarter notes (%.1f ms), ping-pong on, feedback 45 %%, colour 3000 "
        "Hz, wet -2 dB\n",
        kQuarterNotes, kQuarterNotes * beat * 1000.0);
  PrintLevels("input", input);
  PrintLevels("output", rendered);
  std::printf("  echoes of a single click (time, channel, level against the click):\n");
  int shown = 0;
  for (const Echo& e : echoes) {
    if (shown++ == 6) break;
    std::printf("    %8.2f ms  %s  %6.1f dB", e.seconds * 1000.0, e.channel == 0 ? "L" : "R",
                ToDb(e.level / 0.5));
    if (ours) std::printf("   (%.2f beats)", e.seconds / beat);
    std::printf("\n");
  }
  if (echoes.empty()) std::printf("    none above -40 dB\n");
  std::printf("  wrote %s (%.2f s, stereo, %g Hz, %s)\n", options.output.c_str(),
              static_cast<double>(rendered.frames()) / rendered.sampleRate, rendered.sampleRate,
              FormatName(rendered.format).c_str());
  return 0;
}

}  // namespace vornhost
