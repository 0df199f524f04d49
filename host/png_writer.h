// Window images as PNG files.
#pragma once

#include <string>

#include "host/editor_window.h"

namespace vornhost {

// Writes image to path through a temporary file beside it, renamed on
// success, so path is either the whole picture or untouched. Throws
// HostError naming the file when it cannot be written.
void WritePng(const std::string& path, const WindowImage& image);

}  // namespace vornhost
