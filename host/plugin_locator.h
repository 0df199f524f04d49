// Where vornhost finds a plug-in when none is named on the command line.
#pragma once

#include <string>

namespace vornhost {

// path when given; else VornDelay2 next to the executable, else the
// installed one in ../lib/vst, else the user's own in ~/.vst. Never a build
// folder: an installed vornhost is the same file as the one it was built
// as. Throws HostError asking for a path when there is none.
std::string LocatePlugin(const std::string& path);

}  // namespace vornhost
