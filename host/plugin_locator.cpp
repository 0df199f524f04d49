#include "host/plugin_locator.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "host/host_error.h"
#include "host/plugin_module.h"

namespace vornhost {

std::string LocatePlugin(const std::string& path) {
  if (!path.empty()) return path;
  namespace fs = std::filesystem;
  std::vector<fs::path> places;
  const std::string dir = ExecutableDirectory();
  if (!dir.empty()) {
    places.push_back(fs::path(dir));
    // Installed: vornhost in <prefix>/bin, the plug-in in <prefix>/lib/vst.
    places.push_back(fs::path(dir).parent_path() / "lib" / "vst");
  }
#ifndef _WIN32
  // A user's own install (cmake --install without a prefix).
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') places.push_back(fs::path(home) / ".vst");
#endif
  std::error_code ec;
  for (const fs::path& place : places) {
    const fs::path candidate = place / DefaultPluginFileName();
    if (fs::is_regular_file(candidate, ec)) return candidate.string();
  }
  throw HostError(
      std::string("no plug-in given and ") + DefaultPluginFileName() +
      " was not found next to vornhost, in ../lib/vst or in ~/.vst; please give the plug-in's path");
}

}  // namespace vornhost
