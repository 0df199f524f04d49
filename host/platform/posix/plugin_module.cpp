// Plug-in loading and process services on Linux and other POSIX systems.
#include "host/plugin_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "host/host_error.h"

namespace vornhost {

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path) {
  if (access(path.c_str(), R_OK) != 0) throw HostError("cannot read plug-in '" + path + "'");
  // RTLD_LOCAL keeps one plug-in's symbols from resolving another's.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    throw HostError("'" + path + "' is not a loadable plug-in library (" + (why ? why : "unknown reason") +
                    ")");
  }
  void* symbol = nullptr;
  for (const char* name : {"VSTPluginMain", "main", "MAIN"}) {
    symbol = dlsym(handle, name);
    if (symbol != nullptr) break;
  }
  if (symbol == nullptr) {
    dlclose(handle);
    throw HostError("'" + path + "' is not a VST 2.4 plug-in: no VSTPluginMain, main or MAIN entry point");
  }
  auto entry = reinterpret_cast<PluginEntry>(symbol);
  return std::unique_ptr<PluginModule>(new PluginModule(handle, entry, path));
}

PluginModule::PluginModule(void* handle, PluginEntry entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() {
  if (handle_ != nullptr) dlclose(handle_);
}

std::string ExecutableDirectory() {
  char buffer[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

const char* DefaultPluginFileName() {
  return "VornDelay2.so";
}

bool StderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace vornhost
