// CMorvoxHoxa: the script's link to its host, and the host services a script
// may call through it. Every service answers a neutral value (0, 0.0, false)
// and does nothing while `plugin` is null.
#pragma once

#include <cstdint>

#include "runtime/morvox_host.h"
#include "runtime/morvox_memory.h"

class CMorvoxHoxa : public CMorvoxMemory {
 public:
  // The format adapter's host services; not owned. Null until the entry
  // point stores it.
  MorvoxHost* plugin = nullptr;
};

namespace morvox {

// [any thread] Values the host gave the adapter.
double GetSampleRate(MorvoxHost* plugin);
std::int32_t GetBlockSize(MorvoxHost* plugin);
std::int32_t GetNumInputs(MorvoxHost* plugin);

// [audio] Transport, from the host's time information. When the host has
// none, the single-value services answer 0 / false.
double GetTempo(MorvoxHost* plugin);
// False, and the outputs untouched, when the host returns no time information.
bool GetTempoAndSignature(MorvoxHost* plugin, double& tempo, double& numerator, double& denominator);
bool IsPlaying(MorvoxHost* plugin);
bool IsRecording(MorvoxHost* plugin);
double GetPlayPosition(MorvoxHost* plugin);  // quarter notes
double GetBarStart(MorvoxHost* plugin);      // quarter notes

void SetLatency(MorvoxHost* plugin, std::int32_t samples);
void RequestDisplayUpdate(MorvoxHost* plugin);

// Wrappers the delay effect does not call; each answers 1 on success.
int SetParameterAutomated(MorvoxHost* plugin, std::int32_t index, double value);
int SetIsSynth(MorvoxHost* plugin, bool flag);
int GetHostVendorString(MorvoxHost* plugin, char* text);
int GetHostProductString(MorvoxHost* plugin, char* text);
std::int32_t GetHostVendorVersion(MorvoxHost* plugin);
std::int32_t GetHostLanguage(MorvoxHost* plugin);
std::int32_t GetMasterVersion(MorvoxHost* plugin);
std::int32_t GetCurrentUniqueId(MorvoxHost* plugin);
int MasterIdle(MorvoxHost* plugin);
int SendMidiEvent(MorvoxHost* plugin, std::int32_t deltaFrames, int byte0, int byte1, int byte2);
int SendSysexEvent(MorvoxHost* plugin, std::int32_t deltaFrames, char* data, std::int32_t size);
// Next received MIDI event; false with all outputs 0 when none is waiting.
bool ReadMidiEvent(MorvoxHost* plugin, double& deltaFrames, double& byte0, double& byte1, double& byte2);

// [gui] Edits the user makes in the interface, by host parameter index:
// begin at the press, each new value (normalised, 0 … 1) while it changes,
// end at the release. The host records them as automation and undo steps.
// Called from the graphics section only, never from the audio thread.
void BeginEdit(MorvoxHost* plugin, std::int32_t index);
void ReportEditedValue(MorvoxHost* plugin, std::int32_t index, double normalised);
void EndEdit(MorvoxHost* plugin, std::int32_t index);

// [gui] Asks the editor's script view to redraw its whole area; nothing
// when there is no adapter, editor or view.
void RequestEditorRedraw(MorvoxHost* plugin);

}  // namespace morvox
