// The audio path after resume: no heap allocation; parameter and chunk
// calls from a second thread while the audio thread processes.
#include <atomic>
#include <cmath>
#include <thread>

#include "host/alloc_counter.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

CheckResult CheckAllocations(Context& c) {
  std::string report;
  for (Precision precision : {Precision::Float, Precision::Double}) {
    auto p = c.Make();
    if (precision == Precision::Double && !p->CanDouble()) continue;
    Runner runner(*p, 512, precision);
    SignalSource noise(SignalKind::Noise);
    // Warm-up longer than a 6 s delay line: memory a plug-in touches for the
    // first time may be allocated once.
    runner.Run(noise, 44100 * 7, 512);
    const auto frames = static_cast<std::size_t>(44100.0 * 0.4 * c.strictness);
    alloc::StartCounting();
    Runner::Stats stats = runner.Run(noise, frames, 512);
    std::uint64_t count = alloc::StopCounting();
    if (count != 0)
      return Fail(Format("%llu heap allocations while processing %.1f s (%s)",
                         static_cast<unsigned long long>(count), frames / 44100.0,
                         precision == Precision::Float ? "float" : "double"));
    if (!stats.finite) return Fail("non-finite output");
    report = Format("no allocation in %.1f s of processing after resume%s", frames / 44100.0,
                    alloc::CoversMalloc() ? "" : " (operator new only)");
  }
  return Pass(report);
}

CheckResult CheckThreads(Context& c) {
  auto p = c.Make();
  std::atomic<bool> stop{false};
  std::atomic<bool> finite{true};
  std::atomic<long> blocks{0};
  std::thread audio([&] {
    Runner runner(*p, 256, Precision::Float);
    SignalSource noise(SignalKind::Noise);
    while (!stop.load()) {
      if (!runner.Run(noise, 256, 256).finite) finite = false;
      ++blocks;
    }
  });
  const int rounds = 200 * c.strictness;
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  std::string problem;
  const int params = p->numParams();
  for (int k = 0; k < rounds && problem.empty(); ++k) {
    if (params > 0) {
      int i = k % params;
      p->SetParam(i, value(c.random));
      float v = p->GetParam(i);
      if (!(v >= 0.0f && v <= 1.0f)) problem = Format("parameter %d reads %g", i, v);
      (void)p->ParamDisplay(i);
      (void)p->ParamName(i);
    }
    if (p->UsesChunks() && k % 10 == 0) {
      std::vector<char> chunk = p->GetChunk(true);
      if (!chunk.empty()) p->SetChunk(chunk, true);
    }
  }
  // Let the audio thread run at least a little when the calls were quick.
  while (blocks.load() < 50) std::this_thread::yield();
  stop = true;
  audio.join();
  if (!problem.empty()) return Fail(problem);
  if (!finite.load()) return Fail("non-finite output while another thread changed parameters and state");
  return Pass(Format("%d parameter/chunk rounds during %ld audio blocks", rounds, blocks.load()));
}

}  // namespace vornhost::validate
