// What vornhost tells a plug-in about itself and the transport: the
// audioMaster callback and the time information it hands out.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "vst/vst24.h"

namespace vornhost {

// Transport as given on the command line.
struct Transport {
  double tempo = 120.0;  // beats per minute
  int timeSigNumerator = 4;
  int timeSigDenominator = 4;
  bool playing = true;
};

// One per plug-in instance. The plug-in reaches it through AEffect::user,
// which the host owns; during the entry-point call (no AEffect yet) through
// the instance being constructed on this thread.
class HostContext {
 public:
  HostContext();

  void SetTransport(const Transport& transport);
  void SetSampleRate(double sampleRate);
  void SetBlockSize(int blockSize) { blockSize_ = blockSize; }
  double sampleRate() const { return sampleRate_; }
  int blockSize() const { return blockSize_; }

  // [audio] Moves the time information to the first frame of the next block.
  // Touches only this object: no allocation, no system call.
  void SetPosition(double samplePos);
  const VstTimeInfo& timeInfo() const { return time_; }

  // One edit the plug-in reported: audioMasterBeginEdit, audioMasterAutomate
  // (value: the normalised value) or audioMasterEndEdit.
  struct EditCall {
    VstInt32 opcode;
    VstInt32 index;
    float value;
    bool duringProcessing;  // inside one of our process calls
  };
  // Off by default, so plug-ins automating from their audio thread make the
  // host allocate nothing there.
  void RecordEdits(bool on) { recordEdits_.store(on); }
  std::vector<EditCall> editCalls() const;
  // [audio] Brackets each process call, to tell where edits come from.
  void SetProcessing(bool on) { processing_.store(on, std::memory_order_relaxed); }

  // [gui] The size the plug-in's editor last asked for through
  // audioMasterSizeWindow since the last call (false when none).
  bool TakeWindowSizeRequest(int& width, int& height);

  // Counters for the validator.
  std::uint64_t timeRequests() const { return timeRequests_.load(); }
  std::uint64_t unknownOpcodes() const { return unknownOpcodes_.load(); }

  // The audioMaster callback handed to every entry point.
  static VstIntPtr VSTCALLBACK Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt);

  // Marks this thread as constructing a plug-in that belongs to context, so
  // calls with a null or not yet registered AEffect reach it.
  static void BeginConstruction(HostContext* context);
  static void EndConstruction();

 private:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  Transport transport_;
  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  VstTimeInfo time_{};
  // Atomic: the plug-in may call from its audio and its dispatcher thread.
  std::atomic<std::uint64_t> timeRequests_{0};
  std::atomic<std::uint64_t> unknownOpcodes_{0};
  std::atomic<bool> recordEdits_{false};
  std::atomic<bool> processing_{false};
  std::atomic<bool> sizeRequested_{false};
  std::atomic<int> requestedWidth_{0};
  std::atomic<int> requestedHeight_{0};
  mutable std::mutex editMutex_;
  std::vector<EditCall> edits_;
};

}  // namespace vornhost
