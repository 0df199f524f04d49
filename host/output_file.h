// Output files are written under a temporary name and moved into place only
// when complete, so a failed write never leaves a partial file behind.
#pragma once

#include <string>

namespace vornhost {

// Moves the finished `temporary` file to `path`, replacing what is there.
// On failure the temporary file is removed and the reason is answered;
// the answer is empty on success.
std::string MoveIntoPlace(const std::string& temporary, const std::string& path);

}  // namespace vornhost
