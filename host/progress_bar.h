// A one-line progress bar on stderr, shown only on a terminal and only once
// a job has run for more than a second.
#pragma once

#include <chrono>
#include <string>

namespace vornhost {

class ProgressBar {
 public:
  ProgressBar(std::string label, bool enabled);
  ~ProgressBar();

  // fraction in 0..1; cheap when nothing needs drawing.
  void Update(double fraction);
  // For a job of unknown length (a pipe): how far it has come.
  void UpdateSeconds(double seconds);
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  std::string label_;
  bool enabled_;
  bool drawn_ = false;
  bool counting_ = false;  // shows seconds, not a bar
  double seconds_ = 0.0;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

}  // namespace vornhost
