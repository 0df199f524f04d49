// Where vornhost finds a plug-in when none is named on the command line.
#pragma once

#include <string>

namespace vornhost {

// path when given; else VornDelay2 next to the executable, else the one of
// the build tree vornhost was built in. Throws HostError asking for a path
// when there is none.
std::string LocatePlugin(const std::string& path);

}  // namespace vornhost
