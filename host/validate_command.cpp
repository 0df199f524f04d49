#include "host/validate_command.h"

#include <cstdio>

namespace vornhost {

int RunValidate(const ValidateOptions&) {
  std::fprintf(stderr, "vornhost: validate is not available yet\n");
  return 2;
}

}  // namespace vornhost
