#include "gui/ui_scale.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

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

namespace {

std::atomic<double> gLastWindowScale{0};

bool IsScale(double scale) {
  return std::isfinite(scale) && scale > 0;
}

}  // namespace

double EditorScale(void* parent, double hostScale) {
  if (IsScale(hostScale)) return ClampScale(hostScale);
  const double fromEnvironment = ParseScaleNumber(std::getenv(kScaleVariable));
  if (fromEnvironment > 0) return ClampScale(fromEnvironment);
  const double fromSystem = platform::activeBackend().desktopScale(parent);
  if (IsScale(fromSystem)) return ClampScale(fromSystem);
  return ClampScale(LastWindowScale());
}

bool ScaleIsGiven(double hostScale) {
  return IsScale(hostScale) || ParseScaleNumber(std::getenv(kScaleVariable)) > 0;
}

void RememberWindowScale(double scale) {
  gLastWindowScale.store(IsScale(scale) ? scale : 0, std::memory_order_relaxed);
}

double LastWindowScale() {
  return gLastWindowScale.load(std::memory_order_relaxed);
}

double XftDpiFromResources(const char* text) {
  if (text == nullptr) return 0;
  double tight = 0, loose = 0;
  bool tightSeen = false, looseSeen = false;
  while (*text != '\0') {
    const char* end = std::strchr(text, '\n');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - text) : std::strlen(text);
    const std::string line(text, length);
    text += length + (end != nullptr ? 1 : 0);
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    const std::size_t first = name.find_first_not_of(" \t");
    name = first == std::string::npos ? std::string() : name.substr(first);
    const double value = ParseScaleNumber(line.c_str() + colon + 1);
    if (name == "Xft.dpi") {
      tight = value;
      tightSeen = true;
    } else if (name == "Xft*dpi" || name == "*dpi" || name == "*.dpi") {
      loose = value;
      looseSeen = true;
    }
  }
  if (tightSeen) return tight;
  return looseSeen ? loose : 0;
}

}  // namespace VSTGUI
