// A minimal host for tests: answers the version query, hands out a time
// information record the test controls, and records what the plug-in sent.
#pragma once

#include <vector>

#include "vst/vst24.h"

struct TestHost {
  VstIntPtr version = 2400;
  bool hasTimeInfo = true;
  VstTimeInfo timeInfo{};
  std::vector<VstInt32> opcodes;       // every opcode received
  std::vector<VstIntPtr> timeFilters;  // value of every time request
  // Every begin-edit, automate and end-edit call, in order; `processing` is
  // set by a test around its process calls, and every edit call notes it.
  struct Edit {
    VstInt32 opcode;
    VstInt32 index;
    float value;
    bool duringProcessing;
  };
  std::vector<Edit> edits;
  bool processing = false;

  TestHost() {
    timeInfo.sampleRate = 44100;
    timeInfo.tempo = 120;
    timeInfo.timeSigNumerator = 4;
    timeInfo.timeSigDenominator = 4;
    timeInfo.flags = kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
  }

  // The callback to hand to the plug-in; it reaches the host installed by
  // Use() (one test host per thread at a time).
  static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt);
  void Use();
};
