// The one error type of vornhost: a message for the user, printed as one
// line on stderr, with a non-zero exit.
#pragma once

#include <stdexcept>
#include <string>

namespace vornhost {

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vornhost
