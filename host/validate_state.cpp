// State save and restore, and chunks that are not the plug-in's.
#include <cmath>
#include <fstream>
#include <iterator>

#include "host/host_error.h"
#include "host/preset_files.h"
#include "host/state_file.h"
#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

std::vector<float> Values(PluginInstance& p) {
  std::vector<float> v;
  for (int i = 0; i < p.numParams(); ++i) v.push_back(p.GetParam(i));
  return v;
}

CheckResult RoundTrip(Context& c);
CheckResult PresetFiles(Context& c);

}  // namespace

// The round trip, then the preset files shipped beside the plug-in.
CheckResult CheckStateRoundTrip(Context& c) {
  CheckResult result = RoundTrip(c);
  if (result.status != Status::Pass) return result;
  const CheckResult presets = PresetFiles(c);
  if (presets.status == Status::Fail) return presets;
  if (presets.status == Status::Pass) result.detail += "; " + presets.detail;
  return result;
}

namespace {

CheckResult RoundTrip(Context& c) {
  // A: random settings, some processing, then its state.
  auto a = c.Make();
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  for (int i = 0; i < a->numParams(); ++i) a->SetParam(i, value(c.random));
  SignalSource warm(SignalKind::Noise, 7);
  Runner(*a, 512, Precision::Float).Run(warm, 22050, 512);
  const std::vector<float> settings = Values(*a);
  const std::vector<char> image = EncodeState(*a);
  if (a->UsesChunks()) {
    if (a->GetChunk(true).empty()) return Fail("declares program chunks but returns an empty chunk");
    if (a->GetChunk(true) != a->GetChunk(true))
      return Fail("two chunk requests in a row give different bytes");
  }

  // B: a fresh instance restored from the state must report the same values.
  auto b = c.Make();
  DecodeState(*b, image, "(in memory)");
  std::vector<float> restored = Values(*b);
  for (std::size_t i = 0; i < settings.size(); ++i)
    if (std::fabs(restored[i] - settings[i]) > 1e-5f)
      return Fail(Format("parameter %zu restored as %g instead of %g", i, restored[i], settings[i]));
  if (EncodeState(*b) != image) return Fail("the restored instance saves a different state");

  // Fresh instances given the same values directly or restored from the
  // state must sound alike. Each is made just before it renders and a second
  // direct one comes last, so a plug-in whose sound depends on what ran
  // before in the process shows up as two direct instances that differ.
  auto direct = [&] {
    auto p = c.Make();
    for (std::size_t i = 0; i < settings.size(); ++i) p->SetParam(static_cast<int>(i), settings[i]);
    return p;
  };
  auto render = [](PluginInstance& p) {
    std::vector<std::vector<double>> out;
    SignalSource source(SignalKind::Noise, 11);
    Runner(p, 512, Precision::Float).Run(source, 44100, 512, &out);
    return out;
  };
  const auto outDirect = render(*direct());
  auto restoredFresh = c.Make();
  DecodeState(*restoredFresh, image, "(in memory)");
  const auto outRestored = render(*restoredFresh);
  restoredFresh.reset();
  const auto outDirect2 = render(*direct());
  const char* kind = a->UsesChunks() ? "chunk" : "parameter state";
  if (!(MaxDifference(outDirect, outDirect2) <= 1e-4))
    return Pass(
        Format("%s of %zu bytes restores every value; output not compared: two identically set "
               "instances sound different",
               kind, image.size()));
  double diff = MaxDifference(outDirect, outRestored);
  if (!(diff <= 1e-4)) return Fail(Format("the same input after a restore differs by %g", diff));
  return Pass(Format("%s of %zu bytes; outputs agree within %.1e", kind, image.size(), diff));
}

}  // namespace

CheckResult CheckBadChunks(Context& c) {
  auto p = c.Make();
  if (!p->UsesChunks()) return Skip("the plug-in keeps no chunks");
  const std::vector<char> good = p->GetChunk(true);
  std::vector<std::vector<char>> bad = {{}, {0}, {1, 2, 3}};
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t size : {8u, 64u, 1000u}) {
    std::vector<char> junk(size);
    for (char& ch : junk) ch = static_cast<char>(byte(c.random));
    bad.push_back(junk);
  }
  if (good.size() > 1)
    bad.push_back(
        std::vector<char>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)));
  if (c.strictness < 3) bad.resize(3);
  SignalSource noise(SignalKind::Noise);
  Runner runner(*p, 512, Precision::Float);
  for (std::size_t k = 0; k < bad.size(); ++k) {
    p->SetChunk(bad[k], true);
    for (int i = 0; i < p->numParams(); ++i) {
      float v = p->GetParam(i);
      if (!(v >= 0.0f && v <= 1.0f))
        return Fail(Format("after a bad chunk of %zu bytes parameter %d reads %g", bad[k].size(), i, v));
    }
    if (!runner.Run(noise, 4096, 512).finite)
      return Fail(Format("non-finite output after a bad chunk of %zu bytes", bad[k].size()));
  }
  p->SetChunk(good, true);
  if (p->GetChunk(true) != good) return Fail("a good chunk after bad ones does not restore the state");
  return Pass(Format("%zu malformed chunks refused or absorbed", bad.size()));
}

}  // namespace vornhost::validate

namespace vornhost::validate {

namespace {

// Each program file and bank in the preset folder beside the plug-in
// loads into a fresh instance, keeps every parameter in range, sounds
// finite, and a program saves back as the same file.
CheckResult PresetFiles(Context& c) {
  const std::vector<PresetFile> files = ListPresetFiles(c.module->path());
  if (files.empty()) return Skip("no preset files in '" + PresetFolder(c.module->path()) + "'");
  std::size_t programs = 0, banks = 0;
  SignalSource noise(SignalKind::Noise, 5);
  for (const PresetFile& file : files) {
    auto p = c.Make();
    std::ifstream in(file.path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DecodeState(*p, image, file.path);
    for (int i = 0; i < p->numParams(); ++i) {
      const float v = p->GetParam(i);
      if (!(v >= 0.0f && v <= 1.0f))
        return Fail(Format("after '%s' parameter %d reads %g", file.name.c_str(), i, static_cast<double>(v)));
    }
    if (!Runner(*p, 512, Precision::Float).Run(noise, 8192, 512).finite)
      return Fail("non-finite output with the preset '" + file.name + "'");
    const bool bank = image.size() >= 12 && std::string(image.data() + 8, 4) == "FBCh";
    if (bank) {
      ++banks;
    } else {
      // A program file saves back as itself: same chunk, same name.
      if (EncodeState(*p) != image)
        return Fail("the preset '" + file.name + "' saves back as a different file");
      ++programs;
    }
  }
  return Pass(Format("%zu preset files and %zu bank%s load, each preset saves back as itself", programs,
                     banks, banks == 1 ? "" : "s"));
}

}  // namespace

}  // namespace vornhost::validate
