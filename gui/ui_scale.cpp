#include "gui/ui_scale.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "gui/platform/backend.h"

namespace VSTGUI {

double ClampScale(double scale) {
  if (!std::isfinite(scale) || !(scale > 0)) return 1;
  if (scale < kMinScale) return kMinScale;
  if (scale > kMaxScale) return kMaxScale;
  return scale;
}

double ParseScaleNumber(const char* text) {
  if (text == nullptr) return 0;
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  if (*text == '\0') return 0;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text) return 0;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end != '\0' || !std::isfinite(value) || !(value > 0)) return 0;
  return value;
}

double ScaleFromDpi(double dpi) {
  if (!std::isfinite(dpi) || !(dpi > 0)) return 0;
  return dpi / 96.0;
}

int32_t ScaledLength(int32_t units, double scale) {
  if (scale == 1 || units <= 0) return units;
  // A hair below the exact product, so 480 × 1.25 is 600, not 601.
  return static_cast<int32_t>(std::ceil(units * ClampScale(scale) - 1e-6));
}

double EditorScale(void* parent, double hostScale) {
  if (std::isfinite(hostScale) && hostScale > 0) return ClampScale(hostScale);
  const double fromEnvironment = ParseScaleNumber(std::getenv(kScaleVariable));
  if (fromEnvironment > 0) return ClampScale(fromEnvironment);
  return ClampScale(platform::activeBackend().desktopScale(parent));
}

}  // namespace VSTGUI
