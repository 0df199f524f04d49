#include "host/plugin_instance.h"

#include <cstring>

#include "host/host_error.h"

namespace vornhost {

namespace {

// Text answers get a generous buffer: plug-ins often write more than the
// interface's nominal 8, 24 or 64 characters.
constexpr std::size_t kTextBuffer = 512;

// A count beyond this is taken as garbage in the record.
constexpr int kMaxChannels = 256;
constexpr int kMaxParams = 100000;

}  // namespace

PluginInstance::PluginInstance(std::shared_ptr<PluginModule> module)
    : module_(std::move(module)), host_(std::make_unique<HostContext>()) {
  const std::string& path = module_->path();
  HostContext::BeginConstruction(host_.get());
  AEffect* effect = module_->entry()(&HostContext::Callback);
  HostContext::EndConstruction();
  if (effect == nullptr)
    throw HostError("'" + path + "' is not a VST 2.4 plug-in: its entry point returned null");
  if (effect->magic != kEffectMagic)
    throw HostError("'" + path + "' is not a VST 2.4 plug-in: the entry point's record has the wrong magic");
  if (effect->dispatcher == nullptr || effect->setParameter == nullptr || effect->getParameter == nullptr ||
      effect->processReplacing == nullptr)
    throw HostError("'" + path +
                    "' is not a usable VST 2.4 plug-in: its record lacks the dispatcher, "
                    "parameter or processReplacing functions");
  if (effect->numInputs < 0 || effect->numInputs > kMaxChannels || effect->numOutputs < 1 ||
      effect->numOutputs > kMaxChannels || effect->numParams < 0 || effect->numParams > kMaxParams ||
      effect->numPrograms < 0)
    throw HostError("'" + path + "' reports impossible channel, parameter or program counts");
  effect_ = effect;
  effect_->user = host_.get();
  Dispatch(effOpen);
}

PluginInstance::~PluginInstance() {
  if (effect_ == nullptr) return;
  if (resumed_) Suspend();
  Dispatch(effClose);
}

void PluginInstance::Setup(double sampleRate, int maxBlockSize) {
  if (resumed_) Suspend();
  host_->SetSampleRate(sampleRate);
  host_->SetBlockSize(maxBlockSize);
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(effSetBlockSize, 0, maxBlockSize);
}

void PluginInstance::Resume() {
  if (resumed_) return;
  Dispatch(effMainsChanged, 0, 1);
  Dispatch(effStartProcess);
  resumed_ = true;
}

void PluginInstance::Suspend() {
  if (!resumed_) return;
  Dispatch(effStopProcess);
  Dispatch(effMainsChanged, 0, 0);
  resumed_ = false;
}

std::string PluginInstance::Text(VstInt32 opcode, int index) {
  char buffer[kTextBuffer];
  std::memset(buffer, 0, sizeof buffer);
  Dispatch(opcode, index, 0, buffer);
  buffer[kTextBuffer - 1] = '\0';
  return buffer;
}

std::string PluginInstance::EffectName() {
  return Text(effGetEffectName, 0);
}
std::string PluginInstance::VendorName() {
  return Text(effGetVendorString, 0);
}
std::string PluginInstance::ProductName() {
  return Text(effGetProductString, 0);
}
int PluginInstance::VendorVersion() {
  return static_cast<int>(Dispatch(effGetVendorVersion));
}
int PluginInstance::VstVersion() {
  return static_cast<int>(Dispatch(effGetVstVersion));
}
int PluginInstance::Category() {
  return static_cast<int>(Dispatch(effGetPlugCategory));
}
int PluginInstance::TailSize() {
  return static_cast<int>(Dispatch(effGetTailSize));
}

bool PluginInstance::CanDo(const char* what) {
  return Dispatch(effCanDo, 0, 0, const_cast<char*>(what)) > 0;
}

std::string PluginInstance::ParamName(int index) {
  return Text(effGetParamName, index);
}
std::string PluginInstance::ParamLabel(int index) {
  return Text(effGetParamLabel, index);
}
std::string PluginInstance::ParamDisplay(int index) {
  return Text(effGetParamDisplay, index);
}

std::vector<char> PluginInstance::GetChunk(bool preset) {
  void* data = nullptr;
  VstIntPtr size = Dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const char* bytes = static_cast<const char*>(data);
  return std::vector<char>(bytes, bytes + size);
}

VstIntPtr PluginInstance::SetChunk(const std::vector<char>& chunk, bool preset) {
  // The plug-in may keep the pointer only for the call; give it a copy it may
  // scribble on.
  std::vector<char> copy = chunk;
  return Dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                  copy.empty() ? nullptr : copy.data());
}

PluginIdentity ProbePlugin(const std::shared_ptr<PluginModule>& module) {
  PluginInstance probe(module);
  return {probe.EffectName(), probe.CanDouble()};
}

}  // namespace vornhost
