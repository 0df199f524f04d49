// Small VST 2.4 plug-ins that break the rules on purpose, for vornhost's
// error paths and for proving that its validator finds faults. One source,
// built several times with one FIXTURE_* definition each.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vst/vst24.h"

namespace {

struct Fixture {
  AEffect effect{};
  float gain = 0.5f;
  float poison = 0.0f;  // once non-finite input arrived, the output stays NaN
};

VstIntPtr VSTCALLBACK Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float) {
  auto* self = static_cast<Fixture*>(e->object);
  switch (opcode) {
    case effClose:
      delete self;
      return 1;
    case effGetEffectName:
    case effGetProductString:
      std::strcpy(static_cast<char*>(ptr), "Fixture");
      return 1;
    case effGetVendorString:
      std::strcpy(static_cast<char*>(ptr), "vornhost tests");
      return 1;
    case effGetParamName:
      std::strcpy(static_cast<char*>(ptr), index == 0 ? "Gain" : "?");
      return 0;
    case effGetParamLabel:
      std::strcpy(static_cast<char*>(ptr), "");
      return 0;
    case effGetParamDisplay:
      std::snprintf(static_cast<char*>(ptr), 64, "%.2f", self->gain);
      return 0;
    case effGetVstVersion:
      return kVstVersion;
    case effGetChunk:
      *static_cast<void**>(ptr) = &self->gain;
      return sizeof(float);
    case effSetChunk:
#ifdef FIXTURE_MISBEHAVING
      // Trusts the host blindly: reads four bytes whatever the size.
      if (value < 4) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
      }
#endif
      if (value >= 4) std::memcpy(&self->gain, ptr, sizeof(float));
      return value;
    default:
      return 0;
  }
}

void VSTCALLBACK Process(AEffect* e, float** in, float** out, VstInt32 frames) {
  auto* self = static_cast<Fixture*>(e->object);
#ifdef FIXTURE_MISBEHAVING
  // A scratch buffer from the heap on every block.
  auto* volatile scratch =
      static_cast<float*>(std::malloc(static_cast<std::size_t>(frames + 1) * sizeof(float)));
  scratch[0] = 0.0f;
  std::free(scratch);
#endif
  for (int c = 0; c < 2; ++c)
    for (VstInt32 i = 0; i < frames; ++i) {
      float x = in[c][i];
#ifdef FIXTURE_MISBEHAVING
      if (!std::isfinite(x)) self->poison = NAN;
      x += self->poison;
#endif
      out[c][i] = x * self->gain;
    }
}

void VSTCALLBACK SetParameter(AEffect* e, VstInt32 index, float v) {
  if (index == 0) static_cast<Fixture*>(e->object)->gain = v;
}

float VSTCALLBACK GetParameter(AEffect* e, VstInt32 index) {
  return index == 0 ? static_cast<Fixture*>(e->object)->gain : 0.0f;
}

}  // namespace

#ifdef FIXTURE_BAD_MAGIC
void* g_unclosable = nullptr;
#endif

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  auto* self = new Fixture;
  AEffect& e = self->effect;
  e.magic = kEffectMagic;
#ifdef FIXTURE_BAD_MAGIC
  // No host can close it; keep it reachable so leak checkers stay quiet.
  g_unclosable = self;
  e.magic = FourCharCode('N', 'o', 'p', 'e');
#endif
  e.dispatcher = Dispatch;
  e.setParameter = SetParameter;
  e.getParameter = GetParameter;
  e.processReplacing = Process;
  e.numPrograms = 1;
  e.numParams = 1;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsProgramChunks;
  e.uniqueID = FourCharCode('F', 'i', 'x', 't');
  e.version = 1;
  e.object = self;
#ifdef FIXTURE_NULL_ENTRY
  // Builds its record, then changes its mind.
  delete self;
  return nullptr;
#else
  return &e;
#endif
}
