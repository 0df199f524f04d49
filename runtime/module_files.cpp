#include "runtime/module_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "runtime/module_platform.h"
#include "runtime/slider_info.h"
#include "runtime/text_ops.h"

namespace morvox {

std::string ModulePath() {
  return platform::ModuleFileName();
}

std::string ModuleFolder() {
  return FolderPart(ModulePath());
}

std::string ResolvePath(const std::string& name) {
  return platform::NativePath(ModuleFolder() + DropLeadingSeparator(name));
}

void LoadFileList(const std::string& folder, SliderInfo& slider) {
  const std::string resolved = ResolvePath(folder);
  std::error_code error;
  std::filesystem::directory_iterator entries(resolved, error);
  if (error) return;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    // The folder text carries its own trailing separator; none is inserted.
    std::error_code statError;
    const auto status = std::filesystem::status(resolved + name, statError);
    if (statError || !std::filesystem::exists(status) || std::filesystem::is_directory(status)) continue;
    slider.options.push_back(name);
  }
}

bool WriteLog(const std::string& text) {
  std::FILE* log = std::fopen(platform::LogFilePath().c_str(), "a");
  if (log == nullptr) return false;
  std::fprintf(log, "%s\n", text.c_str());
  std::fclose(log);
  platform::Beep(2000, 200);
  return true;
}

}  // namespace morvox
