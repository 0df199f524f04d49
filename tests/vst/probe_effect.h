// A recording host callback and a small effect and editor on the dispatcher
// base, for driving the base through its AEffect record as a host would.
#pragma once

#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "vst/aeff_editor.h"
#include "vst/audio_effect_x.h"

struct HostCall {
  AEffect* effect;
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  void* ptr;
  float opt;
};

// Records every request; answers from `answers` (0 for the rest). One fake
// host at a time: the callback reaches the newest one.
struct FakeHost {
  std::vector<HostCall> calls;
  std::map<VstInt32, VstIntPtr> answers;

  FakeHost() { current = this; }
  ~FakeHost() { current = nullptr; }

  static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt) {
    if (current == nullptr) return 0;
    current->calls.push_back({effect, opcode, index, value, ptr, opt});
    const auto answer = current->answers.find(opcode);
    return answer != current->answers.end() ? answer->second : 0;
  }
  int Count(VstInt32 opcode) const {
    int n = 0;
    for (const HostCall& call : calls) n += call.opcode == opcode ? 1 : 0;
    return n;
  }

  static inline FakeHost* current = nullptr;
};

class ProbeEditor : public AEffEditor {
 public:
  explicit ProbeEditor(AudioEffect* owner) : AEffEditor(owner) {}
  ~ProbeEditor() override { ++destroyed; }

  bool getRect(ERect** rect) override {
    *rect = &size;
    return true;
  }
  bool open(void* parent) override {
    AEffEditor::open(parent);
    return true;
  }
  void idle() override { ++idles; }
  bool onKeyDown(VstKeyCode& key) override {
    lastKey = key;
    return true;
  }
  bool onKeyUp(VstKeyCode& key) override {
    lastKey = key;
    return false;
  }
  bool setKnobMode(VstInt32 mode) override {
    knobMode = mode;
    return true;
  }
  void* Window() const { return systemWindow; }

  ERect size{0, 0, 480, 500};
  VstKeyCode lastKey{};
  VstInt32 knobMode = -1;
  int idles = 0;
  static inline int destroyed = 0;
};

class ProbeEffect : public AudioEffectX {
 public:
  explicit ProbeEffect(audioMasterCallback host = nullptr, VstInt32 programs = 3, VstInt32 params = 4)
      : AudioEffectX(host, programs, params) {}
  ~ProbeEffect() override { ++destroyed; }

  void open() override { log.push_back("open"); }
  void close() override {
    log.push_back("close");
    if (throwOnClose) throw std::runtime_error("close");
  }
  void suspend() override { log.push_back("suspend"); }
  void resume() override {
    log.push_back("resume");
    AudioEffectX::resume();
  }
  void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 frames) override {
    if (throwOnProcess) throw std::runtime_error("process");
    processedFrames += frames;
  }
  void setParameter(VstInt32 index, float value) override {
    log.push_back("set " + std::to_string(index));
    lastValue = value;
  }
  float getParameter(VstInt32 index) override {
    if (throwOnGetParameter) throw std::runtime_error("get");
    return 0.25f * static_cast<float>(index);
  }
  void getParameterName(VstInt32 /*index*/, char* text) override { std::strcpy(text, longText.c_str()); }
  void getProgramName(char* name) override { std::strcpy(name, longText.c_str()); }
  bool getEffectName(char* name) override {
    std::strcpy(name, longText.c_str());
    return true;
  }
  bool getVendorString(char* text) override {
    std::strcpy(text, longText.c_str());
    return true;
  }
  VstInt32 getChunk(void** data, bool isPreset) override {
    chunkPreset = isPreset;
    *data = chunk;
    return sizeof chunk;
  }
  VstInt32 setChunk(void* /*data*/, VstInt32 byteSize, bool isPreset) override {
    chunkPreset = isPreset;
    return byteSize;
  }
  VstInt32 canDo(char* text) override {
    return std::strcmp(text, "receiveVstMidiEvent") == 0 ? midiAnswer : 0;
  }

  // Access for checks.
  AEffect* Record() { return &cEffect; }
  VstInt32 Flags() const { return cEffect.flags; }

  std::vector<std::string> log;
  std::string longText = std::string(200, 'x');
  char chunk[12] = {};
  bool chunkPreset = false;
  float lastValue = -1.0f;
  VstInt32 processedFrames = 0;
  VstInt32 midiAnswer = 0;
  bool throwOnClose = false;
  bool throwOnProcess = false;
  bool throwOnGetParameter = false;
  static inline int destroyed = 0;
};

// A host's view: everything through the record's entry points.
inline VstIntPtr Dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}
