// vornhost: a command-line VST 2.4 host. Renders audio files through a
// plug-in, shows what it says about itself, validates and benchmarks it.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <string>

#include "host/bench_command.h"
#include "host/clap/clap_commands.h"
#include "host/clap/clap_plugin_host.h"
#include "host/digest_command.h"
#include "host/edit_command.h"
#include "host/host_error.h"
#include "host/info_command.h"
#include "host/validate_command.h"
#ifdef VORNHOST_LV2
#include "host/lv2/lv2_commands.h"
#include "host/lv2/lv2_plugin_host.h"
#endif
#ifndef VORNHOST_NO_AUDIO_FILES
#include "host/demo_command.h"
#include "host/render_command.h"
#endif

namespace {

using namespace vornhost;

#ifndef VORNHOST_NO_AUDIO_FILES
// "4/4" into numerator and denominator.
std::string CheckTimeSignature(const std::string& text) {
  int n = 0, d = 0;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d/%d%c", &n, &d, &rest) != 2 || n < 1 || n > 64 ||
      (d != 1 && d != 2 && d != 4 && d != 8 && d != 16 && d != 32))
    return "a time signature is N/D with N in 1..64 and D one of 1, 2, 4, 8, 16, 32";
  return {};
}

Transport ParseTransport(double tempo, const std::string& timeSig, bool stopped) {
  Transport t;
  t.tempo = tempo;
  std::sscanf(timeSig.c_str(), "%d/%d", &t.timeSigNumerator, &t.timeSigDenominator);
  t.playing = !stopped;
  return t;
}
#endif

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// A mistake on the command line: one line on stderr and status 2.
int UsageError(std::string message, const CLI::App& app) {
  for (char& c : message)
    if (c == '\n') c = ' ';
  std::string names;
  for (const CLI::App* sub : app.get_subcommands({})) names += (names.empty() ? "" : ", ") + sub->get_name();
  if (message.rfind("unknown subcommand", 0) == 0 || message == "A subcommand is required")
    message += " (one of: " + names + ")";
  std::fprintf(stderr, "vornhost: error: %s; see vornhost --help\n", message.c_str());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "vornhost: a command-line VST 2.4, LV2 and CLAP host (render, info, demo, edit, validate, bench, "
      "digest)",
      "vornhost"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("vornhost ") + VORN_VERSION);
  const auto positiveRate = CLI::Range(8000.0, 768000.0);
  const auto blockRange = CLI::Range(1, 65536);

  // A CLAP file may hold several plug-ins; the first unless one is named.
  ClapChoice clap;
  const char* const kPluginIdHelp = "CLAP: the id of the plug-in to use in the file (default: its first)";

  InfoOptions info;
  auto* infoCmd =
      app.add_subcommand("info", "Show a plug-in's identity, flags, I/O, parameters and chunk size");
  infoCmd->add_option("plugin", info.plugin,
                      "Plug-in binary, or an LV2 plug-in's URI or bundle folder (default: VornDelay2 next to "
                      "vornhost, in ../lib/vst or in the build)");
  infoCmd->add_flag("--json", info.json, "Print JSON for machines");
  infoCmd->add_option("--plugin-id", clap.pluginId, kPluginIdHelp);

