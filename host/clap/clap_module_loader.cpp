#include "host/clap/clap_module_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vornhost::clap_loader {

#ifdef _WIN32
void* Open(const std::string& path, std::string& why) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) why = "LoadLibrary failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* Symbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
#else
void* Open(const std::string& path, std::string& why) {
  // A bare file name would make dlopen search the library path instead.
  const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    why = error != nullptr ? error : "dlopen failed";
  }
  return handle;
}

void* Symbol(void* handle, const char* name) {
  return dlsym(handle, name);
}
#endif

}  // namespace vornhost::clap_loader
