#include "host/clap/clap_automation.h"

#include <cmath>
#include <cstdlib>

#include "host/host_error.h"

namespace vornhost {

std::vector<ClapParamEvent> ParseAutomation(const ClapPluginHost& plugin, const std::string& automation,
                                            double sampleRate) {
  const auto eq = automation.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == automation.size())
    throw HostError("--automate takes NAME=TIME:VALUE,TIME:VALUE...; '" + automation + "' is not that");
  const std::string name = automation.substr(0, eq);
  std::vector<ClapParamEvent> events;
  std::size_t at = eq + 1;
  while (at <= automation.size()) {
    std::size_t comma = automation.find(',', at);
    if (comma == std::string::npos) comma = automation.size();
    const std::string point = automation.substr(at, comma - at);
    const auto colon = point.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == point.size())
      throw HostError("'" + point + "' in --automate is not TIME:VALUE");
    const std::string time = point.substr(0, colon);
    char* end = nullptr;
    std::uint64_t frame = 0;
    if (time.back() == 'f') {
      const unsigned long long f = std::strtoull(time.c_str(), &end, 10);
      if (end != time.c_str() + time.size() - 1 || time[0] == '-')
        throw HostError("'" + time + "' in --automate is not a frame number");
      frame = f;
    } else {
      const double seconds = std::strtod(time.c_str(), &end);
      if (end == time.c_str() || *end != 0 || !(seconds >= 0.0) || seconds > 86400.0)
        throw HostError("'" + time + "' in --automate is not a time in seconds (or NNNf for a frame)");
      frame = static_cast<std::uint64_t>(std::llround(seconds * sampleRate));
    }
    ClapParamEvent event = plugin.Resolve(name + "=" + point.substr(colon + 1));
    event.frame = frame;
    events.push_back(event);
    at = comma + 1;
  }
  return events;
}

}  // namespace vornhost
