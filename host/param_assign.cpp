#include "host/param_assign.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "host/host_error.h"

namespace vornhost {

namespace {

constexpr int kGrid = 1000;
constexpr int kBisections = 40;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  auto begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  auto end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

// The name without a trailing unit in brackets: "Feedback [%]" -> "Feedback".
std::string BaseName(const std::string& name) {
  auto bracket = name.find(" [");
  return bracket == std::string::npos ? name : Trim(name.substr(0, bracket));
}

bool ParseNumber(const std::string& text, double& value) {
  const char* begin = text.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  return end != begin && *end == '\0' && std::isfinite(value);
}

int FindParameter(PluginInstance& plugin, const std::string& key) {
  const int count = plugin.numParams();
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(Trim(plugin.ParamName(i)));
  // Exact name first, then without case, then without the unit bracket, then
  // the name followed by its unit label ("Gain [dB]" for name "Gain", label "dB").
  const std::vector<std::function<bool(int)>> rules = {
      [&](int i) { return names[static_cast<std::size_t>(i)] == key; },
      [&](int i) { return Lower(names[static_cast<std::size_t>(i)]) == Lower(key); },
      [&](int i) { return Lower(BaseName(names[static_cast<std::size_t>(i)])) == Lower(key); },
      [&](int i) {
        std::string label = Trim(plugin.ParamLabel(i));
        return !label.empty() && Lower(names[static_cast<std::size_t>(i)] + " [" + label + "]") == Lower(key);
      },
  };
  for (const auto& rule : rules) {
    std::vector<int> hits;
    for (int i = 0; i < count; ++i)
      if (rule(i)) hits.push_back(i);
    if (hits.size() == 1) return hits[0];
    if (hits.size() > 1) throw HostError("parameter name '" + key + "' is ambiguous; use its index");
  }
  std::string known;
  for (int i = 0; i < count; ++i)
    known += (i ? ", " : "") + std::to_string(i) + " \"" + names[static_cast<std::size_t>(i)] + "\"";
  throw HostError("unknown parameter '" + key +
                  "'; the plug-in's parameters are: " + (known.empty() ? "(none)" : known));
}

struct Probe {
  float set;       // value sent
  float readBack;  // value the plug-in reports afterwards
  std::string display;
};

Probe ProbeAt(PluginInstance& plugin, int index, float x) {
  plugin.SetParam(index, x);
  return {x, plugin.GetParam(index), Trim(plugin.ParamDisplay(index))};
}

// Tolerance of a display number: half a unit of its last shown digit, and
// never below a relative 1e-5 (a float shown with six decimals: "79.999992").
double Tolerance(int decimals, double target) {
  return std::max(0.5 * std::pow(10.0, -decimals), 1e-5 * std::max(1.0, std::fabs(target)));
}

}  // namespace

bool ParseDisplayNumber(const std::string& text, double& value, int& decimals) {
  std::string s = Trim(text);
  const char* begin = s.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return false;
  std::string number(begin, static_cast<const char*>(end));
  auto dot = number.find('.');
  decimals = 0;
  if (dot != std::string::npos) {
    std::size_t i = dot + 1;
    while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) ++i, ++decimals;
  }
  return true;
}

