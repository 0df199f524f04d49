// `vornhost validate` for CLAP plug-ins, each check in its own process as
// for VST and LV2 (clap_validate_checks.h lists them). Every host callback
// the plug-in makes from a thread its contract forbids fails the check it
// happened in.
#include <chrono>
#include <cstdio>

#include "host/clap/clap_commands.h"
#include "host/clap/clap_validate_checks.h"
#include "host/plugin_module.h"
#include "host/validate_report.h"

namespace vornhost {

namespace {

constexpr int kCheckTimeoutSeconds = 300;

}  // namespace

int RunClapValidate(const ValidateOptions& options, const ClapChoice& choice) {
  using namespace clap_validate;
  Target target{options.plugin, choice.pluginId, options.strictness, options.seed};
  {
    auto module = ClapModule::Load(options.plugin);  // fails here when it cannot load
    ClapPluginHost probe(module, choice.pluginId);
    std::printf("vornhost validate: CLAP \"%s\" (%s), strictness %d\n", probe.descriptor()->name,
                probe.descriptor()->id, options.strictness);
    target.pluginId = probe.descriptor()->id;
  }
  struct Entry {
    const char* name;
    std::string (*run)(const Target&);
  };
  const Entry checks[] = {
      {"entry init and deinit twice", CheckEntry},
      {"descriptors", CheckDescriptors},
      {"unknown plug-in id answers null", CheckUnknownId},
      {"activate, start and stop orders", CheckOrders},
      {"process with 0 frames", CheckZeroFrames},
      {"block sizes and sample rates", CheckBlocksAndRates},
      {"no allocation while processing", CheckNoAllocation},
      {"NaN and infinities", CheckBadInput},
      {"parameter descriptions and texts", CheckParamInfo},
      {"params flush while inactive", CheckFlushInactive},
      {"params flush while processing", CheckFlushProcessing},
      {"state through small streams", CheckStateStreams},
      {"garbage state refused", CheckGarbageState},
      {"gui with a display", CheckGuiWithDisplay},
      {"gui without a display", CheckGuiWithoutDisplay},
  };
  ValidateReport report(34);
  for (const Entry& check : checks) {
    const auto start = std::chrono::steady_clock::now();
    IsolatedResult isolated = RunIsolated(
        [&] {
          // Where checks share a process (no fork), each sees only its own misuse.
          const std::size_t earlier = ClapHostServices::AllMisuse().size();
          std::string answer = "R";
          try {
            answer.append(check.run(target));
          } catch (const std::exception& e) {
            answer.append("error: ").append(e.what());
          }
          // A skip or a failure says its own; misuse fails a passing check.
          const auto misuse = ClapHostServices::AllMisuse();
          if (answer == "R" && misuse.size() > earlier) {
            answer.append(misuse[earlier]);
            if (misuse.size() > earlier + 1)
              answer.append(" (and " + std::to_string(misuse.size() - earlier - 1) + " more)");
          }
          return answer;
        },
        kCheckTimeoutSeconds);
    std::string word = "PASS", detail;
    if (!isolated.completed || isolated.output.empty()) {
      word = "FAIL";
      detail = "the plug-in " + (isolated.failure.empty() ? std::string("gave no answer") : isolated.failure);
    } else if (isolated.output.rfind("RS", 0) == 0) {
      word = "SKIP";
      detail = isolated.output.substr(2);
    } else if (isolated.output.size() > 1) {
      word = "FAIL";
      detail = isolated.output.substr(1);
    }
    report.Line(word, check.name, detail, start);
  }
  return report.Finish();
}

}  // namespace vornhost
