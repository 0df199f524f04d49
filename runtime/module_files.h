// Paths relative to the plug-in module's own file, the data-file folder
// scan behind file-list sliders, and the debug log.
#pragma once

#include <string>

struct SliderInfo;

namespace morvox {

std::string ModulePath();    // full file name of the plug-in module (not the host)
std::string ModuleFolder();  // ModulePath up to and including its last separator
// ModuleFolder followed by `name` without one leading separator.
std::string ResolvePath(const std::string& name);
// Appends the names of the plain files in `folder` (resolved against the
// module's folder) to the slider's options; nothing when it cannot be opened.
void LoadFileList(const std::string& folder, SliderInfo& slider);
// Appends a line to the debug log and beeps; false when the log cannot be opened.
bool WriteLog(const std::string& text);

}  // namespace morvox
