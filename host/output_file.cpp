#include "host/output_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vornhost {

std::string MoveIntoPlace(const std::string& temporary, const std::string& path) {
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (!error) return {};
  std::remove(temporary.c_str());
  return error.message();
}

}  // namespace vornhost
