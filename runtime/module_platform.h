// What the module services need from the operating system. Each platform
// implements these in its own folder under runtime/platform/.
#pragma once

#include <string>

namespace morvox::platform {

std::string ModuleFileName();  // the plug-in module's own file, at most 260 characters
std::string LogFilePath();     // where WriteLog appends
void Beep(int frequencyHz, int durationMs);
// The path with both separators turned into the platform's own.
std::string NativePath(const std::string& path);

}  // namespace morvox::platform
