// MorvoxHost: what the script needs from whatever plug-in format hosts it.
// Each format's adapter implements it once; the runtime and the effect see
// the host only through it, so they know nothing of any plug-in format.
//
// The services a format has no way to offer keep the neutral default here
// (0, 0.0, false, nothing done).
#pragma once

#include <cstdint>

namespace VSTGUI {
class CDrawContext;
}  // namespace VSTGUI

class MorvoxHost {
 public:
  virtual ~MorvoxHost() = default;

  // [any thread] The stream's settings as the host last gave them.
  virtual double SampleRate() = 0;
  virtual std::int32_t BlockSize() = 0;
  virtual std::int32_t NumInputs() = 0;

  // [audio] Tempo and transport. Each answers the neutral value while the
  // host gives no time information.
  virtual double Tempo() = 0;
  // False, and the outputs untouched, without time information.
  virtual bool TempoAndSignature(double& tempo, double& numerator, double& denominator) = 0;
  virtual bool IsPlaying() = 0;
  virtual bool IsRecording() = 0;
  virtual double PlayPosition() = 0;  // quarter notes
  virtual double BarStart() = 0;      // quarter notes

  virtual void SetLatency(std::int32_t /*samples*/) {}
  // Parameter names, ranges or displays changed; the host should read them again.
  virtual void UpdateDisplay() {}

  // [gui] Parameter-changed notices for edits made in the editor, by host
  // parameter index: a gesture's begin, each new value (normalised 0 … 1;
  // the editor has set it already), its end.
  virtual void BeginEdit(std::int32_t /*index*/) {}
  virtual void ParameterChanged(std::int32_t /*index*/, double /*normalised*/) {}
  virtual void EndEdit(std::int32_t /*index*/) {}
  // Sets a parameter and tells the host as automation; true when done.
  virtual bool SetParameterAutomated(std::int32_t /*index*/, double /*normalised*/) { return false; }

  // Host identity and requests some formats know; true / 1 when answered.
  virtual bool SetIsSynth(bool /*flag*/) { return false; }
  virtual bool HostVendorString(char* /*text*/) { return false; }
  virtual bool HostProductString(char* /*text*/) { return false; }
  virtual std::int32_t HostVendorVersion() { return 0; }
  virtual std::int32_t HostLanguage() { return 0; }
  virtual std::int32_t MasterVersion() { return 0; }
  virtual std::int32_t CurrentUniqueId() { return 0; }
  virtual bool MasterIdle() { return false; }

  // MIDI to and from the host; the sends answer true when handed over.
  virtual bool SendMidiEvent(std::int32_t /*deltaFrames*/, int /*byte0*/, int /*byte1*/, int /*byte2*/) {
    return false;
  }
  virtual bool SendSysexEvent(std::int32_t /*deltaFrames*/, char* /*data*/, std::int32_t /*size*/) {
    return false;
  }
  // Next received MIDI event; false with all outputs 0 when none is waiting.
  virtual bool ReadMidiEvent(double& deltaFrames, double& byte0, double& byte1, double& byte2) {
    deltaFrames = byte0 = byte1 = byte2 = 0;
    return false;
  }

  // [gui] Editor requests. The draw context is set only while the editor's
  // script view paints.
  virtual void RequestEditorRedraw() {}
  virtual VSTGUI::CDrawContext* DrawContext() { return nullptr; }
  // The open or openable editor's size; false without an editor.
  virtual bool EditorSize(std::int32_t& /*width*/, std::int32_t& /*height*/) { return false; }
  // Selects a font of the face in the current draw context; 0 without one.
  virtual int SetFont(const char* /*face*/, int /*size*/, int /*style*/) { return 0; }
};
