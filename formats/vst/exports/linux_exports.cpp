// The symbols a Linux host looks for. `main` cannot be declared by that
// name in C++, so it is an assembler-level alias of VSTPluginMain.
#include "formats/vst/entry_point.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  return CreatePluginInstance(audioMaster);
}

extern "C" __attribute__((visibility("default"))) AEffect* MAIN(audioMasterCallback audioMaster) {
  return CreatePluginInstance(audioMaster);
}

extern "C" AEffect* VSTPluginMainAsMain(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain"), visibility("default")));
