#include "runtime/script_value.h"

#include <cmath>

namespace morvox {

std::int32_t ToIndexSlow(double v) {
  if (std::isnan(v)) return 0;
  const double biased = v >= 0.0 ? v + 0.0001 : v - 0.0001;
  if (biased >= 2147483647.0) return INT32_MAX;
  if (biased <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(biased);
}

}  // namespace morvox
