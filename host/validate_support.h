// What the validator's checks share: fresh instances, test signals and a
// processing loop that watches the output.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/block_processor.h"
#include "host/plugin_instance.h"

namespace vornhost::validate {

enum class Status { Pass, Fail, Skip };

struct CheckResult {
  Status status = Status::Pass;
  std::string detail;
};

inline CheckResult Pass(std::string detail = {}) {
  return {Status::Pass, std::move(detail)};
}
inline CheckResult Fail(std::string detail) {
  return {Status::Fail, std::move(detail)};
}
inline CheckResult Skip(std::string detail) {
  return {Status::Skip, std::move(detail)};
}

struct Context {
  std::shared_ptr<PluginModule> module;
  int strictness = 5;
  std::mt19937 random;

  // A new instance, set up and (unless told otherwise) resumed.
  std::unique_ptr<PluginInstance> Make(double sampleRate = 44100.0, int maxBlock = 512, bool resume = true);
};

enum class SignalKind { Silence, Noise, Denormal, NaN, Infinity };

// Fills test signals block by block without allocating.
class SignalSource {
 public:
  explicit SignalSource(SignalKind kind, std::uint32_t seed = 1) : kind_(kind), state_(seed | 1u) {}
  void set(SignalKind kind) { kind_ = kind; }
  // [audio] frames values; float tells which denormal to use.
  void Fill(double* out, int frames, bool forFloat);

 private:
  double Noise();
  SignalKind kind_;
  std::uint32_t state_;
};

// Runs an instance over a signal and watches the output.
class Runner {
 public:
  Runner(PluginInstance& plugin, int maxBlock, Precision precision, bool inPlace = false);

  struct Stats {
    bool finite = true;
    std::size_t firstNonFinite = 0;  // frame, valid when !finite
    double peak = 0.0;
  };

  // [audio] Processes frames in blocks of up to block (variable: random
  // sizes in 1..block). keep, when given, receives the output (sized here,
  // so pass null on the allocation check). beforeBlock runs before each block.
  Stats Run(SignalSource& source, std::size_t frames, int block,
            std::vector<std::vector<double>>* keep = nullptr,
            const std::function<void(std::size_t)>* beforeBlock = nullptr, std::mt19937* variable = nullptr);

  double position() const { return position_; }

 private:
  BlockProcessor processor_;
  int maxBlock_;
  std::vector<std::vector<double>> in_, out_;
  std::vector<double*> inPtr_, outPtr_;
  double position_ = 0.0;
};

// Largest absolute difference of two outputs (infinity when shapes differ).
double MaxDifference(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b);

// Checked as printf formats: GNU's (so mingw accepts %zu), or clang's own,
// which has no gnu_printf.
#if defined(__clang__)
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#endif

}  // namespace vornhost::validate
