// A plug-in binary loaded into the process, and the few other services that
// differ between operating systems. The implementation lives in one source
// file per platform (platform/<name>/plugin_module.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "vst/vst24.h"

namespace vornhost {

// The exported entry point of a VST 2.4 plug-in.
using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

class PluginModule {
 public:
  // Loads the library at path and finds its entry point (VSTPluginMain, then
  // main, then MAIN). Throws HostError with a one-line reason on failure.
  static std::unique_ptr<PluginModule> Load(const std::string& path);

  // A plug-in linked into this program, reached through its entry function
  // (the fuzz targets); `name` stands in for the path in messages.
  static std::unique_ptr<PluginModule> Linked(PluginEntry entry, std::string name) {
    return std::unique_ptr<PluginModule>(new PluginModule(nullptr, entry, std::move(name)));
  }

  ~PluginModule();  // keeps the library loaded until the process ends
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  PluginEntry entry() const { return entry_; }
  const std::string& path() const { return path_; }

 private:
  PluginModule(void* handle, PluginEntry entry, std::string path);
  void* handle_;
  PluginEntry entry_;
  std::string path_;
};

// Folder of the running vornhost executable (empty when unknown).
std::string ExecutableDirectory();

// File name of our plug-in on this platform ("VornDelay2.so").
const char* DefaultPluginFileName();

// Whether stderr is an interactive terminal (for the progress bar).
bool StderrIsTerminal();

// Runs job where a crash or a hang of the plug-in cannot take vornhost
// with it: in a child process where the system has them. completed is
// false when the job crashed or ran longer than timeoutSeconds; failure
// then says what happened.
struct IsolatedResult {
  bool completed = false;
  std::string output;   // the job's answer
  std::string failure;  // "crashed with signal 11 (Segmentation fault)"
};
IsolatedResult RunIsolated(const std::function<std::string()>& job, int timeoutSeconds);

}  // namespace vornhost
