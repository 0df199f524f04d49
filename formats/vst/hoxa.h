// CHoxa: the VST 2.4 plug-in object the host talks to. Every host operation
// goes through its copy of MorvoxBridge to the script object; the adapter
// keeps no audio or parameter state of its own. It is the script's
// MorvoxHost and its editor's ScriptViewClient.
//
// Owns: the script object (deleted through the Destroy entry), the editor
// (through the base), the font descriptions in fontCache, the MIDI ring.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/script_view_client.h"
#include "formats/vst/bridge.h"
#include "runtime/morvox_host.h"
#include "vst/audio_effect_x.h"

class TMorvox;
namespace VSTGUI {
class CDrawContext;
class CFontDesc;
}  // namespace VSTGUI

class CHoxa : public AudioEffectX, public MorvoxHost, public ScriptViewClient {
 public:
  static constexpr int kMidiRingSize = 1000;

  // Use CreateHoxa.
  CHoxa(TMorvox* script, const MorvoxBridge& bridge, audioMasterCallback audioMaster, VstInt32 numPrograms,
        VstInt32 numParams);
  ~CHoxa() override;

  void open() override;
  void close() override;
  void suspend() override;
  void resume() override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  VstInt32 processEvents(VstEvents* events) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override;
  VstInt32 canDo(char* text) override;

  // MorvoxHost (formats/vst/hoxa_host_services.cpp), from the VST host's answers.
  double SampleRate() override;
  std::int32_t BlockSize() override;
  std::int32_t NumInputs() override;
  double Tempo() override;
  bool TempoAndSignature(double& tempo, double& numerator, double& denominator) override;
  bool IsPlaying() override;
  bool IsRecording() override;
  double PlayPosition() override;
  double BarStart() override;
  void SetLatency(std::int32_t samples) override;
  void UpdateDisplay() override;
  void BeginEdit(std::int32_t index) override;
  void ParameterChanged(std::int32_t index, double normalised) override;
  void EndEdit(std::int32_t index) override;
  bool SetIsSynth(bool flag) override;
  bool HostVendorString(char* text) override;
  bool HostProductString(char* text) override;
  std::int32_t HostVendorVersion() override;
  std::int32_t HostLanguage() override;
  std::int32_t MasterVersion() override;
  std::int32_t CurrentUniqueId() override;
  bool MasterIdle() override;
  bool SendMidiEvent(std::int32_t deltaFrames, int byte0, int byte1, int byte2) override;
  bool SendSysexEvent(std::int32_t deltaFrames, char* data, std::int32_t size) override;
  // [any, single reader] Takes the next received MIDI event out of the
  // ring; false with all outputs 0 when the ring is empty.
  bool ReadMidiEvent(double& deltaFrames, double& byte0, double& byte1, double& byte2) override;
  // [gui] Asks the editor's script view to redraw; nothing without one.
  void RequestEditorRedraw() override;
  VSTGUI::CDrawContext* DrawContext() override;
  bool EditorSize(std::int32_t& width, std::int32_t& height) override;
  // [gui] Selects a font of the face in the current draw context; 0 when
  // there is none.
  int SetFont(const char* face, int size, int style) override;
  bool SetParameterAutomated(std::int32_t index, double normalised) override;

  // [gui] The interface's edits of parameter `index`, told to the host as
  // audioMasterBeginEdit, audioMasterAutomate (the normalised value; the
  // interface has already set it, so it is not set again) and
  // audioMasterEndEdit. An index outside the parameters is ignored, and so
  // is a second begin, or an end, of an edit that is not open. Never called
  // from the audio thread. MorvoxHost's edit notices come here.
  void BeginParameterEdit(VstInt32 index);
  void ParameterEdited(VstInt32 index, float normalised);
  void EndParameterEdit(VstInt32 index);
  // [gui] Ends every open edit (the editor closes mid-drag).
  void EndOpenParameterEdits();

  // ScriptViewClient (formats/vst/hoxa_graphics.cpp): the editor's events through
  // the bridge.
  void ViewIdle() override;
  void ViewPaint(VSTGUI::CDrawContext* context, double width, double height) override;
  void ViewMouseDown(double x, double y, std::int32_t buttons) override;
  void ViewMouseUp(double x, double y, std::int32_t buttons) override;
  void ViewMouseMoved(double x, double y, std::int32_t buttons) override;
  void ViewKeyDown(std::int32_t character, std::int32_t modifier, std::int32_t virtualKey) override;
  void ViewKeyUp(std::int32_t character, std::int32_t modifier, std::int32_t virtualKey) override;
  void ViewClosing() override;

  const MorvoxBridge& Bridge() const { return bridge; }

 private:
  const VstTimeInfo* TimeInfo(VstInt32 filter);
  void ReleaseFonts();  // one reference per cached font description

 public:
  TMorvox* script;
  VSTGUI::CDrawContext* drawContext = nullptr;  // set only while the script view paints
  std::int32_t midiWriteIndex = 0;
  std::int32_t midiReadIndex = 0;
  std::vector<VSTGUI::CFontDesc*> fontCache;  // newest last, one reference each
  std::vector<VstMidiEvent> midiEvents;
  std::vector<char> openEdits;  // per parameter: 1 between begin and end
  MorvoxBridge bridge;
};

// Asks the host for its version and builds the adapter; null (and nothing
// built) when the host answers 0.
CHoxa* CreateHoxa(TMorvox* script, const MorvoxBridge& bridge, audioMasterCallback audioMaster,
                  VstInt32 numPrograms, VstInt32 numParams);
