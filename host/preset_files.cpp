#include "host/preset_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "host/host_error.h"

namespace vornhost {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool HasExtension(const fs::path& path, const char* extension) {
  return Lower(path.extension().string()) == extension;
}

// The 28-byte program name of a program file, or "" when it is none.
std::string ProgramName(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char header[56] = {};
  if (!in.read(header, sizeof header)) return {};
  if (std::string(header, 4) != "CcnK") return {};
  const std::string kind(header + 8, 4);
  if (kind != "FPCh" && kind != "FxCk") return {};
  const char* name = header + 28;
  return std::string(name, std::find(name, name + 28, '\0'));
}

}  // namespace

std::string PresetFolder(const std::string& pluginPath) {
  const fs::path plugin(pluginPath);
  return (plugin.parent_path() / (plugin.stem().string() + "-presets")).string();
}

std::vector<PresetFile> ListPresetFiles(const std::string& pluginPath) {
  std::vector<PresetFile> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(PresetFolder(pluginPath), ec)) {
    const fs::path& path = entry.path();
    if (!entry.is_regular_file(ec)) continue;
    if (HasExtension(path, ".fxp")) {
      std::string name = ProgramName(path);
      files.push_back({name.empty() ? path.stem().string() : name, path.string()});
    } else if (HasExtension(path, ".fxb")) {
      files.push_back({path.stem().string(), path.string()});
    }
  }
  std::sort(files.begin(), files.end(),
            [](const PresetFile& a, const PresetFile& b) { return a.path < b.path; });
  return files;
}

std::string ResolvePreset(const std::string& preset, const std::string& pluginPath) {
  std::error_code ec;
  const fs::path asPath(preset);
  if (fs::is_regular_file(asPath, ec) || HasExtension(asPath, ".fxp") || HasExtension(asPath, ".fxb"))
    return preset;  // a missing file is reported by the loader, with its path
  const std::vector<PresetFile> files = ListPresetFiles(pluginPath);
  const std::string wanted = Lower(preset);
  for (const PresetFile& file : files) {
    if (Lower(file.name) == wanted || Lower(fs::path(file.path).stem().string()) == wanted) return file.path;
  }
  if (files.empty())
    throw HostError("no preset '" + preset + "': there are no preset files in '" + PresetFolder(pluginPath) +
                    "'");
  std::string names;
  for (const PresetFile& file : files) names += (names.empty() ? "" : ", ") + file.name;
  throw HostError("no preset '" + preset + "' in '" + PresetFolder(pluginPath) + "'; there are: " + names);
}

}  // namespace vornhost
