// Plug-in loading and process services on Windows.
#include "host/plugin_module.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "host/host_error.h"

namespace vornhost {
namespace {

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path) {
  if (_access(path.c_str(), 4) != 0) throw HostError("cannot read plug-in '" + path + "'");
  // A full path lets the plug-in's own folder be searched for what it needs.
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  const std::string resolved = length > 0 && length < sizeof full ? std::string(full, length) : path;
  // No "cannot load" message boxes: failures are reported on stderr.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE handle = LoadLibraryExA(resolved.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const std::string why = handle == nullptr ? LastErrorText() : std::string();
  SetErrorMode(oldMode);
  if (handle == nullptr) throw HostError("'" + path + "' is not a loadable plug-in library (" + why + ")");
  FARPROC symbol = nullptr;
  for (const char* name : {"VSTPluginMain", "main", "MAIN"}) {
    symbol = GetProcAddress(handle, name);
    if (symbol != nullptr) break;
  }
  if (symbol == nullptr) {
    FreeLibrary(handle);
    throw HostError("'" + path + "' is not a VST 2.4 plug-in: no VSTPluginMain, main or MAIN entry point");
  }
  auto entry = reinterpret_cast<PluginEntry>(reinterpret_cast<void*>(symbol));
  return std::unique_ptr<PluginModule>(new PluginModule(handle, entry, path));
}

PluginModule::PluginModule(void* handle, PluginEntry entry, std::string path)
    : handle_(handle), entry_(entry), path_(std::move(path)) {}

PluginModule::~PluginModule() {
  // The library stays loaded until the process ends, as in most hosts.
  (void)handle_;
}

std::string ExecutableDirectory() {
  char buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  std::string path(buffer, n);
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string{} : path.substr(0, separator);
}

const char* DefaultPluginFileName() {
  return "VornDelay2.dll";
}

bool StderrIsTerminal() {
  return _isatty(_fileno(stderr)) != 0;
}

// Windows has no fork: the job runs in this process, so a crash of the
// plug-in ends vornhost and a hang is not cut short.
IsolatedResult RunIsolated(const std::function<std::string()>& job, int /*timeoutSeconds*/) {
  IsolatedResult result;
  result.output = job();
  result.completed = true;
  return result;
}

}  // namespace vornhost