ParamAssignment ResolveParam(PluginInstance& plugin, const std::string& assignment) {
  auto eq = assignment.rfind('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == assignment.size())
    throw HostError("--param '" + assignment + "' is not NAME_OR_INDEX=VALUE");
  const std::string key = Trim(assignment.substr(0, eq));
  const std::string valueText = Trim(assignment.substr(eq + 1));
  ParamAssignment result;

  if (std::all_of(key.begin(), key.end(),
                  [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    long index = std::strtol(key.c_str(), nullptr, 10);
    if (key.size() > 6 || index >= plugin.numParams())
      throw HostError("parameter index " + key + " is out of range: the plug-in has " +
                      std::to_string(plugin.numParams()) + " parameters");
    double v = 0.0;
    if (!ParseNumber(valueText, v))
      throw HostError("--param " + key + ": '" + valueText + "' is not a number");
    if (v < 0.0 || v > 1.0)
      throw HostError("--param " + key + "=" + valueText +
                      ": a value by index is normalised and must lie in 0..1");
    result.index = static_cast<int>(index);
    result.value = static_cast<float>(v);
    result.display = ProbeAt(plugin, result.index, result.value).display;
    return result;
  }

  const int index = FindParameter(plugin, key);
  result.index = index;
  const std::string name = Trim(plugin.ParamName(index));
  std::vector<Probe> grid;
  for (int i = 0; i <= kGrid; ++i) grid.push_back(ProbeAt(plugin, index, static_cast<float>(i) / kGrid));

  auto accept = [&](const Probe& p) {
    // Prefer the value the plug-in itself reports (a snapped step) when it
    // shows the same text.
    Probe again = ProbeAt(plugin, index, p.readBack);
    result.value = again.display == p.display ? p.readBack : p.set;
    result.display = p.display;
    return result;
  };

  // A text value ("On") or a number matched by its display.
  double target = 0.0;
  std::string unitless = valueText;
  std::string label = Trim(plugin.ParamLabel(index));
  if (!label.empty() && unitless.size() > label.size() &&
      Lower(unitless.substr(unitless.size() - label.size())) == Lower(label))
    unitless = Trim(unitless.substr(0, unitless.size() - label.size()));
  const bool numeric = ParseNumber(unitless, target);
  for (const Probe& p : grid) {
    if (Lower(p.display) == Lower(valueText)) return accept(p);
    double shown = 0.0;
    int decimals = 0;
    if (numeric && ParseDisplayNumber(p.display, shown, decimals) &&
        std::fabs(shown - target) <= Tolerance(decimals, target))
      return accept(p);
  }
  if (!numeric)
    throw HostError("parameter '" + name + "' never displays '" + valueText +
                    "'; give a number or a shown text");

  // Between grid points: bisect where the display crosses the target.
  double lowest = INFINITY, highest = -INFINITY;
  for (std::size_t i = 0; i + 1 < grid.size(); ++i) {
    double a = 0.0, b = 0.0;
    int da = 0, db = 0;
    if (!ParseDisplayNumber(grid[i].display, a, da) || !ParseDisplayNumber(grid[i + 1].display, b, db))
      continue;
    lowest = std::min({lowest, a, b});
    highest = std::max({highest, a, b});
    if ((a - target) * (b - target) > 0.0) continue;
    float lo = grid[i].set, hi = grid[i + 1].set;
    Probe best = std::fabs(a - target) <= std::fabs(b - target) ? grid[i] : grid[i + 1];
    double bestError = std::fabs(std::min(std::fabs(a - target), std::fabs(b - target)));
    for (int k = 0; k < kBisections && hi > lo; ++k) {
      float mid = 0.5f * (lo + hi);
      if (mid <= lo || mid >= hi) break;
      Probe p = ProbeAt(plugin, index, mid);
      double shown = 0.0;
      int decimals = 0;
      if (!ParseDisplayNumber(p.display, shown, decimals)) break;
      if (std::fabs(shown - target) <= Tolerance(decimals, target)) return accept(p);
      if (std::fabs(shown - target) < bestError) bestError = std::fabs(shown - target), best = p;
      if ((shown - target) * (a - target) > 0.0)
        lo = mid;
      else
        hi = mid;
    }
    ParamAssignment nearest = accept(best);
    nearest.nearest = true;
    return nearest;
  }
  if (std::isfinite(lowest)) {
    char range[128];
    std::snprintf(range, sizeof range, "%g .. %g", lowest, highest);
    throw HostError("value " + valueText + " is out of range for parameter '" + name + "' (" + range + ")");
  }
  throw HostError("parameter '" + name + "' does not display numbers; give its index and a value in 0..1");
}

void ApplyParam(PluginInstance& plugin, const std::string& assignment) {
  ParamAssignment a = ResolveParam(plugin, assignment);
  plugin.SetParam(a.index, a.value);
  if (a.nearest)
    std::fprintf(stderr, "vornhost: note: '%s' is not offered exactly; using the nearest value %s\n",
                 assignment.c_str(), a.display.c_str());
}

}  // namespace vornhost
