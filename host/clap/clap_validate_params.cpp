// Parameters and state as CLAP hosts use them: the descriptions, flush
// outside and inside processing, and state through streams that move a
// few bytes at a time or carry garbage.
#include <cmath>
#include <random>

#include "host/clap/clap_validate_checks.h"
#include "host/validate_support.h"

namespace vornhost::clap_validate {

using validate::Format;

namespace {

bool Writable(const ClapParam& p) {
  return !(p.flags & CLAP_PARAM_IS_READONLY) && p.maximum > p.minimum;
}

// A value of p away from its default: the far end of its range.
double Other(const ClapParam& p) {
  return p.defaultValue - p.minimum > p.maximum - p.defaultValue ? p.minimum : p.maximum;
}

bool Near(const ClapParam& p, double a, double b) {
  return std::fabs(a - b) <= 1e-6 * (p.maximum - p.minimum) + 1e-9;
}

}  // namespace

std::string CheckParamInfo(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  if (p.Extension(CLAP_EXT_PARAMS) == nullptr) return "Sno params extension";
  const auto& params = p.params();
  for (std::size_t i = 0; i < params.size(); ++i) {
    const ClapParam& a = params[i];
    for (std::size_t j = 0; j < i; ++j)
      if (params[j].id == a.id) return Format("two parameters have the id %u", a.id);
    if (a.id == CLAP_INVALID_ID) return Format("parameter \"%s\" has the invalid id", a.name.c_str());
    if (a.name.empty()) return Format("parameter %u has no name", a.id);
    if (!std::isfinite(a.minimum) || !std::isfinite(a.maximum) || !(a.minimum <= a.maximum))
      return Format("\"%s\" has the range %g .. %g", a.name.c_str(), a.minimum, a.maximum);
    if (!(a.defaultValue >= a.minimum && a.defaultValue <= a.maximum))
      return Format("\"%s\" has its default %g outside %g .. %g", a.name.c_str(), a.defaultValue, a.minimum,
                    a.maximum);
    const double value = p.Value(a.id);
    if (std::isnan(value)) return Format("get_value of \"%s\" answers false", a.name.c_str());
    if (!(value >= a.minimum && value <= a.maximum))
      return Format("\"%s\" is %g, outside its range", a.name.c_str(), value);
    if ((a.flags & CLAP_PARAM_IS_STEPPED) &&
        (a.minimum != std::floor(a.minimum) || a.maximum != std::floor(a.maximum)))
      return Format("stepped \"%s\" has a range %g .. %g that is not whole numbers", a.name.c_str(),
                    a.minimum, a.maximum);
    // A value's text read back gives the value, as near as the text shows it.
    for (double v : {a.minimum, a.defaultValue, a.maximum}) {
      const std::string text = p.Text(a.id, v);
      if (text.empty()) continue;
      const auto* ext = static_cast<const clap_plugin_params_t*>(p.Extension(CLAP_EXT_PARAMS));
      double back = 0;
      if (!ext->text_to_value(p.plugin(), a.id, text.c_str(), &back)) continue;
      const double tolerance = (a.flags & CLAP_PARAM_IS_STEPPED) ? 0.0 : 0.02 * (a.maximum - a.minimum);
      if (!(std::fabs(back - v) <= tolerance + 1e-9))
        return Format("\"%s\": %g shows as \"%s\", which reads back as %g", a.name.c_str(), v, text.c_str(),
                      back);
    }
  }
  // Unknown ids are refused.
  double value = 0;
  const auto* ext = static_cast<const clap_plugin_params_t*>(p.Extension(CLAP_EXT_PARAMS));
  clap_id unknown = 0xFFFFFFF0u;
  while (p.Param(unknown) != nullptr) ++unknown;
  if (ext->get_value(p.plugin(), unknown, &value))
    return Format("get_value of unknown id %u answers true", unknown);
  char text[64];
  if (ext->value_to_text(p.plugin(), unknown, 0.0, text, sizeof text))
    return Format("value_to_text of unknown id %u answers true", unknown);
  return {};
}

std::string CheckFlushInactive(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  if (p.Extension(CLAP_EXT_PARAMS) == nullptr) return "Sno params extension";
  p.Flush({});  // nothing to do, also fine
  for (const ClapParam& a : p.params()) {
    if (!Writable(a)) continue;
    const double target = Other(a);
    p.Flush({{0, a.id, target}});
    const double value = p.Value(a.id);
    if (!Near(a, value, target))
      return Format("after a flush of \"%s\" = %g while inactive, get_value answers %g", a.name.c_str(),
                    target, value);
  }
  // The values flushed are the ones it then processes with.
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  OnAudioThread([&] {
    for (int b = 0; b < 40; ++b) d.Block(512);
    p.StopProcessing();
  });
  for (const ClapParam& a : p.params())
    if (Writable(a) && !Near(a, p.Value(a.id), Other(a)))
      return Format("\"%s\" lost its flushed value on activation (%g)", a.name.c_str(), p.Value(a.id));
  return d.finite() ? std::string() : "non-finite output with every parameter at the far end of its range";
}

std::string CheckFlushProcessing(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  if (p.Extension(CLAP_EXT_PARAMS) == nullptr) return "Sno params extension";
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  std::vector<ClapParamEvent> events;
  for (const ClapParam& a : p.params())
    if (Writable(a)) events.push_back({0, a.id, Other(a)});
  // While active, flush is the audio thread's, between process calls.
  OnAudioThread([&] {
    for (int b = 0; b < 10; ++b) d.Block(512);
    p.Flush(events);
    for (int b = 0; b < 40; ++b) d.Block(512);
    p.StopProcessing();
    p.Flush({});
  });
  // The main thread may learn the values a little later, through on_main_thread.
  for (int i = 0; i < 10; ++i) p.services().RunMainLoop(1);
  for (const ClapParam& a : p.params())
    if (Writable(a) && !Near(a, p.Value(a.id), Other(a)))
      return Format("after a flush of \"%s\" = %g while processing, get_value answers %g", a.name.c_str(),
                    Other(a), p.Value(a.id));
  return d.finite() ? std::string() : "non-finite output after a flush while processing";
}

std::string CheckStateStreams(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  if (!p.HasState()) return "Sno state extension";
  // Settings away from the defaults, so the state says something.
  std::vector<ClapParamEvent> events;
  for (const ClapParam& a : p.params())
    if (Writable(a) && !(a.flags & CLAP_PARAM_IS_BYPASS)) events.push_back({0, a.id, Other(a)});
  p.Flush(events);
  std::vector<std::uint8_t> whole;
  if (!p.SaveState(whole)) return "save answered false";
  for (std::size_t chunk : {1u, 7u, 13u, 251u}) {
    std::vector<std::uint8_t> bytes;
    if (!p.SaveState(bytes, chunk))
      return Format("save into a stream that takes %zu bytes at a time answered false", chunk);
    if (bytes != whole)
      return Format(
          "save into a stream that takes %zu bytes at a time wrote %zu bytes, not the %zu of one call", chunk,
          bytes.size(), whole.size());
  }
  for (std::size_t chunk : {std::size_t{1}, std::size_t{13}, SIZE_MAX}) {
    ClapPluginHost fresh(module, t.pluginId);
    if (!fresh.LoadState(whole, chunk))
      return Format("load of its own state through %zu bytes a call answered false",
                    chunk == SIZE_MAX ? whole.size() : chunk);
    for (const ClapParam& a : p.params()) {
      if (!Writable(a) || (a.flags & CLAP_PARAM_IS_BYPASS)) continue;
      if (!Near(a, fresh.Value(a.id), p.Value(a.id)))
        return Format("\"%s\" is %g after loading a state saved with %g (%zu bytes a call)", a.name.c_str(),
                      fresh.Value(a.id), p.Value(a.id), chunk == SIZE_MAX ? whole.size() : chunk);
    }
    std::vector<std::uint8_t> again;
    fresh.SaveState(again);
    if (again != whole) return Format("a loaded state saves as %zu other bytes", again.size());
  }
  return {};
}

std::string CheckGarbageState(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  if (!p.HasState()) return "Sno state extension";
  std::vector<std::uint8_t> before;
  if (!p.SaveState(before)) return "save answered false";
  std::mt19937 random(t.seed);
  std::vector<std::uint8_t> noise(before.size() + 64);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const std::vector<std::uint8_t> half(before.begin(),
                                       before.begin() + static_cast<std::ptrdiff_t>(before.size() / 2));
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"an empty stream", {}}, {"random bytes", noise}, {"its own state cut in half", half}};
  std::vector<std::string> accepted;
  for (const auto& [what, bytes] : cases) {
    if (bytes.size() == before.size()) continue;  // a plug-in whose whole state is empty
    const bool loaded = p.LoadState(bytes, 7);
    std::vector<std::uint8_t> after;
    p.SaveState(after);
    if (loaded)
      accepted.push_back(what);
    else if (after != before)
      return Format("refused %s but changed its state all the same", what);
  }
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  OnAudioThread([&] {
    for (int b = 0; b < 40; ++b) d.Block(512);
    p.StopProcessing();
  });
  if (!d.finite()) return "non-finite output after garbage state";
  if (!accepted.empty()) {
    std::string list;
    for (const auto& a : accepted) list += (list.empty() ? "" : ", ") + a;
    return "load answered true for " + list + " (a damaged state must be refused)";
  }
  return {};
}

}  // namespace vornhost::clap_validate
