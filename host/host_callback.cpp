#include "host/host_callback.h"

#include <cmath>
#include <cstring>

namespace vornhost {

namespace {

thread_local HostContext* t_constructing = nullptr;

void CopyText(void* ptr, const char* text, std::size_t capacity) {
  if (ptr == nullptr) return;
  std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
  static_cast<char*>(ptr)[capacity - 1] = '\0';
}

}  // namespace

HostContext::HostContext() {
  SetPosition(0.0);
}

void HostContext::SetTransport(const Transport& transport) {
  transport_ = transport;
  SetPosition(time_.samplePos);
}

void HostContext::SetSampleRate(double sampleRate) {
  sampleRate_ = sampleRate;
  SetPosition(time_.samplePos);
}

void HostContext::SetPosition(double samplePos) {
  VstTimeInfo& t = time_;
  t.samplePos = samplePos;
  t.sampleRate = sampleRate_;
  double seconds = sampleRate_ > 0.0 ? samplePos / sampleRate_ : 0.0;
  t.nanoSeconds = seconds * 1e9;
  t.tempo = transport_.tempo;
  t.ppqPos = seconds * transport_.tempo / 60.0;
  // One bar holds numerator beats of 1/denominator notes, in quarter notes.
  double barLength = 4.0 * transport_.timeSigNumerator / transport_.timeSigDenominator;
  t.barStartPos = barLength > 0.0 ? std::floor(t.ppqPos / barLength) * barLength : 0.0;
  t.cycleStartPos = 0.0;
  t.cycleEndPos = 0.0;
  t.timeSigNumerator = transport_.timeSigNumerator;
  t.timeSigDenominator = transport_.timeSigDenominator;
  t.smpteOffset = 0;
  t.smpteFrameRate = 0;
  t.samplesToNextClock = 0;
  t.flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  if (transport_.playing) t.flags |= kVstTransportPlaying;
  if (samplePos == 0.0) t.flags |= kVstTransportChanged;
}

bool HostContext::TakeWindowSizeRequest(int& width, int& height) {
  if (!sizeRequested_.exchange(false)) return false;
  width = requestedWidth_.load();
  height = requestedHeight_.load();
  return true;
}

void HostContext::BeginConstruction(HostContext* context) {
  t_constructing = context;
}
void HostContext::EndConstruction() {
  t_constructing = nullptr;
}

VstIntPtr VSTCALLBACK HostContext::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt) {
  HostContext* context = nullptr;
  if (effect != nullptr && effect->user != nullptr) context = static_cast<HostContext*>(effect->user);
  if (context == nullptr) context = t_constructing;
  if (context == nullptr) {
    // A plug-in calling from a thread of its own before registration.
    return opcode == audioMasterVersion ? kVstVersion : 0;
  }
  return context->Answer(opcode, index, value, ptr, opt);
}

std::vector<HostContext::EditCall> HostContext::editCalls() const {
  std::lock_guard<std::mutex> lock(editMutex_);
  return edits_;
}

VstIntPtr HostContext::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  const bool edit =
      opcode == audioMasterBeginEdit || opcode == audioMasterAutomate || opcode == audioMasterEndEdit;
  if (edit && recordEdits_.load()) {
    std::lock_guard<std::mutex> lock(editMutex_);
    edits_.push_back({opcode, index, opt, processing_.load(std::memory_order_relaxed)});
  }
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      timeRequests_.fetch_add(1, std::memory_order_relaxed);
      return reinterpret_cast<VstIntPtr>(&time_);
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate_);
    case audioMasterGetBlockSize:
      return blockSize_;
    case audioMasterGetVendorString:
      CopyText(ptr, "Fenmoor", 64);
      return 1;
    case audioMasterGetProductString:
      CopyText(ptr, "vornhost", 64);
      return 1;
    case audioMasterGetVendorVersion:
      return 1000;
    case audioMasterGetLanguage:
      return 1;  // English
    case audioMasterGetAutomationState:
      return 1;  // off
    case audioMasterCanDo:
      return ptr != nullptr && std::strcmp(static_cast<const char*>(ptr), "sendVstTimeInfo") == 0 ? 1 : 0;
    case audioMasterSizeWindow:
      if (index <= 0 || value <= 0 || index > 32767 || value > 32767) return 0;
      requestedWidth_.store(index);
      requestedHeight_.store(static_cast<int>(value));
      sizeRequested_.store(true);
      return 1;
    case audioMasterAutomate:
    case audioMasterIdle:
    case audioMasterUpdateDisplay:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterIOChanged:
    case audioMasterCurrentId:
    case audioMasterWantMidi:
    case audioMasterGetCurrentProcessLevel:
    case audioMasterGetInputLatency:
    case audioMasterGetOutputLatency:
    case audioMasterProcessEvents:
    case audioMasterNeedIdle:
    case audioMasterGetDirectory:
      return 0;
    default:
      unknownOpcodes_.fetch_add(1, std::memory_order_relaxed);
      return 0;
  }
}

}  // namespace vornhost
