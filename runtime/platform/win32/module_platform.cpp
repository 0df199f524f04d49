// Module services on Windows.
#include "runtime/module_platform.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "runtime/platform/win32/module_handle.h"

namespace morvox::platform {
namespace {
HMODULE gModule = nullptr;
}  // namespace

void RecordModuleHandle(void* module) noexcept {
  gModule = static_cast<HMODULE>(module);
}

std::string ModuleFileName() {
  char buffer[MAX_PATH + 1] = {};
  // A null handle names the program's own file, the right answer when the
  // code is linked into a program instead of the DLL.
  const DWORD length = GetModuleFileNameA(gModule, buffer, MAX_PATH);
  if (length == 0) return {};
  std::string path(buffer, length);
  if (path.size() > MAX_PATH) path.resize(MAX_PATH);
  return path;
}

// A root-relative name: the log lies in the root folder of the current drive.
std::string LogFilePath() {
  return "\\trell.log.txt";
}

void Beep(int frequencyHz, int durationMs) {
  ::Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs));
}

// Windows accepts both separators; the backslash is its own.
std::string NativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '/') c = '\\';
  }
  return native;
}

void* AllocateZeroPages(std::size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void FreeZeroPages(void* pages, std::size_t) {
  if (pages != nullptr) VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace morvox::platform
