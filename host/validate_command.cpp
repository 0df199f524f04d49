#include "host/validate_command.h"

#include <chrono>
#include <cstdio>
#include <exception>

#include "host/plugin_locator.h"
#include "host/plugin_module.h"
#include "host/validate_checks.h"
#include "host/validate_report.h"

namespace vornhost {

using namespace validate;

namespace {

// A check that takes longer has hung.
constexpr int kCheckTimeoutSeconds = 300;

}  // namespace

int RunValidate(const ValidateOptions& options) {
  const std::string path = LocatePlugin(options.plugin);
  Context context;
  context.module = PluginModule::Load(path);
  context.strictness = options.strictness;
  context.random.seed(options.seed);
  {
    // Fails here, with the loader's reason, when it is no plug-in at all.
    PluginInstance probe(context.module);
    std::printf("vornhost validate: \"%s\" (%s), strictness %d\n", probe.EffectName().c_str(), path.c_str(),
                options.strictness);
  }

  struct Entry {
    const char* name;
    CheckResult (*run)(Context&);
  };
  const Entry checks[] = {
      {"identity", CheckIdentity},
      {"open and close", CheckOpenClose},
      {"many instances", CheckManyInstances},
      {"parameter sweep", CheckParameterSweep},
      {"automation while processing", CheckAutomation},
      {"state round trip", CheckStateRoundTrip},
      {"malformed chunks", CheckBadChunks},
      {"silence", CheckSilence},
      {"noise", CheckNoise},
      {"denormals", CheckDenormals},
      {"NaN and infinities", CheckNonFinite},
      {"block sizes", CheckBlockSizes},
      {"sample rates", CheckSampleRates},
      {"in-place buffers", CheckInPlace},
      {"double precision", CheckDoublePrecision},
      {"no allocation while processing", CheckAllocations},
      {"calls from a second thread", CheckThreads},
      {"editor", CheckEditor},
  };
  ValidateReport report(32);
  unsigned index = 0;
  for (const Entry& check : checks) {
    auto start = std::chrono::steady_clock::now();
    // Each check draws its own random numbers, whichever ran before it.
    context.random.seed(options.seed * 1000u + index++);
    IsolatedResult isolated = RunIsolated(
        [&] {
          CheckResult r;
          try {
            r = check.run(context);
          } catch (const std::exception& e) {
            r = Fail(std::string("error: ") + e.what());
          }
          const char tag = r.status == Status::Pass ? 'P' : r.status == Status::Fail ? 'F' : 'S';
          return std::string(1, tag) + r.detail;
        },
        kCheckTimeoutSeconds);
    CheckResult result;
    if (!isolated.completed || isolated.output.empty()) {
      result = Fail("the plug-in " +
                    (isolated.failure.empty() ? std::string("gave no answer") : isolated.failure));
    } else {
      char tag = isolated.output[0];
      result.status = tag == 'P' ? Status::Pass : tag == 'F' ? Status::Fail : Status::Skip;
      result.detail = isolated.output.substr(1);
    }
    const char* word = result.status == Status::Pass   ? "PASS"
                       : result.status == Status::Fail ? "FAIL"
                                                       : "SKIP";
    report.Line(word, check.name, result.detail, start);
  }
  return report.Finish();
}

}  // namespace vornhost
