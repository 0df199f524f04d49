// The host services of the script, each a thin call on the format adapter's
// MorvoxHost, with the neutral answer while there is none.
#include "runtime/morvox_hoxa.h"

namespace morvox {

double GetSampleRate(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->SampleRate() : 0.0;
}

std::int32_t GetBlockSize(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->BlockSize() : 0;
}

std::int32_t GetNumInputs(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->NumInputs() : 0;
}

double GetTempo(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->Tempo() : 0.0;
}

bool GetTempoAndSignature(MorvoxHost* plugin, double& tempo, double& numerator, double& denominator) {
  return plugin != nullptr && plugin->TempoAndSignature(tempo, numerator, denominator);
}

bool IsPlaying(MorvoxHost* plugin) {
  return plugin != nullptr && plugin->IsPlaying();
}

bool IsRecording(MorvoxHost* plugin) {
  return plugin != nullptr && plugin->IsRecording();
}

double GetPlayPosition(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->PlayPosition() : 0.0;
}

double GetBarStart(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->BarStart() : 0.0;
}

void SetLatency(MorvoxHost* plugin, std::int32_t samples) {
  if (plugin != nullptr) plugin->SetLatency(samples);
}

void RequestDisplayUpdate(MorvoxHost* plugin) {
  if (plugin != nullptr) plugin->UpdateDisplay();
}

int SetParameterAutomated(MorvoxHost* plugin, std::int32_t index, double value) {
  return plugin != nullptr && plugin->SetParameterAutomated(index, value) ? 1 : 0;
}

int SetIsSynth(MorvoxHost* plugin, bool flag) {
  return plugin != nullptr && plugin->SetIsSynth(flag) ? 1 : 0;
}

int GetHostVendorString(MorvoxHost* plugin, char* text) {
  return plugin != nullptr && text != nullptr && plugin->HostVendorString(text) ? 1 : 0;
}

int GetHostProductString(MorvoxHost* plugin, char* text) {
  return plugin != nullptr && text != nullptr && plugin->HostProductString(text) ? 1 : 0;
}

std::int32_t GetHostVendorVersion(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->HostVendorVersion() : 0;
}
std::int32_t GetHostLanguage(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->HostLanguage() : 0;
}
std::int32_t GetMasterVersion(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->MasterVersion() : 0;
}
std::int32_t GetCurrentUniqueId(MorvoxHost* plugin) {
  return plugin != nullptr ? plugin->CurrentUniqueId() : 0;
}

int MasterIdle(MorvoxHost* plugin) {
  return plugin != nullptr && plugin->MasterIdle() ? 1 : 0;
}

int SendMidiEvent(MorvoxHost* plugin, std::int32_t deltaFrames, int byte0, int byte1, int byte2) {
  return plugin != nullptr && plugin->SendMidiEvent(deltaFrames, byte0, byte1, byte2) ? 1 : 0;
}

int SendSysexEvent(MorvoxHost* plugin, std::int32_t deltaFrames, char* data, std::int32_t size) {
  return plugin != nullptr && plugin->SendSysexEvent(deltaFrames, data, size) ? 1 : 0;
}

bool ReadMidiEvent(MorvoxHost* plugin, double& deltaFrames, double& byte0, double& byte1, double& byte2) {
  if (plugin == nullptr) {
    deltaFrames = byte0 = byte1 = byte2 = 0;
    return false;
  }
  return plugin->ReadMidiEvent(deltaFrames, byte0, byte1, byte2);
}

void BeginEdit(MorvoxHost* plugin, std::int32_t index) {
  if (plugin != nullptr) plugin->BeginEdit(index);
}

void ReportEditedValue(MorvoxHost* plugin, std::int32_t index, double normalised) {
  if (plugin != nullptr) plugin->ParameterChanged(index, normalised);
}

void EndEdit(MorvoxHost* plugin, std::int32_t index) {
  if (plugin != nullptr) plugin->EndEdit(index);
}

void RequestEditorRedraw(MorvoxHost* plugin) {
  if (plugin != nullptr) plugin->RequestEditorRedraw();
}

}  // namespace morvox