#ifndef VORNHOST_NO_AUDIO_FILES
  RenderCommandOptions render;
  double renderTempo = 120.0;
  std::string renderTimeSig = "4/4";
  bool renderStopped = false, renderDouble = false, renderFloat = false;
  auto* renderCmd = app.add_subcommand("render", "Render an audio file through a plug-in");
  renderCmd
      ->add_option("input", render.input, "Input audio file (WAV, AIFF, FLAC, ...); - reads standard input")
      ->required();
  renderCmd
      ->add_option("output", render.output,
                   "Output file, in the format its extension names (else the input's) at the input's rate; - "
                   "writes standard output")
      ->required();
  renderCmd->add_option("--type,-t", render.type,
                        "Output file type, as an extension (wav, flac, aiff, ogg, ...); for - and FIFOs");
  renderCmd->add_option("plugin", render.plugin,
                        "Plug-in binary, or an LV2 plug-in's URI or bundle folder (default: VornDelay2)");
  renderCmd->add_option(
      "--param,-p", render.params,
      "NAME=VALUE in the plug-in's terms (\"Feedback [%]=40\") or INDEX=NORMALISED (3=0.4); repeatable");
  renderCmd->add_option("--tempo", renderTempo, "Host tempo in BPM (default 120)")
      ->check(CLI::Range(1.0, 999.0));
  renderCmd->add_option("--time-sig", renderTimeSig, "Host time signature N/D (default 4/4)")
      ->check(CLI::Validator(CheckTimeSignature, "N/D"));
  renderCmd->add_flag("--stopped", renderStopped, "Report the transport as stopped (default: playing)");
  renderCmd
      ->add_option("--sample-rate", render.sampleRate,
                   "Rate told to the plug-in (default: the file's; the file keeps its own)")
      ->check(positiveRate);
  renderCmd->add_option("--block", render.blockSize, "Block size in frames (default 512)")->check(blockRange);
  auto* dbl = renderCmd->add_flag("--double", renderDouble, "Process in double precision");
  renderCmd->add_flag("--float", renderFloat, "Process in single precision (default)")->excludes(dbl);
  renderCmd
      ->add_option("--tail", render.tailSeconds,
                   "Seconds rendered after the input (default: until the echoes have died away)")
      ->check(CLI::Range(0.0, 600.0));
  renderCmd->add_option("--state", render.loadState, "Restore the plug-in from a state file first");
  renderCmd->add_option("--save-state", render.saveState, "Save the plug-in's state after rendering");
  renderCmd->add_option(
      "--preset", render.preset,
      "Apply a preset first: a program file (.fxp, .fxb) or the name of one of the "
      "plug-in's presets (VST: from <plug-in>-presets/ beside it; LV2: its presets' labels)");

  renderCmd->add_option("--plugin-id", clap.pluginId, kPluginIdHelp);
  renderCmd->add_option(
      "--automate", clap.automation,
      "CLAP: NAME=TIME:VALUE,TIME:VALUE... timed changes, TIME in seconds or NNNf frames, each "
      "landing on its frame; repeatable");

  DemoOptions demo;
  auto* demoCmd =
      app.add_subcommand("demo", "Render a synthesized phrase through Vorn Delay 2 and summarise it");
  demoCmd->add_option("output", demo.output, "Output WAV file (default demo.wav)");
  demoCmd->add_option("--plugin", demo.plugin, "Plug-in binary (default: VornDelay2)");
  demoCmd->add_option("--tempo", demo.tempo, "Tempo in BPM (default 120)")->check(CLI::Range(40.0, 300.0));
  demoCmd->add_option("--sample-rate", demo.sampleRate, "Sample rate (default 44100)")->check(positiveRate);
