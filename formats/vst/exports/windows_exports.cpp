// The symbols a Windows host looks for. windows_exports.def exports
// VSTPluginMain under its own name and as `main`; MAIN is a second name for
// it there too. The DLL's load routine records the module handle that the
// module services use for the plug-in's own path.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "formats/vst/entry_point.h"
#include "runtime/platform/win32/module_handle.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster) {
  return CreatePluginInstance(audioMaster);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) morvox::platform::RecordModuleHandle(instance);
  return TRUE;
}
