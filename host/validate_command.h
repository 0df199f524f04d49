// `vornhost validate`: a conformance and robustness suite for any VST 2.4
// plug-in. Every check prints PASS, FAIL or SKIP with its reason.
#pragma once

#include <string>

namespace vornhost {

struct ValidateOptions {
  std::string plugin;
  int strictness = 5;
  unsigned seed = 1;
};

// 0 when every check passed, 1 otherwise.
int RunValidate(const ValidateOptions& options);

}  // namespace vornhost
