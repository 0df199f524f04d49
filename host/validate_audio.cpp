// Processing: test signals, block sizes, sample rates, in-place buffers,
// both precisions.
#include <cmath>

#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

CheckResult FiniteOn(Context& c, SignalKind kind, double seconds, const char* what) {
  auto p = c.Make();
  SignalSource source(kind);
  Runner runner(*p, 512, Precision::Float);
  auto frames = static_cast<std::size_t>(44100.0 * seconds);
  Runner::Stats stats = runner.Run(source, frames, 512);
  if (!stats.finite) return Fail(Format("non-finite output at frame %zu of %s", stats.firstNonFinite, what));
  if (p->CanDouble()) {
    auto q = c.Make();
    SignalSource again(kind);
    Runner doubles(*q, 512, Precision::Double);
    Runner::Stats d = doubles.Run(again, frames, 512);
    if (!d.finite) return Fail(Format("non-finite double output at frame %zu of %s", d.firstNonFinite, what));
  }
  return Pass(Format("%.1f s of %s, output peak %.3g", seconds, what, stats.peak));
}

}  // namespace

CheckResult CheckSilence(Context& c) {
  return FiniteOn(c, SignalKind::Silence, 2.0, "silence");
}
CheckResult CheckNoise(Context& c) {
  return FiniteOn(c, SignalKind::Noise, 2.0, "noise");
}
CheckResult CheckDenormals(Context& c) {
  return FiniteOn(c, SignalKind::Denormal, 2.0, "denormal numbers");
}

CheckResult CheckNonFinite(Context& c) {
  if (c.strictness < 7) return Skip("NaN and infinities are fed from strictness 7 on");
  for (SignalKind bad : {SignalKind::NaN, SignalKind::Infinity}) {
    const char* name = bad == SignalKind::NaN ? "NaN" : "infinities";
    for (Precision precision : {Precision::Float, Precision::Double}) {
      auto p = c.Make();
      if (precision == Precision::Double && !p->CanDouble()) continue;
      Runner runner(*p, 512, precision);
      SignalSource source(SignalKind::Noise);
      runner.Run(source, 22050, 512);
      source.set(bad);
      runner.Run(source, 512, 512);  // the block of bad input may answer anything
      source.set(SignalKind::Noise);
      // Longer than the longest delay line a delay is likely to have.
      Runner::Stats after = runner.Run(source, static_cast<std::size_t>(44100 * 7), 512);
      if (!after.finite)
        return Fail(Format("output stays non-finite %.3f s after one block of %s (%s)",
                           static_cast<double>(after.firstNonFinite) / 44100.0, name,
                           precision == Precision::Float ? "float" : "double"));
    }
  }
  return Pass("after a block of NaN or infinities the output is finite again at once");
}

CheckResult CheckBlockSizes(Context& c) {
  auto p = c.Make(44100.0, 512, false);
  const int sizes[] = {1, 2, 3, 7, 16, 31, 64, 100, 128, 256, 500, 512, 1024, 2048, 4096, 8192};
  SignalSource noise(SignalKind::Noise);
  for (int size : sizes) {
    p->Setup(44100.0, size);
    p->Resume();
    Runner runner(*p, size, Precision::Float);
    auto frames = static_cast<std::size_t>(std::max(4 * size, 2205 * c.strictness / 5));
    if (!runner.Run(noise, frames, size).finite)
      return Fail(Format("non-finite output with blocks of %d", size));
    if (!runner.Run(noise, frames, size, nullptr, nullptr, &c.random).finite)
      return Fail(Format("non-finite output with variable blocks of up to %d", size));
  }
  return Pass("fixed and variable blocks of 1 to 8192 frames");
}

CheckResult CheckSampleRates(Context& c) {
  auto p = c.Make(44100.0, 512, false);
  const double rates[] = {22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000};
  SignalSource noise(SignalKind::Noise);
  for (double rate : rates) {
    p->Setup(rate, 512);
    p->Resume();
    Runner runner(*p, 512, Precision::Float);
    Runner::Stats stats = runner.Run(noise, static_cast<std::size_t>(rate * 0.1 * c.strictness), 512);
    if (!stats.finite) return Fail(Format("non-finite output at %g Hz", rate));
  }
  return Pass("22050 to 192000 Hz");
}

CheckResult CheckInPlace(Context& c) {
  auto separate = c.Make();
  auto inPlace = c.Make();
  if (separate->numInputs() == 0) return Skip("the plug-in has no inputs");
  std::vector<std::vector<double>> a, b;
  SignalSource s1(SignalKind::Noise, 5), s2(SignalKind::Noise, 5);
  Runner(*separate, 512, Precision::Float).Run(s1, 44100, 512, &a);
  Runner::Stats stats = Runner(*inPlace, 512, Precision::Float, true).Run(s2, 44100, 512, &b);
  if (!stats.finite) return Fail("non-finite output with in-place buffers");
  double diff = MaxDifference(a, b);
  if (!(diff <= 1e-5)) return Fail(Format("in-place buffers change the output by up to %g", diff));
  return Pass(Format("same output as with separate buffers (within %.1e)", diff));
}

CheckResult CheckDoublePrecision(Context& c) {
  auto f = c.Make();
  if (!f->CanDouble()) return Skip("no double precision processing");
  auto d = c.Make();
  std::vector<std::vector<double>> a, b;
  SignalSource s1(SignalKind::Noise, 9), s2(SignalKind::Noise, 9);
  Runner(*f, 512, Precision::Float).Run(s1, 44100, 512, &a);
  Runner::Stats stats = Runner(*d, 512, Precision::Double).Run(s2, 44100, 512, &b);
  if (!stats.finite) return Fail("non-finite double output");
  double diff = MaxDifference(a, b);
  if (!(diff <= 1e-3)) return Fail(Format("single and double precision differ by up to %g", diff));
  return Pass(Format("single and double precision agree within %.1e", diff));
}

}  // namespace vornhost::validate
