// CHoxa's side of MorvoxHost: each service answered from the VST 2.4 host
// through the dispatcher base.
#include <cstring>

#include "formats/vst/choxa_editor.h"
#include "formats/vst/hoxa.h"

double CHoxa::SampleRate() {
  return getSampleRate();
}

std::int32_t CHoxa::BlockSize() {
  return getBlockSize();
}

std::int32_t CHoxa::NumInputs() {
  return getAeffect()->numInputs;
}

const VstTimeInfo* CHoxa::TimeInfo(VstInt32 filter) {
  return getTimeInfo(filter);
}

double CHoxa::Tempo() {
  const VstTimeInfo* info = TimeInfo(kVstTempoValid);
  return info != nullptr ? info->tempo : 0.0;
}

bool CHoxa::TempoAndSignature(double& tempo, double& numerator, double& denominator) {
  const VstTimeInfo* info = TimeInfo(kVstTempoValid | kVstTimeSigValid);
  if (info == nullptr) return false;
  tempo = info->tempo;
  numerator = info->timeSigNumerator;
  denominator = info->timeSigDenominator;
  return true;
}

bool CHoxa::IsPlaying() {
  const VstTimeInfo* info = TimeInfo(kVstTransportPlaying);
  return info != nullptr && (info->flags & kVstTransportPlaying) != 0;
}

bool CHoxa::IsRecording() {
  const VstTimeInfo* info = TimeInfo(kVstTransportRecording);
  return info != nullptr && (info->flags & kVstTransportRecording) != 0;
}

double CHoxa::PlayPosition() {
  const VstTimeInfo* info = TimeInfo(kVstPpqPosValid);
  return info != nullptr ? info->ppqPos : 0.0;
}

double CHoxa::BarStart() {
  const VstTimeInfo* info = TimeInfo(kVstBarsValid);
  return info != nullptr ? info->barStartPos : 0.0;
}

void CHoxa::SetLatency(std::int32_t samples) {
  setInitialDelay(samples);
}

void CHoxa::UpdateDisplay() {
  updateDisplay();
}

void CHoxa::BeginEdit(std::int32_t index) {
  BeginParameterEdit(index);
}

void CHoxa::ParameterChanged(std::int32_t index, double normalised) {
  ParameterEdited(index, static_cast<float>(normalised));
}

void CHoxa::EndEdit(std::int32_t index) {
  EndParameterEdit(index);
}

bool CHoxa::SetParameterAutomated(std::int32_t index, double normalised) {
  setParameterAutomated(index, static_cast<float>(normalised));
  return true;
}

bool CHoxa::SetIsSynth(bool flag) {
  isSynth(flag);
  return true;
}

bool CHoxa::HostVendorString(char* text) {
  return getHostVendorString(text);
}

bool CHoxa::HostProductString(char* text) {
  return getHostProductString(text);
}

std::int32_t CHoxa::HostVendorVersion() {
  return getHostVendorVersion();
}

std::int32_t CHoxa::HostLanguage() {
  return getHostLanguage();
}

std::int32_t CHoxa::MasterVersion() {
  return getMasterVersion();
}

std::int32_t CHoxa::CurrentUniqueId() {
  return getCurrentUniqueId();
}

bool CHoxa::MasterIdle() {
  masterIdle();
  return true;
}

bool CHoxa::SendMidiEvent(std::int32_t deltaFrames, int byte0, int byte1, int byte2) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = deltaFrames;
  event.midiData[0] = static_cast<char>(byte0);
  event.midiData[1] = static_cast<char>(byte1);
  event.midiData[2] = static_cast<char>(byte2);
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  sendVstEventsToHost(&list);
  return true;
}

bool CHoxa::SendSysexEvent(std::int32_t deltaFrames, char* data, std::int32_t size) {
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = 32;
  event.deltaFrames = deltaFrames;
  event.dumpBytes = size;
  event.sysexDump = data;
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  sendVstEventsToHost(&list);
  return true;
}

VSTGUI::CDrawContext* CHoxa::DrawContext() {
  return drawContext;
}

bool CHoxa::EditorSize(std::int32_t& width, std::int32_t& height) {
  ERect* rect = nullptr;
  AEffEditor* editor = getEditor();
  if (editor == nullptr || !editor->getRect(&rect) || rect == nullptr) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return true;
}
