// Module services on Linux and other POSIX systems.
#include "runtime/module_platform.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace morvox::platform {

std::string ModuleFileName() {
  // The shared object that contains this very function, not the host program.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) return {};
  std::string path = info.dli_fname;
  if (path.size() > 260) path.resize(260);
  return path;
}

// The log goes to the temporary folder: the file-system root is not a place
// a plug-in may write on these systems.
std::string LogFilePath() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/trell.log.txt";
}

// No system beeper to drive; the terminal bell is the nearest equivalent.
void Beep(int, int) {
  std::fputc('\a', stderr);
}

std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace morvox::platform
