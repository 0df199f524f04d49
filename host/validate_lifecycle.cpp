// Identity answers, repeated open/close, many instances at once.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "host/validate_checks.h"

namespace vornhost::validate {

namespace {

// Asks for a text into a buffer filled with a marker and checks that the
// answer ends within limit characters and is printable.
bool TextOk(PluginInstance& p, VstInt32 opcode, int index, std::size_t limit, std::string& why) {
  char buffer[1024];
  std::memset(buffer, 0x5A, sizeof buffer);
  buffer[0] = '\0';
  p.Dispatch(opcode, index, 0, buffer);
  const void* end = std::memchr(buffer, '\0', sizeof buffer);
  if (end == nullptr) {
    why = "no terminating zero within 1024 bytes";
    return false;
  }
  std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - buffer);
  if (length > limit) {
    why = Format("%zu characters, more than the host's buffer of %zu", length, limit);
    return false;
  }
  for (std::size_t i = 0; i < length; ++i)
    if (static_cast<unsigned char>(buffer[i]) < 0x20) {
      why = "control characters in the text";
      return false;
    }
  return true;
}

}  // namespace

CheckResult CheckIdentity(Context& c) {
  auto p = c.Make(44100.0, 512, false);
  AEffect* e = p->effect();
  if ((e->flags & effFlagsCanReplacing) == 0) return Fail("does not set effFlagsCanReplacing");
  if ((e->flags & effFlagsCanDoubleReplacing) != 0 && e->processDoubleReplacing == nullptr)
    return Fail("claims double replacing but has no processDoubleReplacing");
  int version = p->VstVersion();
  if (version < 2400) return Fail(Format("reports VST version %d, below 2400", version));
  if (e->numOutputs < 1) return Fail("has no outputs");
  std::string why;
  // Nominal sizes: effect name 32, vendor and product 64; hosts commonly give more.
  if (!TextOk(*p, effGetEffectName, 0, 64, why)) return Fail("effect name: " + why);
  if (!TextOk(*p, effGetVendorString, 0, 64, why)) return Fail("vendor string: " + why);
  if (!TextOk(*p, effGetProductString, 0, 64, why)) return Fail("product string: " + why);
  if (p->numParams() > 0 && !TextOk(*p, effGetParamName, 0, 64, why)) return Fail("parameter name: " + why);
  return Pass(Format("\"%s\" by \"%s\", VST %d, %d in, %d out, %d parameters, flags 0x%X",
                     p->EffectName().c_str(), p->VendorName().c_str(), version, e->numInputs, e->numOutputs,
                     e->numParams, static_cast<unsigned>(e->flags)));
}

CheckResult CheckOpenClose(Context& c) {
  const int cycles = 4 * c.strictness;
  SignalSource noise(SignalKind::Noise);
  for (int i = 0; i < cycles; ++i) {
    auto p = c.Make();
    Runner r(*p, 512, Precision::Float);
    if (!r.Run(noise, 1024, 512).finite) return Fail(Format("non-finite output in cycle %d", i));
    // Suspend and resume again, as hosts do on transport and settings changes.
    p->Suspend();
    p->Resume();
    if (!r.Run(noise, 512, 512).finite)
      return Fail(Format("non-finite output after re-resume in cycle %d", i));
  }
  // Closed without ever resuming.
  for (int i = 0; i < c.strictness; ++i) c.Make(44100.0, 512, false);
  return Pass(Format("%d open/process/close cycles", cycles + c.strictness));
}

CheckResult CheckManyInstances(Context& c) {
  const int count = 4 + 4 * c.strictness;
  std::vector<std::unique_ptr<PluginInstance>> plugins;
  std::vector<std::unique_ptr<Runner>> runners;
  for (int i = 0; i < count; ++i) {
    plugins.push_back(c.Make());
    runners.push_back(std::make_unique<Runner>(*plugins.back(), 256, Precision::Float));
  }
  SignalSource noise(SignalKind::Noise);
  for (int round = 0; round < 8; ++round)
    for (int i = 0; i < count; ++i)
      if (!runners[static_cast<std::size_t>(i)]->Run(noise, 256, 256).finite)
        return Fail(Format("instance %d gave non-finite output", i));
  // Close them out of creation order.
  std::vector<int> order(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), c.random);
  for (int i : order) {
    runners[static_cast<std::size_t>(i)].reset();
    plugins[static_cast<std::size_t>(i)].reset();
  }
  return Pass(Format("%d instances processing at once", count));
}

}  // namespace vornhost::validate
