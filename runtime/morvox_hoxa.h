// CMorvoxHoxa: the script's link to its host adapter, and the host services
// a script may call through it. Every service answers a neutral value (0,
// 0.0, false) and does nothing while `plugin` is null.
#pragma once

#include <cstdint>

#include "runtime/morvox_memory.h"

class CHoxa;

class CMorvoxHoxa : public CMorvoxMemory {
 public:
  // The adapter; not owned. Null until the entry point stores it.
  CHoxa* plugin = nullptr;
};

namespace morvox {

// [any thread] Values the host gave the adapter.
double GetSampleRate(CHoxa* plugin);
std::int32_t GetBlockSize(CHoxa* plugin);
std::int32_t GetNumInputs(CHoxa* plugin);

// [audio] Transport, from the host's time information. When the host has
// none, the single-value services answer 0 / false.
double GetTempo(CHoxa* plugin);
// False, and the outputs untouched, when the host returns no time information.
bool GetTempoAndSignature(CHoxa* plugin, double& tempo, double& numerator, double& denominator);
bool IsPlaying(CHoxa* plugin);
bool IsRecording(CHoxa* plugin);
double GetPlayPosition(CHoxa* plugin);  // quarter notes
double GetBarStart(CHoxa* plugin);      // quarter notes

void SetLatency(CHoxa* plugin, std::int32_t samples);
void RequestDisplayUpdate(CHoxa* plugin);

// Wrappers the delay effect does not call; each answers 1 on success.
int SetParameterAutomated(CHoxa* plugin, std::int32_t index, double value);
int SetIsSynth(CHoxa* plugin, bool flag);
int GetHostVendorString(CHoxa* plugin, char* text);
int GetHostProductString(CHoxa* plugin, char* text);
std::int32_t GetHostVendorVersion(CHoxa* plugin);
std::int32_t GetHostLanguage(CHoxa* plugin);
std::int32_t GetMasterVersion(CHoxa* plugin);
std::int32_t GetCurrentUniqueId(CHoxa* plugin);
int MasterIdle(CHoxa* plugin);
int SendMidiEvent(CHoxa* plugin, std::int32_t deltaFrames, int byte0, int byte1, int byte2);
int SendSysexEvent(CHoxa* plugin, std::int32_t deltaFrames, char* data, std::int32_t size);
// Next received MIDI event; false with all outputs 0 when none is waiting.
bool ReadMidiEvent(CHoxa* plugin, double& deltaFrames, double& byte0, double& byte1, double& byte2);

// [gui] Edits the user makes in the interface, by host parameter index:
// begin at the press, each new value (normalised, 0 … 1) while it changes,
// end at the release. The host records them as automation and undo steps.
// Called from the graphics section only, never from the audio thread.
void BeginEdit(CHoxa* plugin, std::int32_t index);
void ReportEditedValue(CHoxa* plugin, std::int32_t index, double normalised);
void EndEdit(CHoxa* plugin, std::int32_t index);

// [gui] Asks the editor's script view to redraw its whole area; nothing
// when there is no adapter, editor or view.
void RequestEditorRedraw(CHoxa* plugin);

}  // namespace morvox
