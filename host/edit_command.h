// `vornhost edit`: the plug-in's editor in a window of the host, live, with
// audio running through the plug-in; optionally a screenshot after a while.
#pragma once

#include <string>

namespace vornhost {

struct EditOptions {
  std::string plugin;
  std::string screenshot;  // PNG written after afterMs; empty for none
  int afterMs = -1;        // stop after this long; -1 runs until closed (1000 with a screenshot)
  double tempo = 120.0;    // BPM reported to the plug-in
  double sampleRate = 44100.0;
  bool printParams = false;  // every parameter's display once the editor is closed
  bool inputNoise = false;   // quiet noise into the plug-in instead of silence
  bool printEdits = false;   // the plug-in's begin / value / end edit calls, in order
  double scale = 0;          // editor scale asked of the plug-in; 0 leaves it to the plug-in
};

// Returns the exit status; throws HostError without a display, without an
// editor, or when the screenshot cannot be taken or written.
int RunEdit(const EditOptions& options);

}  // namespace vornhost
