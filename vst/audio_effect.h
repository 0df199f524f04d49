// AudioEffect: owns the AEffect record the host holds and turns the host's
// calls on it (dispatcher, parameters, processing) into virtual operations
// with neutral defaults; wraps the host callback in one operation per host
// request. AudioEffectX extends it with the later VST 2 requests.
//
// Threads: [dispatcher] for lifecycle, parameter text, program and chunk
// requests; [audio] for processing (and usually setParameter); [gui] for
// the editor requests. Nothing here locks.
//
// Ownership: the host owns the object through the record until effClose,
// when the record's dispatcher deletes it. The object owns its editor.
#pragma once

#include "vst/vst24.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount);
  virtual ~AudioEffect();  // deletes the editor

  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  // Routes one dispatcher request (opcodes 0-24); anything else answers 0.
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  virtual void open() {}     // [dispatcher]
  virtual void close() {}    // [dispatcher] runs just before the object is deleted
  virtual void suspend() {}  // [dispatcher]
  virtual void resume() {}   // [dispatcher]

  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 size) { blockSize = size; }

  // [audio] Buffers of numInputs / numOutputs channels of sampleFrames each.
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}

  // Normalised values 0..1; index is within [0, numParams) by the time the
  // record's trampolines call these.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
  // setParameter, then tells the host the value changed.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  // Text buffers: the dispatcher passes buffers of at least 256 bytes and
  // copies the answers to the host bounded by the capacities of
  // text_bounds.h.
  virtual void setProgramName(char* /*name*/) {}
  virtual void getProgramName(char* name) { name[0] = '\0'; }
  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { label[0] = '\0'; }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { text[0] = '\0'; }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { text[0] = '\0'; }

  // Points *data at the state (owned by the object, valid until the next
  // call) and answers its size in bytes; 0 for none.
  virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/ = false) { return 0; }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) { return 0; }

  virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state = true) { SetFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state = true) { SetFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state = true) { SetFlag(effFlagsProgramChunks, state); }
  virtual void setInitialDelay(VstInt32 frames) { cEffect.initialDelay = frames; }

  virtual AEffEditor* getEditor() { return editor; }
  virtual AEffect* getAeffect() { return &cEffect; }
  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }

  // Host requests; without a host callback they send nothing and answer 0
  // unless noted.
  virtual VstInt32 getMasterVersion();  // 1 without a host or for an answer of 0
  virtual VstInt32 getCurrentUniqueId();
  virtual void masterIdle();

  // Display texts of at most maxLen characters; text holds maxLen + 1 bytes.
  virtual void dB2string(float value, char* text, VstInt32 maxLen);      // "-oo" for value <= 0
  virtual void Hz2string(float samples, char* text, VstInt32 maxLen);    // rate / samples
  virtual void ms2string(float samples, char* text, VstInt32 maxLen);    // samples as milliseconds
  virtual void float2string(float value, char* text, VstInt32 maxLen);   // see FloatToText
  virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);  // see IntToText

  // [audio] The accumulating call of older hosts; does nothing.
  virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
  virtual float getVu() { return 0.0f; }
  virtual void hasVu(bool state = true) { SetFlag(effFlagsHasVu, state); }
  virtual void hasClip(bool state = true) { SetFlag(effFlagsHasClip, state); }
  virtual void canMono(bool state = true) { SetFlag(effFlagsCanMono, state); }
  virtual void setRealtimeQualities(VstInt32 qualities) { cEffect.realQualities = qualities; }
  virtual void setOfflineQualities(VstInt32 qualities) { cEffect.offQualities = qualities; }
  // true unless the host says the pin is not connected (also without host).
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);

  // Attaches (or with null detaches) the editor, which the object then
  // owns, and sets effFlagsHasEditor accordingly.
  void setEditor(AEffEditor* newEditor);
  // Hands events to the host; true when the host answers 1.
  bool sendVstEventsToHost(VstEvents* events);

 protected:
  // Calls the host with this object's record; 0 without a host callback.
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void SetFlag(VstInt32 flag, bool state);

  audioMasterCallback audioMaster;
  AEffEditor* editor = nullptr;  // owned
  float sampleRate = 44100.0f;
  VstInt32 blockSize = 1024;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 curProgram = 0;
  AEffect cEffect;
};
