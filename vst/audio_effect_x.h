// AudioEffectX: the VST 2.x extensions over AudioEffect. Adds the requests
// of opcodes 25-79 and the matching host requests, each with a neutral
// default. Host requests answer 0 / false without a host callback.
// Threads as in AudioEffect: [dispatcher] unless marked.
#pragma once

#include "vst/audio_effect.h"
#include "vst/vst24.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback hostCallback, VstInt32 programCount, VstInt32 paramCount)
      : AudioEffect(hostCallback, programCount, paramCount) {}

  // Opcodes 25-79; everything else goes to AudioEffect::dispatcher.
  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
  // Asks the host for MIDI events when the effect is a synth or receives
  // MIDI (canDo "receiveVstMidiEvent" answers 1).
  void resume() override;

  virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
  virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*properties*/) {
    return false;
  }
  virtual bool beginEdit(VstInt32 index);  // [gui] the user starts changing a parameter
  virtual bool endEdit(VstInt32 index);    // [gui]
  virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
    return false;
  }
  virtual bool beginSetProgram() { return false; }
  virtual bool endSetProgram() { return false; }
  virtual VstInt32 beginLoadBank(VstPatchChunkInfo* /*info*/) { return 0; }
  virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* /*info*/) { return 0; }

  virtual bool ioChanged();
  // The host's rate / block size when it gives a positive one; answers the
  // stored value either way.
  virtual double updateSampleRate();
  virtual VstInt32 updateBlockSize();
  virtual VstInt32 getInputLatency();
  virtual VstInt32 getOutputLatency();
  virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
  virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) { return false; }
  virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*input*/, VstSpeakerArrangement* /*output*/) {
    return false;
  }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
  virtual bool setBypass(bool /*on*/) { return false; }
  virtual bool setPanLaw(VstInt32 /*type*/, float /*value*/) { return false; }
  virtual bool setProcessPrecision(VstInt32 /*precision*/) { return false; }
  virtual VstInt32 getNumMidiInputChannels() { return 0; }
  virtual VstInt32 getNumMidiOutputChannels() { return 0; }

  // [audio or dispatcher] The host's record (owned by the host, valid until
  // the next request) or null. filter: the VstTimeInfoFlags wanted.
  virtual VstTimeInfo* getTimeInfo(VstInt32 filter);
  virtual VstInt32 getCurrentProcessLevel();
  virtual VstInt32 getAutomationState();
  virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }  // [audio]
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }
  virtual bool processVariableIo(VstVariableIo* /*io*/) { return false; }
  virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }

  // The host writes into text (at least 64 bytes); false for a null text.
  virtual bool getHostVendorString(char* text);
  virtual bool getHostProductString(char* text);
  virtual VstInt32 getHostVendorVersion();
  virtual VstIntPtr hostVendorSpecific(VstInt32 first, VstIntPtr second, void* ptr, float opt);
  virtual bool canHostDo(char* text);
  virtual VstInt32 getHostLanguage();
  virtual void isSynth(bool state = true) { SetFlag(effFlagsIsSynth, state); }
  virtual void noTail(bool state = true) { SetFlag(effFlagsNoSoundInStop, state); }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual void* getDirectory();

  // Text answers: the dispatcher passes 256-byte buffers and bounds the copy
  // to the host (text_bounds.h).
  virtual bool getEffectName(char* /*name*/) { return false; }
  virtual bool getVendorString(char* /*text*/) { return false; }
  virtual bool getProductString(char* /*text*/) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstIntPtr vendorSpecific(VstInt32 /*index*/, VstIntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
    return 0;
  }
  // 1 can do, -1 cannot, 0 does not know.
  virtual VstInt32 canDo(char* /*text*/) { return 0; }
  virtual VstInt32 getVstVersion() { return kVstVersion; }
  virtual VstPlugCategory getPlugCategory();

  virtual VstInt32 getMidiProgramName(VstInt32 /*channel*/, VstMidiProgramName* /*name*/) { return 0; }
  virtual VstInt32 getCurrentMidiProgram(VstInt32 /*channel*/, VstMidiProgramName* /*name*/) { return -1; }
  virtual VstInt32 getMidiProgramCategory(VstInt32 /*channel*/, VstMidiProgramCategory* /*category*/) {
    return 0;
  }
  virtual bool hasMidiProgramsChanged(VstInt32 /*channel*/) { return false; }
  virtual bool getMidiKeyName(VstInt32 /*channel*/, VstMidiKeyName* /*keyName*/) { return false; }

  virtual bool updateDisplay();                              // asks the host to re-read names and values
  virtual bool sizeWindow(VstInt32 width, VstInt32 height);  // [gui]
  virtual bool openFileSelector(VstFileSelect* selector);    // [gui]
  virtual bool closeFileSelector(VstFileSelect* selector);   // [gui]
  virtual VstInt32 getNextShellPlugin(char* /*name*/) { return 0; }

  // Speaker arrangements made here are heap blocks with room for every
  // channel (never fewer than the record's 8); release them only with
  // deallocateArrangement.
  virtual bool allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels);
  virtual bool deallocateArrangement(VstSpeakerArrangement** arrangement);
  virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
  virtual bool matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);

  virtual bool offlineRead(VstOfflineTask* task, VstOfflineOption option, bool readSource = true);
  virtual bool offlineWrite(VstOfflineTask* task, VstOfflineOption option);
  virtual bool offlineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount);
  virtual VstInt32 offlineGetCurrentPass();
  virtual VstInt32 offlineGetCurrentMetaPass();
  virtual bool offlineNotify(VstAudioFile* /*files*/, VstInt32 /*count*/, bool /*start*/) { return false; }
  virtual bool offlinePrepare(VstOfflineTask* /*tasks*/, VstInt32 /*count*/) { return false; }
  virtual bool offlineRun(VstOfflineTask* /*tasks*/, VstInt32 /*count*/) { return false; }
  virtual VstInt32 offlineGetNumPasses() { return 0; }
  virtual VstInt32 offlineGetNumMetaPasses() { return 0; }

  // Requests of VST 2.3 and older that the interface keeps for old hosts.
  virtual void wantEvents(VstInt32 filter = 1);
  virtual VstInt32 tempoAt(VstInt32 position);
  virtual VstInt32 getNumAutomatableParameters();
  virtual VstInt32 getParameterQuantization();
  virtual VstInt32 getNumCategories() { return 1; }
  virtual bool copyProgram(VstInt32 /*destination*/) { return false; }
  virtual bool needIdle();
  virtual AEffect* getPreviousPlug(VstInt32 input);
  virtual AEffect* getNextPlug(VstInt32 output);
  virtual void inputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual void outputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual VstInt32 willProcessReplacing();
  virtual void wantAsyncOperation(bool state = true) { SetFlag(effFlagsExtIsAsync, state); }
  virtual void hasExternalBuffer(bool state = true) { SetFlag(effFlagsExtHasBuffer, state); }
  virtual VstInt32 reportCurrentPosition() { return 0; }
  virtual float* reportDestinationBuffer() { return nullptr; }
  virtual bool setOutputSamplerate(float rate);
  virtual VstSpeakerArrangement* getInputSpeakerArrangement();
  virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
  virtual void* openWindow(VstWindow* window);
  virtual bool closeWindow(VstWindow* window);
  virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate) {
    blockSize = size;
    sampleRate = rate;
  }
  virtual bool getErrorText(char* /*text*/) { return false; }
  virtual void* getIcon() { return nullptr; }
  virtual bool setViewPosition(VstInt32 /*x*/, VstInt32 /*y*/) { return false; }
  virtual VstInt32 fxIdle() { return 0; }
  virtual bool keysRequired() { return false; }
  virtual bool getChunkFile(void* nativePath);
};
