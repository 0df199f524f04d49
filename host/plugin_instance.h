// One open instance of a VST 2.4 plug-in: the AEffect record behind typed
// calls. The host sequence is open, sample rate, block size, resume,
// process..., suspend, close; the destructor finishes it from any point.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_callback.h"
#include "host/plugin_module.h"
#include "vst/vst24.h"

namespace vornhost {

class PluginInstance {
 public:
  // Calls the entry point and checks the record (magic, counts), then sends
  // effOpen. Throws HostError when the binary is not a usable plug-in.
  explicit PluginInstance(std::shared_ptr<PluginModule> module);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  AEffect* effect() const { return effect_; }
  HostContext& host() { return *host_; }
  const std::shared_ptr<PluginModule>& module() const { return module_; }

  // [dispatcher] Lifecycle. Setup calls suspend first when resumed.
  void Setup(double sampleRate, int maxBlockSize);
  void Resume();
  void Suspend();
  bool resumed() const { return resumed_; }

  // [dispatcher] Identity.
  std::string EffectName();
  std::string VendorName();
  std::string ProductName();
  int VendorVersion();
  int VstVersion();
  int Category();
  int TailSize();
  bool CanDo(const char* what);
  bool HasEditor() const { return (effect_->flags & effFlagsHasEditor) != 0; }
  bool CanDouble() const {
    return (effect_->flags & effFlagsCanDoubleReplacing) != 0 && effect_->processDoubleReplacing != nullptr;
  }
  bool UsesChunks() const { return (effect_->flags & effFlagsProgramChunks) != 0; }
  int numParams() const { return effect_->numParams; }
  int numInputs() const { return effect_->numInputs; }
  int numOutputs() const { return effect_->numOutputs; }

  // [dispatcher] Parameters: name, unit label, display text, normalised value.
  std::string ParamName(int index);
  std::string ParamLabel(int index);
  std::string ParamDisplay(int index);
  float GetParam(int index) { return effect_->getParameter(effect_, index); }
  void SetParam(int index, float value) { effect_->setParameter(effect_, index, value); }

  // [dispatcher] State: the chunk (preset flag true asks for the current
  // program only), empty when the plug-in has none. SetChunk answers the
  // plug-in's result.
  std::vector<char> GetChunk(bool preset);
  VstIntPtr SetChunk(const std::vector<char>& chunk, bool preset);

  // [audio] Processing with the host's buffers: numInputs and numOutputs
  // channel pointers. No allocation.
  void Process(float** in, float** out, int frames) {
    host_->SetProcessing(true);
    effect_->processReplacing(effect_, in, out, frames);
    host_->SetProcessing(false);
  }
  void Process(double** in, double** out, int frames) {
    host_->SetProcessing(true);
    effect_->processDoubleReplacing(effect_, in, out, frames);
    host_->SetProcessing(false);
  }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  }

 private:
  std::string Text(VstInt32 opcode, int index);

  std::shared_ptr<PluginModule> module_;
  std::unique_ptr<HostContext> host_;
  AEffect* effect_ = nullptr;
  bool resumed_ = false;
};

// What a command prints before it makes its own instances: the effect's
// name and whether it processes in double precision, from a short-lived
// instance that is closed again.
struct PluginIdentity {
  std::string name;
  bool canDouble = false;
};
PluginIdentity ProbePlugin(const std::shared_ptr<PluginModule>& module);

}  // namespace vornhost
