// State files: the standard VST program file layout (".fxp"), big-endian.
// A plug-in with programs as chunks is stored as an opaque chunk ("FPCh"),
// any other as its list of normalised parameter values ("FxCk"). The header
// carries the plug-in's unique ID, so a file of another plug-in is refused.
// A chunk bank (".fxb", "FBCh") is read too: its chunk goes to the plug-in
// as a bank.
#pragma once

#include <string>
#include <vector>

#include "host/plugin_instance.h"

namespace vornhost {

// The file image of the plug-in's current program.
std::vector<char> EncodeState(PluginInstance& plugin);

// Restores an image made by EncodeState (or a chunk bank). Throws HostError with the reason
// when it is no program file or belongs to another plug-in.
void DecodeState(PluginInstance& plugin, const std::vector<char>& image, const std::string& source);

class OutputFile;

// [dispatcher] File versions. The output is claimed before the work starts
// (see OutputFile) and committed here.
void SaveStateFile(PluginInstance& plugin, OutputFile& output);
void LoadStateFile(PluginInstance& plugin, const std::string& path);

}  // namespace vornhost
