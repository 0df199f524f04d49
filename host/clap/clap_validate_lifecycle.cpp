// The entry, the factory and the order of a plug-in's life: what every
// CLAP host does first, and what a careless plug-in gets wrong.
#include <cmath>
#include <filesystem>
#include <random>

#include "host/alloc_counter.h"
#include "host/clap/clap_validate_checks.h"
#include "host/validate_support.h"

namespace vornhost::clap_validate {

using validate::Format;

void OnAudioThread(const std::function<void()>& job) {
  std::thread audio(job);
  audio.join();
}

Driver::Driver(ClapPluginHost& plugin, std::uint32_t maxBlock, unsigned seed)
    : plugin_(plugin),
      maxBlock_(maxBlock),
      state_(seed | 1u),
      in_(static_cast<std::size_t>(plugin.numInputs()), std::vector<float>(maxBlock + kGuard, 0.0f)),
      out_(static_cast<std::size_t>(plugin.numOutputs()), std::vector<float>(maxBlock + kGuard, kCanary)) {
  for (auto& c : in_) inPtr_.push_back(c.data());
  for (auto& c : out_) outPtr_.push_back(c.data());
}

bool Driver::Block(std::uint32_t frames) {
  for (auto& c : in_)
    for (std::uint32_t f = 0; f < frames; ++f) {
      if (useFixed_) {
        c[f] = fixed_;
        continue;
      }
      state_ ^= state_ << 13;
      state_ ^= state_ >> 17;
      state_ ^= state_ << 5;
      c[f] = static_cast<float>(static_cast<double>(state_) / 4294967295.0 - 0.5);
    }
  for (auto& c : out_)
    for (std::size_t f = frames; f < c.size(); ++f) c[f] = kCanary;
  const clap_process_status status = plugin_.Process(inPtr_.data(), outPtr_.data(), frames);
  for (auto& c : out_) {
    for (std::uint32_t f = 0; f < frames; ++f) {
      finite_ = finite_ && std::isfinite(c[f]);
      if (std::isfinite(c[f])) peak_ = std::fmax(peak_, std::fabs(c[f]));
    }
    for (std::size_t f = frames; f < c.size(); ++f) guards_ = guards_ && c[f] == kCanary;
  }
  return status != CLAP_PROCESS_ERROR;
}

std::string CheckEntry(const Target& t) {
  auto module = ClapModule::LoadOnly(t.path);
  const clap_plugin_entry_t* entry = module->entry();
  const std::string absolute = std::filesystem::absolute(t.path).string();
  for (int round = 1; round <= 2; ++round) {
    if (!entry->init(absolute.c_str())) return Format("init answered false (round %d)", round);
    const auto* factory =
        static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (factory == nullptr) return Format("no plug-in factory after init (round %d)", round);
    if (entry->get_factory("vornhost.no-such-factory") != nullptr)
      return "an unknown factory id answers a factory";
    if (factory->get_plugin_count(factory) == 0) return "the factory counts no plug-in";
    ClapHostServices services;
    const auto* d = factory->get_plugin_descriptor(factory, 0);
    if (d == nullptr) return "the first descriptor is null";
    const clap_plugin_t* plugin = factory->create_plugin(factory, services.host(), d->id);
    if (plugin == nullptr) return Format("the factory would not create '%s' (round %d)", d->id, round);
    if (!plugin->init(plugin)) return Format("the plug-in's init answered false (round %d)", round);
    plugin->destroy(plugin);
    entry->deinit();
  }
  return {};
}

std::string CheckDescriptors(const Target& t) {
  auto module = ClapModule::Load(t.path);
  const auto* factory = module->factory();
  const std::uint32_t count = factory->get_plugin_count(factory);
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto* d = factory->get_plugin_descriptor(factory, i);
    if (d == nullptr) return Format("descriptor %u of %u is null", i, count);
    if (!clap_version_is_compatible(d->clap_version)) return Format("descriptor %u has CLAP version 0", i);
    if (d->id == nullptr || *d->id == 0) return Format("descriptor %u has no id", i);
    if (d->name == nullptr || *d->name == 0) return Format("'%s' has no name", d->id);
    if (d->features == nullptr) return Format("'%s' has no features list (it must at least be empty)", d->id);
    for (std::uint32_t j = 0; j < i; ++j) {
      const auto* other = factory->get_plugin_descriptor(factory, j);
      if (other != nullptr && other->id != nullptr && std::string(other->id) == d->id)
        return Format("two plug-ins have the id '%s'", d->id);
    }
  }
  if (factory->get_plugin_descriptor(factory, count) != nullptr)
    return Format("descriptor %u (past the %u there are) is not null", count, count);
  return {};
}

std::string CheckUnknownId(const Target& t) {
  auto module = ClapModule::Load(t.path);
  const auto* factory = module->factory();
  ClapHostServices services;
  for (const char* id : {"vornhost.no-such-plugin", ""}) {
    const clap_plugin_t* plugin = factory->create_plugin(factory, services.host(), id);
    if (plugin != nullptr) {
      plugin->destroy(plugin);
      return Format("create_plugin(\"%s\") answers a plug-in instead of null", id);
    }
  }
  return {};
}

