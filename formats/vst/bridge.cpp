// The bridge entries: each turns one adapter operation into work on the
// script object.
#include "formats/vst/bridge.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "formats/vst/editor_attach.h"
#include "formats/vst/hoxa.h"
#include "runtime/block_runner.h"
#include "runtime/editor_input.h"
#include "runtime/morvox.h"
#include "vst/text_bounds.h"

namespace {

TMorvox& Script(CHoxa* adapter) {
  return *adapter->script;
}

void Init(CHoxa* adapter) {
  TMorvox& script = Script(adapter);
  adapter->setNumInputs(script.channelCount);
  adapter->setNumOutputs(script.channelCount);
  adapter->setUniqueID(script.uniqueId);
  AttachEditor(adapter);
  adapter->programsAreChunks(true);
}

void Destroy(CHoxa* adapter) {
  delete adapter->script;
  adapter->script = nullptr;
}

void Open(CHoxa* adapter) {
  Script(adapter).OnReset();
}
void Suspend(CHoxa* adapter) {
  Script(adapter).OnSuspend();
}
void Resume(CHoxa* adapter) {
  Script(adapter).OnResume();
}
void Idle(CHoxa* adapter) {
  Script(adapter).OnIdle();
}
void Close(CHoxa* adapter) {
  Script(adapter).OnClose();
}
void Draw(CHoxa* adapter, double, double) {
  Script(adapter).OnGraphics();
}

void MouseDown(CHoxa* adapter, double x, double y, std::int32_t buttons) {
  morvox::EditorMouseDown(Script(adapter), x, y, buttons);
}

void MouseUp(CHoxa* adapter, double x, double y, std::int32_t buttons) {
  morvox::EditorMouseUp(Script(adapter), x, y, buttons);
}

void MouseMove(CHoxa* adapter, double x, double y, std::int32_t buttons) {
  morvox::EditorMouseMove(Script(adapter), x, y, buttons);
}

std::int32_t GetVendorVersion(CHoxa* adapter) {
  return Script(adapter).vendorVersion;
}

std::int32_t GetVendorString(CHoxa* adapter, char* text) {
  CopyBounded(text, Script(adapter).vendorString.c_str(), kVendorStringCapacity);
  return 1;
}

std::int32_t GetProductString(CHoxa* adapter, char* text) {
  CopyBounded(text, Script(adapter).productString.c_str(), kProductStringCapacity);
  return 1;
}

std::int32_t GetEffectName(CHoxa* adapter, char* text) {
  CopyBounded(text, Script(adapter).effectName.c_str(), kEffectNameCapacity);
  return 1;
}

std::int32_t GetProgramName(CHoxa* adapter, char* text) {
  CopyBounded(text, Script(adapter).programName.c_str(), kProgramNameCapacity);
  return 1;
}

void SetProgramName(CHoxa* adapter, const char* text) {
  if (text == nullptr) return;
  // Kept no longer than a host can read back.
  Script(adapter).programName.assign(text, strnlen(text, kProgramNameCapacity - 1));
}

std::int32_t GetProgramNameIndexed(CHoxa*, std::int32_t, std::int32_t, char*) {
  return 0;
}

double GetParameter(CHoxa* adapter, std::int32_t index) {
  return Script(adapter).GetNormalisedValue(index);
}

void SetParameter(CHoxa* adapter, std::int32_t index, double value) {
  Script(adapter).SetFromNormalisedValue(index, value);
}

void GetParameterName(CHoxa* adapter, std::int32_t index, char* text) {
  CopyBounded(text, Script(adapter).GetParameterNameText(index).c_str(), kParamNameCapacity);
}

void GetParameterLabel(CHoxa* adapter, std::int32_t index, char* text) {
  CopyBounded(text, Script(adapter).GetParameterLabelText(index).c_str(), kParamLabelCapacity);
}

void GetParameterDisplay(CHoxa* adapter, std::int32_t index, char* text) {
  CopyBounded(text, Script(adapter).GetParameterDisplayText(index).c_str(), kParamDisplayCapacity);
}

// The channel count is read once per loaded library, on the first call,
// from the adapter of the calling instance (thread-safe static init).
int ChannelCountOf(CHoxa* adapter) {
  MorvoxHost* plugin = adapter->script->plugin != nullptr ? adapter->script->plugin : adapter;
  return std::clamp(plugin->NumInputs(), 0, TMorvox::kChannelSlots);
}

void ProcessReplacing(CHoxa* adapter, float** inputs, float** outputs, std::int32_t frames) {
  static const int channels = ChannelCountOf(adapter);
  morvox::RunBlock(Script(adapter), channels, inputs, outputs, frames);
}

void ProcessDoubleReplacing(CHoxa* adapter, double** inputs, double** outputs, std::int32_t frames) {
  static const int channels = ChannelCountOf(adapter);
  morvox::RunBlock(Script(adapter), channels, inputs, outputs, frames);
}

std::int32_t GetChunkEntry(CHoxa* adapter, void** data, char preset) {
  if (data == nullptr) return 0;  // nowhere to hand the chunk to
  return Script(adapter).GetChunk(data, preset != 0);
}

// A size is trusted only with data behind it; nothing else is a chunk.
std::int32_t SetChunkEntry(CHoxa* adapter, void* data, std::int32_t size, char preset) {
  if (data == nullptr || size < 0) return 0;
  return Script(adapter).SetChunk(data, size, preset != 0);
}

}  // namespace

void FillMorvoxBridge(MorvoxBridge& bridge) {
  bridge = MorvoxBridge{};
  bridge.Init = Init;
  bridge.Destroy = Destroy;
  bridge.Open = Open;
  bridge.Suspend = Suspend;
  bridge.Resume = Resume;
  bridge.Idle = Idle;
  bridge.Close = Close;
  bridge.Draw = Draw;
  bridge.MouseDown = MouseDown;
  bridge.MouseUp = MouseUp;
  bridge.MouseMove = MouseMove;
  bridge.GetVendorVersion = GetVendorVersion;
  bridge.GetVendorString = GetVendorString;
  bridge.GetProductString = GetProductString;
  bridge.GetEffectName = GetEffectName;
  bridge.GetProgramName = GetProgramName;
  bridge.SetProgramName = SetProgramName;
  bridge.GetProgramNameIndexed = GetProgramNameIndexed;
  bridge.GetParameter = GetParameter;
  bridge.SetParameter = SetParameter;
  bridge.GetParameterName = GetParameterName;
  bridge.GetParameterLabel = GetParameterLabel;
  bridge.GetParameterDisplay = GetParameterDisplay;
  bridge.ProcessReplacing = ProcessReplacing;
  bridge.ProcessDoubleReplacing = ProcessDoubleReplacing;
  bridge.GetChunkEntry = GetChunkEntry;
  bridge.SetChunkEntry = SetChunkEntry;
}
