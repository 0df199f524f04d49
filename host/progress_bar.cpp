#include "host/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace vornhost {

ProgressBar::ProgressBar(std::string label, bool enabled)
    : label_(std::move(label)), enabled_(enabled), start_(Clock::now()), lastDraw_(start_) {}

ProgressBar::~ProgressBar() {
  Finish();
}

void ProgressBar::Update(double fraction) {
  if (!enabled_) return;
  auto now = Clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  drawn_ = true;
  constexpr int kWidth = 40;
  fraction = std::clamp(fraction, 0.0, 1.0);
  int filled = static_cast<int>(fraction * kWidth + 0.5);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar, static_cast<int>(fraction * 100.0 + 0.5));
  std::fflush(stderr);
}

void ProgressBar::UpdateSeconds(double seconds) {
  if (!enabled_) return;
  counting_ = true;
  seconds_ = seconds;
  auto now = Clock::now();
  if (now - start_ < std::chrono::seconds(1)) return;
  if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  drawn_ = true;
  std::fprintf(stderr, "\r%s %.1f s", label_.c_str(), seconds);
  std::fflush(stderr);
}

void ProgressBar::Finish() {
  if (!drawn_) return;
  if (counting_) {
    std::fprintf(stderr, "\r%s %.1f s", label_.c_str(), seconds_);
  } else {
    drawn_ = false;
    Update(1.0);
  }
  drawn_ = false;
  std::fputc('\n', stderr);
}

}  // namespace vornhost
