// The host services of the script, each a thin call on the adapter.
#include "runtime/morvox_hoxa.h"
#include "shell/hoxa.h"

namespace morvox {

namespace {

const VstTimeInfo* TimeInfo(CHoxa* plugin, VstInt32 filter) {
  return plugin != nullptr ? plugin->getTimeInfo(filter) : nullptr;
}

}  // namespace

double GetSampleRate(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getSampleRate() : 0.0;
}

std::int32_t GetBlockSize(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getBlockSize() : 0;
}

std::int32_t GetNumInputs(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getAeffect()->numInputs : 0;
}

double GetTempo(CHoxa* plugin) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstTempoValid);
  return info != nullptr ? info->tempo : 0.0;
}

bool GetTempoAndSignature(CHoxa* plugin, double& tempo, double& numerator, double& denominator) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstTempoValid | kVstTimeSigValid);
  if (info == nullptr) return false;
  tempo = info->tempo;
  numerator = info->timeSigNumerator;
  denominator = info->timeSigDenominator;
  return true;
}

bool IsPlaying(CHoxa* plugin) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstTransportPlaying);
  return info != nullptr && (info->flags & kVstTransportPlaying) != 0;
}

bool IsRecording(CHoxa* plugin) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstTransportRecording);
  return info != nullptr && (info->flags & kVstTransportRecording) != 0;
}

double GetPlayPosition(CHoxa* plugin) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstPpqPosValid);
  return info != nullptr ? info->ppqPos : 0.0;
}

double GetBarStart(CHoxa* plugin) {
  const VstTimeInfo* info = TimeInfo(plugin, kVstBarsValid);
  return info != nullptr ? info->barStartPos : 0.0;
}

void SetLatency(CHoxa* plugin, std::int32_t samples) {
  if (plugin != nullptr) plugin->setInitialDelay(samples);
}

void RequestDisplayUpdate(CHoxa* plugin) {
  if (plugin != nullptr) plugin->updateDisplay();
}

int SetParameterAutomated(CHoxa* plugin, std::int32_t index, double value) {
  if (plugin == nullptr) return 0;
  plugin->setParameterAutomated(index, static_cast<float>(value));
  return 1;
}

int SetIsSynth(CHoxa* plugin, bool flag) {
  if (plugin == nullptr) return 0;
  plugin->isSynth(flag);
  return 1;
}

int GetHostVendorString(CHoxa* plugin, char* text) {
  return plugin != nullptr && text != nullptr && plugin->getHostVendorString(text) ? 1 : 0;
}

int GetHostProductString(CHoxa* plugin, char* text) {
  return plugin != nullptr && text != nullptr && plugin->getHostProductString(text) ? 1 : 0;
}

std::int32_t GetHostVendorVersion(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getHostVendorVersion() : 0;
}
std::int32_t GetHostLanguage(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getHostLanguage() : 0;
}
std::int32_t GetMasterVersion(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getMasterVersion() : 0;
}
std::int32_t GetCurrentUniqueId(CHoxa* plugin) {
  return plugin != nullptr ? plugin->getCurrentUniqueId() : 0;
}

int MasterIdle(CHoxa* plugin) {
  if (plugin == nullptr) return 0;
  plugin->masterIdle();
  return 1;
}

int SendMidiEvent(CHoxa* plugin, std::int32_t deltaFrames, int byte0, int byte1, int byte2) {
  if (plugin == nullptr) return 0;
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
  plugin->sendVstEventsToHost(&list);
  return 1;
}

int SendSysexEvent(CHoxa* plugin, std::int32_t deltaFrames, char* data, std::int32_t size) {
  if (plugin == nullptr) return 0;
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = 32;
  event.deltaFrames = deltaFrames;
  event.dumpBytes = size;
  event.sysexDump = data;
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  plugin->sendVstEventsToHost(&list);
  return 1;
}

bool ReadMidiEvent(CHoxa* plugin, double& deltaFrames, double& byte0, double& byte1, double& byte2) {
  if (plugin == nullptr) {
    deltaFrames = byte0 = byte1 = byte2 = 0;
    return false;
  }
  return plugin->ReadMidiEvent(deltaFrames, byte0, byte1, byte2) != 0;
}

void BeginEdit(CHoxa* plugin, std::int32_t index) {
  if (plugin != nullptr) plugin->BeginParameterEdit(index);
}

void ReportEditedValue(CHoxa* plugin, std::int32_t index, double normalised) {
  if (plugin != nullptr) plugin->ParameterEdited(index, static_cast<float>(normalised));
}

void EndEdit(CHoxa* plugin, std::int32_t index) {
  if (plugin != nullptr) plugin->EndParameterEdit(index);
}

void RequestEditorRedraw(CHoxa* plugin) {
  if (plugin != nullptr) plugin->RequestEditorRedraw();
}

}  // namespace morvox
