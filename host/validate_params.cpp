// Parameter sweeps and random automation while processing.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/param_assign.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

// A set value must come back: setting what the plug-in reports must not
// move it again (values may be snapped to steps on the first set).
constexpr float kValueTolerance = 1e-4f;

bool Normalised(float v) {
  return std::isfinite(v) && v >= 0.0f && v <= 1.0f;
}

bool Printable(const std::string& s) {
  for (unsigned char ch : s)
    if (ch < 0x20) return false;
  return true;
}

// The same value must display the same; a number may wobble in its last
// printed digit when the value went through a float twice ("31.599998").
bool SameDisplay(const std::string& a, const std::string& b) {
  if (a == b) return true;
  double x = 0.0, y = 0.0;
  int dx = 0, dy = 0;
  if (!ParseDisplayNumber(a, x, dx) || !ParseDisplayNumber(b, y, dy)) return false;
  return std::fabs(x - y) <= 1e-4 * std::max(1.0, std::fabs(x));
}

}  // namespace

CheckResult CheckParameterSweep(Context& c) {
  auto p = c.Make();
  const int params = p->numParams();
  if (params == 0) return Skip("no parameters");
  const int steps = 10 * c.strictness;
  for (int i = 0; i < params; ++i) {
    std::string name = p->ParamName(i);
    if (name.empty()) return Fail(Format("parameter %d has no name", i));
    if (!Printable(name)) return Fail(Format("parameter %d's name has control characters", i));
    float initial = p->GetParam(i);
    if (!Normalised(initial))
      return Fail(Format("parameter %d \"%s\" starts at %g, outside 0..1", i, name.c_str(), initial));
    for (int s = 0; s <= steps; ++s) {
      float x = static_cast<float>(s) / static_cast<float>(steps);
      p->SetParam(i, x);
      float y = p->GetParam(i);
      if (!Normalised(y))
        return Fail(
            Format("parameter %d \"%s\" set to %g reads back %g, outside 0..1", i, name.c_str(), x, y));
      std::string shown = p->ParamDisplay(i);
      if (!Printable(shown)) return Fail(Format("parameter %d's display has control characters", i));
      p->SetParam(i, y);
      float z = p->GetParam(i);
      if (std::fabs(z - y) > kValueTolerance)
        return Fail(Format("parameter %d \"%s\": value %g set again reads back %g", i, name.c_str(), y, z));
      if (!SameDisplay(p->ParamDisplay(i), shown))
        return Fail(Format("parameter %d \"%s\": the same value displays \"%s\" then \"%s\"", i, name.c_str(),
                           shown.c_str(), p->ParamDisplay(i).c_str()));
    }
    p->SetParam(i, initial);
    if (std::fabs(p->GetParam(i) - initial) > kValueTolerance)
      return Fail(
          Format("parameter %d \"%s\" does not return to its initial value %g", i, name.c_str(), initial));
  }
  return Pass(Format("%d parameters, %d values each", params, steps + 1));
}

CheckResult CheckAutomation(Context& c) {
  auto p = c.Make();
  const int params = p->numParams();
  if (params == 0) return Skip("no parameters");
  Runner runner(*p, 512, Precision::Float);
  SignalSource noise(SignalKind::Noise);
  std::vector<float> expected(static_cast<std::size_t>(params), -1.0f);
  std::uniform_int_distribution<int> pick(0, params - 1);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  std::string problem;
  // Host automation arrives on the audio thread between blocks.
  std::function<void(std::size_t)> automate = [&](std::size_t) {
    for (int k = 0; k < 3; ++k) {
      int i = pick(c.random);
      p->SetParam(i, value(c.random));
      float y = p->GetParam(i);
      if (!Normalised(y) && problem.empty())
        problem = Format("parameter %d reads back %g while automated", i, y);
      expected[static_cast<std::size_t>(i)] = y;
    }
  };
  const auto frames = static_cast<std::size_t>(44100.0 * 0.5 * c.strictness);
  Runner::Stats stats = runner.Run(noise, frames, 512, nullptr, &automate, &c.random);
  if (!problem.empty()) return Fail(problem);
  if (!stats.finite) return Fail(Format("non-finite output at frame %zu", stats.firstNonFinite));
  for (int i = 0; i < params; ++i) {
    float want = expected[static_cast<std::size_t>(i)];
    if (want >= 0.0f && std::fabs(p->GetParam(i) - want) > kValueTolerance)
      return Fail(Format("parameter %d moved from %g to %g by itself", i, want, p->GetParam(i)));
  }
  return Pass(Format("%.1f s of noise with random automation, variable blocks", frames / 44100.0));
}

}  // namespace vornhost::validate
