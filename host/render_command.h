// `vornhost render IN OUT [PLUGIN]`: a file through a plug-in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_file.h"
#include "host/block_processor.h"
#include "host/host_callback.h"
#include "host/output_file.h"
#include "host/render_pipeline.h"

namespace vornhost {

struct RenderCommandOptions {
  std::string input, output, plugin;  // "-": standard input or output
  std::string type;                   // the output's file type; empty: from its extension
  std::vector<std::string> params;    // NAME_OR_INDEX=VALUE
  Transport transport;
  double sampleRate = 0.0;  // 0: the file's rate
  int blockSize = 512;
  Precision precision = Precision::Float;
  double tailSeconds = -1.0;  // negative: automatic
  std::string loadState, saveState;
  std::string preset;  // a preset's name or file, applied after loadState
};

int RunRender(const RenderCommandOptions& options);

// The files of one render, opened and checked before any plug-in loads, so
// a wrong path fails at once.
struct RenderFiles {
  explicit RenderFiles(const RenderCommandOptions& options);
  AudioReader input;
  OutputFile output;
  std::unique_ptr<OutputFile> state;  // for --save-state
  std::string outputPath, type;
};

// Streams the input through engine into the output. finish() runs after
// the last block (saving state, stopping the plug-in), then the output is
// committed and a summary printed (on stderr when the audio goes to
// standard output). kind is added to the summary ("" or " (LV2)").
void RenderToOutput(RenderFiles& files, BlockEngine& engine, const RenderOptions& render,
                    const std::function<void()>& finish, const char* kind);

}  // namespace vornhost
