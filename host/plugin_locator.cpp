#include "host/plugin_locator.h"

#include <filesystem>

#include "host/host_error.h"
#include "host/plugin_module.h"

namespace vornhost {

std::string LocatePlugin(const std::string& path) {
  if (!path.empty()) return path;
  std::error_code ec;
  std::string dir = ExecutableDirectory();
  if (!dir.empty()) {
    std::filesystem::path beside = std::filesystem::path(dir) / DefaultPluginFileName();
    if (std::filesystem::exists(beside, ec)) return beside.string();
    // Installed: vornhost in <prefix>/bin, the plug-in in <prefix>/lib/vst.
    std::filesystem::path installed =
        std::filesystem::path(dir).parent_path() / "lib" / "vst" / DefaultPluginFileName();
    if (std::filesystem::exists(installed, ec)) return installed.string();
  }
#ifdef VORN_DEFAULT_PLUGIN
  if (std::filesystem::exists(VORN_DEFAULT_PLUGIN, ec)) return VORN_DEFAULT_PLUGIN;
#endif
  throw HostError(
      std::string("no plug-in given and ") + DefaultPluginFileName() +
      " was not found next to vornhost, in ../lib/vst or in its build tree; please give the plug-in's path");
}

}  // namespace vornhost