std::string CheckOrders(const Target& t) {
  auto module = ClapModule::Load(t.path);
  {
    ClapPluginHost never(module, t.pluginId);  // created and destroyed, never activated
  }
  ClapPluginHost p(module, t.pluginId);
  std::string failure;
  for (double rate : {44100.0, 96000.0, 48000.0}) {
    p.Activate(rate, 512, 1);
    p.Deactivate();
  }
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  OnAudioThread([&] {
    for (int run = 0; run < 3 && failure.empty(); ++run) {
      for (int b = 0; b < 20; ++b)
        if (!d.Block(512)) failure = Format("process answered an error (start %d)", run + 1);
      p.StopProcessing();
    }
    // reset() while processing, as hosts do on a transport jump.
    for (int b = 0; b < 5; ++b) d.Block(512);
    p.plugin()->reset(p.plugin());
    for (int b = 0; b < 5; ++b) d.Block(512);
    p.StopProcessing();
  });
  if (!failure.empty()) return failure;
  p.Deactivate();
  // Activated again at another rate after all that.
  p.Activate(22050, 256);
  Driver again(p, 256, t.seed);
  OnAudioThread([&] {
    for (int b = 0; b < 20; ++b) again.Block(256);
    p.StopProcessing();
  });
  p.Deactivate();
  if (!d.finite() || !again.finite()) return "non-finite output after stop, start, reset or reactivation";
  return {};
}

std::string CheckZeroFrames(const Target& t) {
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  bool zeroTouched = false;
  OnAudioThread([&] {
    d.Block(64);
    d.Block(0);
    zeroTouched = !d.guardsIntact();
    for (int b = 0; b < 20; ++b) d.Block(512);
    d.Block(0);
    p.StopProcessing();
  });
  if (zeroTouched) return "a block of 0 frames wrote into the output buffers";
  if (!d.guardsIntact()) return "wrote past the end of a block";
  if (!d.finite()) return "non-finite output around blocks of 0 frames";
  return {};
}

std::string CheckBlocksAndRates(const Target& t) {
  auto module = ClapModule::Load(t.path);
  std::mt19937 random(t.seed);
  const std::uint32_t sizes[] = {1, 2, 3, 16, 17, 64, 100, 511, 512, 1024, 4096};
  for (double rate : {22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0}) {
    ClapPluginHost p(module, t.pluginId);
    p.Activate(rate, 4096, 1);
    Driver d(p, 4096, t.seed);
    const auto frames = static_cast<std::size_t>(rate * 0.05 * t.strictness);
    std::string failure;
    OnAudioThread([&] {
      for (std::uint32_t size : sizes)
        for (std::size_t done = 0; done < frames / 4 && failure.empty(); done += size)
          if (!d.Block(size))
            failure = Format("process answered an error at %g Hz, blocks of %u", rate, size);
      // Sizes that change every block, as in a host that splits at events.
      std::uniform_int_distribution<std::uint32_t> any(1, 4096);
      for (std::size_t done = 0; done < frames && failure.empty();) {
        const std::uint32_t size = any(random);
        if (!d.Block(size)) failure = Format("process answered an error at %g Hz, block of %u", rate, size);
        done += size;
      }
      p.StopProcessing();
    });
    if (!failure.empty()) return failure;
    if (!d.guardsIntact()) return Format("wrote past the end of a block at %g Hz", rate);
    if (!d.finite()) return Format("non-finite output at %g Hz", rate);
  }
  return {};
}

std::string CheckNoAllocation(const Target& t) {
  if (!alloc::CoversMalloc()) return "Sallocations through malloc are not seen in this build";
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  p.Activate(44100, 512);
  Driver d(p, 512, t.seed);
  std::uint64_t count = 0;
  OnAudioThread([&] {
    for (int b = 0; b < 44100 * 7 / 512; ++b) d.Block(512);  // longer than a 6 s delay line
    alloc::StartCounting();
    for (int b = 0; b < 44100 * t.strictness / 5 / 512 + 1; ++b) d.Block(512);
    count = alloc::StopCounting();
    p.StopProcessing();
  });
  return count == 0
             ? std::string()
             : Format("%llu heap allocations while processing", static_cast<unsigned long long>(count));
}

std::string CheckBadInput(const Target& t) {
  if (t.strictness < 7) return "Sonly from strictness 7";
  auto module = ClapModule::Load(t.path);
  ClapPluginHost p(module, t.pluginId);
  p.Activate(44100, 512);
  Driver bad(p, 512, t.seed);
  bool recovered = true;
  OnAudioThread([&] {
    const float values[] = {NAN, INFINITY, -INFINITY, 1e30f};
    for (float v : values) {
      bad.SetInput(v);
      for (int b = 0; b < 4; ++b) bad.Block(512);
    }
    bad.SetNoise();
    for (int b = 0; b < 2 * 44100 / 512; ++b) bad.Block(512);
    p.StopProcessing();
  });
  p.Deactivate();
  p.Activate(44100, 512);
  Driver after(p, 512, t.seed + 1);
  OnAudioThread([&] {
    for (int b = 0; b < 44100 / 512; ++b) after.Block(512);
    recovered = after.finite();
    p.StopProcessing();
  });
  return recovered ? std::string() : "output stays non-finite after bad input and reactivation";
}

}  // namespace vornhost::clap_validate
