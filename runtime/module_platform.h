// What the module services need from the operating system. Each platform
// implements these in its own folder under runtime/platform/.
#pragma once

#include <cstddef>
#include <string>

namespace morvox::platform {

std::string ModuleFileName();  // the plug-in module's own file, at most 260 characters
std::string LogFilePath();     // where WriteLog appends
void Beep(int frequencyHz, int durationMs);
// The path with both separators turned into the platform's own.
std::string NativePath(const std::string& path);
// `bytes` of zero-filled memory straight from the system: its pages cost
// nothing until first written. Null when the system has none to give.
void* AllocateZeroPages(std::size_t bytes);
void FreeZeroPages(void* pages, std::size_t bytes);

}  // namespace morvox::platform
