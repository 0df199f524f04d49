// The plug-in DLL's own module handle, recorded by its load routine
// (DllMain in formats/vst/exports/windows_exports.cpp). Programs that link the
// code statically never record one; the module services then describe the
// program itself.
#pragma once

namespace morvox::platform {

void RecordModuleHandle(void* module) noexcept;

}  // namespace morvox::platform
