// Loading a shared library and finding a symbol in it, per system.
#pragma once

#include <string>

namespace vornhost::clap_loader {

// The library's handle, or null with the system's reason in why.
void* Open(const std::string& path, std::string& why);
void* Symbol(void* handle, const char* name);

}  // namespace vornhost::clap_loader
