// Builds without cairo write no pictures.
#include "host/png_writer.h"
#include "host/host_error.h"

namespace vornhost {

void WritePng(const std::string& path, const WindowImage&) {
  throw HostError("cannot write " + path + ": this vornhost was built without PNG support");
}

}  // namespace vornhost
