// A plug-in's preset files: "<plug-in name>-presets/" beside its binary
// holds one program file (.fxp) per preset and may hold banks (.fxb).
#pragma once

#include <string>
#include <vector>

namespace vornhost {

// The folder where the presets of the plug-in at `pluginPath` would be.
std::string PresetFolder(const std::string& pluginPath);

struct PresetFile {
  std::string name;  // the program name the file carries (the file's stem for a bank)
  std::string path;
};
// The .fxp and .fxb files of that folder, sorted by file name; empty when
// there is none.
std::vector<PresetFile> ListPresetFiles(const std::string& pluginPath);

// `preset` is a file (it names one that exists, or ends in .fxp or .fxb)
// or the name of a program in the plug-in's preset folder, without regard
// to case. Answers the file's path; throws HostError naming the presets
// there are when nothing matches.
std::string ResolvePreset(const std::string& preset, const std::string& pluginPath);

}  // namespace vornhost
