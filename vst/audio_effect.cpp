#include "vst/audio_effect.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "base/denormal_flush.h"
#include "vst/aeff_editor.h"
#include "vst/dispatch_guard.h"
#include "vst/text_bounds.h"
#include "vst/value_text.h"

namespace {

// The record's entry points. None lets an exception reach the host, and a
// record without an object answers 0 and does nothing.

VstIntPtr VSTCALLBACK DispatchTrampoline(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                         void* ptr, float opt) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr) return 0;
  if (opcode == effClose) {
    // The host lets go of the instance here whatever close does.
    try {
      effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
    }
    delete effect;
    return 1;
  }
  try {
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

// Buffers the host must give for a call to be worth making: outputs always,
// inputs when the effect declares any. A call of 0 frames or fewer touches
// no buffer (only the block section runs), so it needs none.
bool BuffersUsable(const AEffect* e, const void* inputs, const void* outputs, VstInt32 sampleFrames) {
  return sampleFrames <= 0 || (outputs != nullptr && (inputs != nullptr || e->numInputs <= 0));
}

void VSTCALLBACK ProcessTrampoline(AEffect* e, float** inputs, float** outputs,
                                   VstInt32 sampleFrames) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr || !BuffersUsable(e, inputs, outputs, sampleFrames)) return;
  const DenormalFlush flush;
  try {
    effect->process(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void VSTCALLBACK ProcessReplacingTrampoline(AEffect* e, float** inputs, float** outputs,
                                            VstInt32 sampleFrames) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr || !BuffersUsable(e, inputs, outputs, sampleFrames)) return;
  const DenormalFlush flush;
  try {
    effect->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void VSTCALLBACK ProcessDoubleReplacingTrampoline(AEffect* e, double** inputs, double** outputs,
                                                  VstInt32 sampleFrames) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr || !BuffersUsable(e, inputs, outputs, sampleFrames)) return;
  const DenormalFlush flush;
  try {
    effect->processDoubleReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

void VSTCALLBACK SetParameterTrampoline(AEffect* e, VstInt32 index, float value) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr || !IsParameterIndex(e, index)) return;
  try {
    effect->setParameter(index, value);
  } catch (...) {
  }
}

float VSTCALLBACK GetParameterTrampoline(AEffect* e, VstInt32 index) noexcept {
  AudioEffect* effect = EffectOf(e);
  if (effect == nullptr || !IsParameterIndex(e, index)) return 0.0f;
  try {
    return effect->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

constexpr VstInt32 kIdentifyAnswer = FourCharCode('N', 'v', 'E', 'f');
constexpr VstInt32 kDefaultUniqueId = FourCharCode('N', 'o', 'E', 'f');

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount)
    : audioMaster(hostCallback), numPrograms(programCount), numParams(paramCount) {
  std::memset(&cEffect, 0, sizeof cEffect);
  cEffect.magic = kEffectMagic;
  cEffect.dispatcher = DispatchTrampoline;
  cEffect.process = ProcessTrampoline;
  cEffect.setParameter = SetParameterTrampoline;
  cEffect.getParameter = GetParameterTrampoline;
  cEffect.numPrograms = programCount;
  cEffect.numParams = paramCount;
  cEffect.numInputs = 1;
  cEffect.numOutputs = 2;
  cEffect.ioRatio = 1.0f;
  cEffect.object = this;
  cEffect.uniqueID = kDefaultUniqueId;
  cEffect.version = 1;
  cEffect.processReplacing = ProcessReplacingTrampoline;
  cEffect.processDoubleReplacing = ProcessDoubleReplacingTrampoline;
  canProcessReplacing();  // virtual, but only the base one can run here: sets 0x10
}

AudioEffect::~AudioEffect() {
  delete editor;
  editor = nullptr;
}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effOpen:
      open();
      return 0;
    case effClose:
      close();
      return 0;
    case effSetProgram:
      // Negative programs are refused as well as those past the last one.
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return getProgram();
    case effSetProgramName:
      if (text != nullptr) {
        TextScratch name;
        CopyBounded(name.data, text, kProgramNameCapacity);
        setProgramName(name.data);
      }
      return 0;
    case effGetProgramName: {
      TextScratch name;
      getProgramName(name.data);
      name.AnswerTo(text, kProgramNameCapacity);
      return 0;
    }
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName: {
      // An index out of range answers the empty text.
      TextScratch answer;
      std::size_t capacity = kParamNameCapacity;
      if (text != nullptr && IsParameterIndex(&cEffect, index)) {
        if (opcode == effGetParamLabel) {
          getParameterLabel(index, answer.data);
          capacity = kParamLabelCapacity;
        } else if (opcode == effGetParamDisplay) {
          getParameterDisplay(index, answer.data);
          capacity = kParamDisplayCapacity;
        } else {
          getParameterName(index, answer.data);
        }
      }
      answer.AnswerTo(text, capacity);
      return 0;
    }
    case effSetSampleRate:
      setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (value == 0) {
        suspend();
      } else {
        resume();
      }
      return 0;
    case effEditGetRect:
      if (editor == nullptr || ptr == nullptr) return 0;
      return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
      if (editor == nullptr || ptr == nullptr) return 0;
      return editor->open(ptr) ? 1 : 0;
    case effEditClose:
      if (editor != nullptr) editor->close();
      return 0;
    case effEditIdle:
      if (editor != nullptr) editor->idle();
      return 0;
    case effIdentify:
      return kIdentifyAnswer;
    case effGetChunk:
      if (ptr == nullptr) return 0;
      return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      if (ptr == nullptr || value <= 0 || !FitsInt32(value)) return 0;
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default:
      return 0;
  }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  CallHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 AudioEffect::getMasterVersion() {
  const VstIntPtr version = CallHost(audioMasterVersion);
  return version != 0 ? static_cast<VstInt32>(version) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return static_cast<VstInt32>(CallHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
  CallHost(audioMasterIdle);
}

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
  if (value <= 0.0f) {
    if (text != nullptr && maxLen >= 0) CopyBounded(text, "-oo", static_cast<std::size_t>(maxLen) + 1);
    return;
  }
  float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
  const float rate = getSampleRate();
  float2string(samples == 0.0f ? 0.0f : rate / samples, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
  float2string(static_cast<float>(samples * 1000.0 / getSampleRate()), text, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
  FloatToText(value, text, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
  IntToText(value, text, maxLen);
}

bool AudioEffect::isInputConnected(VstInt32 input) {
  return CallHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return CallHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor = newEditor;
  SetFlag(effFlagsHasEditor, newEditor != nullptr);
}

bool AudioEffect::sendVstEventsToHost(VstEvents* events) {
  if (events == nullptr) return false;
  return CallHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

VstIntPtr AudioEffect::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (audioMaster == nullptr) return 0;
  return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

void AudioEffect::SetFlag(VstInt32 flag, bool state) {
  if (state) {
    cEffect.flags |= flag;
  } else {
    cEffect.flags &= ~flag;
  }
}