#endif

  ValidateOptions validate;
  auto* validateCmd = app.add_subcommand("validate", "Check a plug-in's conformance and robustness");
  validateCmd->add_option(
      "plugin", validate.plugin,
      "Plug-in binary, or an LV2 plug-in's URI or bundle folder (fewer checks; default: VornDelay2)");
  validateCmd
      ->add_option("--strictness", validate.strictness,
                   "1..10: more repetitions; 7 and up also feed NaN and infinities (default 5)")
      ->check(CLI::Range(1, 10));
  validateCmd->add_option("--seed", validate.seed, "Seed of the random automation (default 1)");
  validateCmd->add_option("--plugin-id", clap.pluginId, kPluginIdHelp);

  BenchOptions bench;
  auto* benchCmd = app.add_subcommand("bench", "Measure a plug-in's processing cost");
  benchCmd->add_option("plugin", bench.plugin,
                       "Plug-in binary, or an LV2 plug-in's URI or bundle folder (default: VornDelay2)");
  benchCmd->add_option("--seconds", bench.seconds, "Seconds of audio per precision (default 10)")
      ->check(CLI::Range(0.1, 3600.0));
  benchCmd->add_option("--sample-rate", bench.sampleRate, "Sample rate (default 44100)")->check(positiveRate);
  benchCmd->add_option("--block", bench.blockSize, "Block size in frames (default 512)")->check(blockRange);

  DigestOptions digest;
  auto* digestCmd = app.add_subcommand(
      "digest", "Render fixed inputs and settings in both precisions and print a digest of each output");
  digestCmd->add_option("plugin", digest.plugin, "Plug-in binary or .clap file (default: VornDelay2)");
  digestCmd->add_option("--plugin-id", clap.pluginId, kPluginIdHelp);

  EditOptions edit;
  auto* editCmd = app.add_subcommand("edit", "Show a plug-in's editor in a window, with audio running");
  editCmd->add_option("plugin", edit.plugin, "Plug-in binary or .clap file (default: VornDelay2)");
  editCmd->add_option("--plugin-id", clap.pluginId, kPluginIdHelp);
  editCmd->add_option("--screenshot", edit.screenshot,
                      "Write the window's content to this PNG file after --after ms, then exit");
  editCmd
      ->add_option(
          "--after", edit.afterMs,
          "Milliseconds until the screenshot (default 1000) or, without one, until the window closes")
      ->check(CLI::Range(0, 86400000));
  editCmd->add_option("--tempo", edit.tempo, "Host tempo in BPM (default 120)")
      ->check(CLI::Range(1.0, 999.0));
  editCmd->add_option("--sample-rate", edit.sampleRate, "Sample rate (default 44100)")->check(positiveRate);
  editCmd->add_flag("--print-params", edit.printParams,
                    "Print every parameter's display when the editor closes");
  editCmd->add_flag("--print-edits", edit.printEdits,
                    "Print the edits the plug-in reports (begin, value, end) as they come");
  editCmd->add_flag("--input-noise", edit.inputNoise, "Feed quiet noise (-20 dBFS peak) instead of silence");
  editCmd->add_option("--scale", edit.scale,
                      "Editor scale factor, 1 to 3 (our plug-ins read it; the window takes the size the "
                      "editor then reports)");

  if (argc > 1 && argv[1][0] != '-') {
    bool known = false;
    for (const CLI::App* sub : app.get_subcommands({})) known = known || sub->check_name(argv[1]);
    if (!known) return UsageError(std::string("unknown subcommand '") + argv[1] + "'", app);
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help and --version are answers, not mistakes.
    if (e.get_exit_code() == 0) return app.exit(e);
    return UsageError(e.what(), app);
  }

  try {
    // A CLAP plug-in is named by its .clap file.
    if (*infoCmd && IsClapReference(info.plugin)) return RunClapInfo(info, clap);
    if (*validateCmd && IsClapReference(validate.plugin)) return RunClapValidate(validate, clap);
    if (*digestCmd && IsClapReference(digest.plugin)) return RunClapDigest(digest, clap);
    if (*editCmd && IsClapReference(edit.plugin)) return RunClapEdit(edit, clap);
#ifdef VORNHOST_LV2
    // An LV2 plug-in is named by URI or bundle folder.
    if (*infoCmd && IsLv2Reference(info.plugin)) return RunLv2Info(info);
    if (*benchCmd && IsLv2Reference(bench.plugin)) return RunLv2Bench(bench);
    if (*validateCmd && IsLv2Reference(validate.plugin)) return RunLv2Validate(validate);
    if (*digestCmd && IsLv2Reference(digest.plugin)) return RunLv2Digest(digest);
#endif
    if (*infoCmd) return RunInfo(info);
#ifndef VORNHOST_NO_AUDIO_FILES
    if (*renderCmd) {
      render.precision = renderDouble ? Precision::Double : Precision::Float;
      render.transport = ParseTransport(renderTempo, renderTimeSig, renderStopped);
      if (IsClapReference(render.plugin)) return RunClapRender(render, clap);
#ifdef VORNHOST_LV2
      if (IsLv2Reference(render.plugin)) return RunLv2Render(render);
#endif
      return RunRender(render);
    }
    if (*demoCmd) return RunDemo(demo);
#endif
    if (*editCmd) return RunEdit(edit);
    if (*validateCmd) return RunValidate(validate);
    if (*benchCmd) return RunBench(bench);
    if (*digestCmd) return RunDigest(digest);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vornhost: error: %s\n", e.what());
    return kExitError;
  }
  return 0;
}
