#include "formats/vst/hoxa.h"

#include <algorithm>
#include <cstring>

#include "runtime/morvox.h"
#include "vst/aeff_editor.h"

CHoxa* CreateHoxa(TMorvox* script, const MorvoxBridge& bridge, audioMasterCallback audioMaster,
                  VstInt32 numPrograms, VstInt32 numParams) {
  if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
    return nullptr;
  }
  return new CHoxa(script, bridge, audioMaster, numPrograms, numParams);
}

CHoxa::CHoxa(TMorvox* scriptObject, const MorvoxBridge& table, audioMasterCallback audioMaster,
             VstInt32 numPrograms, VstInt32 numParams)
    : AudioEffectX(audioMaster, numPrograms, numParams),
      script(scriptObject),
      midiEvents(kMidiRingSize, VstMidiEvent{}),
      openEdits(static_cast<std::size_t>(numParams > 0 ? numParams : 0), 0),
      bridge(table) {
  canProcessReplacing(true);
  canDoubleReplacing(true);
  if (bridge.Init != nullptr) bridge.Init(this);
}

CHoxa::~CHoxa() {
  // The editor goes first, while the script and this object are whole; its
  // open edits end without a word to a host that is closing us.
  std::fill(openEdits.begin(), openEdits.end(), 0);
  AEffEditor* closing = editor;
  setEditor(nullptr);
  delete closing;
  ReleaseFonts();
  if (bridge.Destroy != nullptr) bridge.Destroy(this);
  script = nullptr;
  std::vector<VstMidiEvent>().swap(midiEvents);
  std::vector<VSTGUI::CFontDesc*>().swap(fontCache);
}

void CHoxa::open() {
  if (bridge.Open != nullptr) bridge.Open(this);
}

void CHoxa::close() {
  if (bridge.Close != nullptr) bridge.Close(this);
}

void CHoxa::suspend() {
  if (bridge.Suspend != nullptr) bridge.Suspend(this);
}

void CHoxa::resume() {
  AudioEffectX::resume();
  if (bridge.Resume != nullptr) bridge.Resume(this);
}

void CHoxa::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (bridge.ProcessReplacing != nullptr) bridge.ProcessReplacing(this, inputs, outputs, sampleFrames);
}

void CHoxa::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (bridge.ProcessDoubleReplacing != nullptr) {
    bridge.ProcessDoubleReplacing(this, inputs, outputs, sampleFrames);
  }
}

void CHoxa::setParameter(VstInt32 index, float value) {
  if (bridge.SetParameter != nullptr) bridge.SetParameter(this, index, static_cast<double>(value));
}

float CHoxa::getParameter(VstInt32 index) {
  return bridge.GetParameter != nullptr ? static_cast<float>(bridge.GetParameter(this, index)) : 0.0f;
}

void CHoxa::setProgramName(char* name) {
  if (bridge.SetProgramName != nullptr && name != nullptr) bridge.SetProgramName(this, name);
}

void CHoxa::getProgramName(char* name) {
  if (bridge.GetProgramName != nullptr) bridge.GetProgramName(this, name);
}

void CHoxa::getParameterLabel(VstInt32 index, char* label) {
  if (bridge.GetParameterLabel != nullptr) bridge.GetParameterLabel(this, index, label);
}

void CHoxa::getParameterDisplay(VstInt32 index, char* text) {
  if (bridge.GetParameterDisplay != nullptr) bridge.GetParameterDisplay(this, index, text);
}

void CHoxa::getParameterName(VstInt32 index, char* text) {
  if (bridge.GetParameterName != nullptr) bridge.GetParameterName(this, index, text);
}

VstInt32 CHoxa::getChunk(void** data, bool isPreset) {
  if (bridge.GetChunkEntry == nullptr) return 0;
  return bridge.GetChunkEntry(this, data, static_cast<char>(isPreset));
}

VstInt32 CHoxa::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  if (bridge.SetChunkEntry == nullptr) return 0;
  return bridge.SetChunkEntry(this, data, byteSize, static_cast<char>(isPreset));
}

bool CHoxa::getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
  if (bridge.GetProgramNameIndexed == nullptr) return false;
  return bridge.GetProgramNameIndexed(this, category, index, text) != 0;
}

VstInt32 CHoxa::processEvents(VstEvents* events) {
  // Events are accepted whatever the list holds: the answer is always 1.
  if (events == nullptr) return 1;
  // The record declares two entries; the host's list holds numEvents, so
  // they are read through a pointer, not as the two-entry array.
  VstEvent* const* entries = events->events;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = entries[i];
    if (event == nullptr || event->type != kVstMidiType) continue;
    VstMidiEvent& slot = midiEvents[static_cast<std::size_t>(midiWriteIndex)];
    std::memcpy(&slot, event, sizeof(VstMidiEvent));
    slot.type = kVstMidiType;
    midiWriteIndex += 1;
    if (midiWriteIndex >= kMidiRingSize) midiWriteIndex = 0;
  }
  return 1;
}

bool CHoxa::ReadMidiEvent(double& deltaFrames, double& byte0, double& byte1, double& byte2) {
  if (midiReadIndex == midiWriteIndex || midiReadIndex < 0 || midiReadIndex >= kMidiRingSize) {
    deltaFrames = byte0 = byte1 = byte2 = 0;
    return false;
  }
  const VstMidiEvent& event = midiEvents[static_cast<std::size_t>(midiReadIndex)];
  deltaFrames = event.deltaFrames;
  byte0 = static_cast<signed char>(event.midiData[0]);
  byte1 = static_cast<signed char>(event.midiData[1]);
  byte2 = static_cast<signed char>(event.midiData[2]);
  midiReadIndex += 1;
  if (midiReadIndex >= kMidiRingSize) midiReadIndex = 0;
  return true;
}

bool CHoxa::getEffectName(char* name) {
  return bridge.GetEffectName != nullptr && bridge.GetEffectName(this, name) != 0;
}

bool CHoxa::getVendorString(char* text) {
  return bridge.GetVendorString != nullptr && bridge.GetVendorString(this, text) != 0;
}

bool CHoxa::getProductString(char* text) {
  return bridge.GetProductString != nullptr && bridge.GetProductString(this, text) != 0;
}

VstInt32 CHoxa::getVendorVersion() {
  return bridge.GetVendorVersion != nullptr ? bridge.GetVendorVersion(this) : 0;
}

VstInt32 CHoxa::canDo(char* text) {
  if (text == nullptr) return 0;
  // An exact match, terminator included.
  if (std::strcmp(text, "receiveVstMidiEvent") == 0) return cEffect.flags | 0x100;
  return -1;
}

void CHoxa::BeginParameterEdit(VstInt32 index) {
  if (index < 0 || static_cast<std::size_t>(index) >= openEdits.size()) return;
  char& open = openEdits[static_cast<std::size_t>(index)];
  if (open != 0) return;
  open = 1;
  beginEdit(index);
}

void CHoxa::ParameterEdited(VstInt32 index, float normalised) {
  if (index < 0 || static_cast<std::size_t>(index) >= openEdits.size()) return;
  CallHost(audioMasterAutomate, index, 0, nullptr, normalised);
}

void CHoxa::EndParameterEdit(VstInt32 index) {
  if (index < 0 || static_cast<std::size_t>(index) >= openEdits.size()) return;
  char& open = openEdits[static_cast<std::size_t>(index)];
  if (open == 0) return;
  open = 0;
  endEdit(index);
}

void CHoxa::EndOpenParameterEdits() {
  for (std::size_t i = 0; i < openEdits.size(); ++i) EndParameterEdit(static_cast<VstInt32>(i));
}
