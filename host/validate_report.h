// The validator's report, the same for every plug-in format: one line a
// check (its answer, name, detail and time) and the count at the end.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace vornhost {

class ValidateReport {
 public:
  // nameWidth: the column the check names are padded to.
  explicit ValidateReport(int nameWidth) : nameWidth_(nameWidth) {}

  // word: "PASS", "FAIL" or "SKIP"; start: when the check began.
  void Line(const std::string& word, const char* name, const std::string& detail,
            std::chrono::steady_clock::time_point start) {
    (word == "PASS" ? passed_ : word == "FAIL" ? failed_ : skipped_)++;
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s  %-*s %s (%.0f ms)\n", word.c_str(), nameWidth_, name, detail.c_str(), ms);
    std::fflush(stdout);
  }

  // Prints the count; the exit status: 0 only when nothing failed.
  int Finish() const {
    std::printf("%d checks: %d passed, %d failed, %d skipped\n", passed_ + failed_ + skipped_, passed_,
                failed_, skipped_);
    return failed_ == 0 ? 0 : 1;
  }

 private:
  int nameWidth_;
  int passed_ = 0, failed_ = 0, skipped_ = 0;
};

}  // namespace vornhost
