// One delay instance built through the library's own start-up path and
// driven through its AEffect record, as a host drives it.
#pragma once

#include <vector>

#include "effect/morvox_effect.h"
#include "formats/vst/hoxa.h"
#include "tests/support/test_host.h"

class PluginInstance {
 public:
  // Opens the instance at `sampleRate` and resumes it.
  explicit PluginInstance(float sampleRate = 44100.0f, TestHost* host = nullptr);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void SetParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
  float GetParameter(VstInt32 index) { return effect->getParameter(effect, index); }
  // Sets a slider by its value in the slider's own range, through the host path.
  void SetSlider(VstInt32 index, double value);
  void Resume() {
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 1);
  }

  // Processes in-place stereo blocks of `block` frames.
  void Process(std::vector<float>& left, std::vector<float>& right, int block = 512);
  void ProcessDouble(std::vector<double>& left, std::vector<double>& right, int block = 512);

  TMorvoxEffect& Script() { return *static_cast<TMorvoxEffect*>(Adapter().script); }
  CHoxa& Adapter() { return *static_cast<CHoxa*>(static_cast<AudioEffect*>(effect->object)); }

  TestHost ownHost;
  TestHost* host;
  AEffect* effect = nullptr;
};
