// Module services on Linux and other POSIX systems.
#include "runtime/module_platform.h"

#include <dlfcn.h>
#include <sys/mman.h>

#include <cstdio>

namespace morvox::platform {

std::string ModuleFileName() {
  // The shared object that contains this very function, not the host program.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) return {};
  std::string path = info.dli_fname;
  if (path.size() > 260) path.resize(260);
  return path;
}

// The root folder, as on Windows; where it cannot be written (most systems
// for most users) WriteLog fails silently.
std::string LogFilePath() {
  return "/trell.log.txt";
}

// There is no system beeper to drive: the beep is the terminal bell on the
// host's standard error.
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

void* AllocateZeroPages(std::size_t bytes) {
  void* pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return pages == MAP_FAILED ? nullptr : pages;
}

void FreeZeroPages(void* pages, std::size_t bytes) {
  if (pages != nullptr) munmap(pages, bytes);
}

}  // namespace morvox::platform
