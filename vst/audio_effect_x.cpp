#include "vst/audio_effect_x.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vst/aeff_editor.h"
#include "vst/dispatch_guard.h"
#include "vst/text_bounds.h"

namespace {

VstIntPtr Answer(bool result) {
  return result ? 1 : 0;
}

// The low byte of the integer part of a float from the host; 0 for a value
// that has no 32-bit integer (NaN, huge), whose conversion is undefined.
unsigned char LowByteOf(float value) {
  const double v = value;
  if (!(v > -2147483649.0 && v < 2147483648.0)) return 0;
  return static_cast<unsigned char>(static_cast<VstInt32>(v) & 0xFF);
}

VstKeyCode KeyCodeOf(VstInt32 index, VstIntPtr value, float opt) {
  VstKeyCode key{};
  key.character = index;
  key.virt = static_cast<unsigned char>(value & 0xFF);
  key.modifier = LowByteOf(opt);
  return key;
}

}  // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  const auto value32 = static_cast<VstInt32>(value);
  switch (opcode) {
    case effProcessEvents:
      // A null list or a negative count holds no event; processEvents
      // gets it as it is and ignores it, with its usual answer.
      return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
      if (!IsParameterIndex(&cEffect, index)) return 0;
      return Answer(canParameterBeAutomated(index));
    case effString2Parameter: {
      if (text == nullptr || !IsParameterIndex(&cEffect, index)) return 0;
      TextScratch input;
      CopyBounded(input.data, text, TextScratch::kSize);
      return Answer(string2parameter(index, input.data));
    }
    case effGetProgramNameIndexed: {
      if (text == nullptr) return 0;
      TextScratch name;
      const bool known = getProgramNameIndexed(value32, index, name.data);
      name.AnswerTo(text, kProgramNameCapacity);
      return Answer(known);
    }
    case effGetInputProperties:
      if (ptr == nullptr) return 0;
      return Answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
      if (ptr == nullptr) return 0;
      return Answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
      return getPlugCategory();
    case effOfflineNotify:
      return Answer(offlineNotify(static_cast<VstAudioFile*>(ptr), value32, index != 0));
    case effOfflinePrepare:
      return Answer(offlinePrepare(static_cast<VstOfflineTask*>(ptr), value32));
    case effOfflineRun:
      return Answer(offlineRun(static_cast<VstOfflineTask*>(ptr), value32));
    case effProcessVarIo:
      if (ptr == nullptr) return 0;
      return Answer(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement: {
      auto* input = reinterpret_cast<VstSpeakerArrangement*>(value);
      if (input == nullptr || ptr == nullptr) return 0;
      return Answer(setSpeakerArrangement(input, static_cast<VstSpeakerArrangement*>(ptr)));
    }
    case effSetBypass:
      return Answer(setBypass(value != 0));
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString: {
      if (text == nullptr) return 0;
      TextScratch answer;
      bool known = false;
      std::size_t capacity = kEffectNameCapacity;
      if (opcode == effGetEffectName) {
        known = getEffectName(answer.data);
      } else if (opcode == effGetVendorString) {
        known = getVendorString(answer.data);
        capacity = kVendorStringCapacity;
      } else {
        known = getProductString(answer.data);
        capacity = kProductStringCapacity;
      }
      answer.AnswerTo(text, capacity);
      return Answer(known);
    }
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo: {
      if (text == nullptr) return 0;
      TextScratch question;
      CopyBounded(question.data, text, TextScratch::kSize);
      return canDo(question.data);
    }
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      if (ptr == nullptr || !IsParameterIndex(&cEffect, index)) return 0;
      return Answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
      if (editor == nullptr) return 0;
      VstKeyCode key = KeyCodeOf(index, value, opt);
      return Answer(opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key));
    }
    case effSetEditKnobMode:
      if (editor == nullptr) return 0;
      return Answer(editor->setKnobMode(value32));
    case effGetMidiProgramName:
      if (ptr == nullptr) return 0;
      return getMidiProgramName(index, static_cast<VstMidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
      if (ptr == nullptr) return 0;
      return getCurrentMidiProgram(index, static_cast<VstMidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
      if (ptr == nullptr) return 0;
      return getMidiProgramCategory(index, static_cast<VstMidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
      return Answer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
      if (ptr == nullptr) return 0;
      return Answer(getMidiKeyName(index, static_cast<VstMidiKeyName*>(ptr)));
    case effBeginSetProgram:
      return Answer(beginSetProgram());
    case effEndSetProgram:
      return Answer(endSetProgram());
    case effGetSpeakerArrangement: {
      auto* input = reinterpret_cast<VstSpeakerArrangement**>(value);
      if (input == nullptr || ptr == nullptr) return 0;
      return Answer(getSpeakerArrangement(input, static_cast<VstSpeakerArrangement**>(ptr)));
    }
    case effShellGetNextPlugin: {
      if (text == nullptr) return 0;
      TextScratch name;
      const VstInt32 id = getNextShellPlugin(name.data);
      name.AnswerTo(text, kShellPluginNameCapacity);
      return id;
    }
    case effStartProcess:
      return startProcess();
    case effStopProcess:
      return stopProcess();
    case effSetTotalSampleToProcess:
      return setTotalSampleToProcess(value32);
    case effSetPanLaw:
      return Answer(setPanLaw(value32, opt));
    case effBeginLoadBank:
      if (ptr == nullptr) return 0;
      return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
      if (ptr == nullptr) return 0;
      return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision:
      return Answer(setProcessPrecision(value32));
    case effGetNumMidiInputChannels:
      return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
      return getNumMidiOutputChannels();
    default:
      return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

void AudioEffectX::resume() {
  char question[] = "receiveVstMidiEvent";
  if ((cEffect.flags & effFlagsIsSynth) != 0 || canDo(question) == 1) wantEvents(1);
}

bool AudioEffectX::beginEdit(VstInt32 index) {
  return CallHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(VstInt32 index) {
  return CallHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::ioChanged() {
  return CallHost(audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate() {
  const VstIntPtr rate = CallHost(audioMasterGetSampleRate);
  if (rate > 0) sampleRate = static_cast<float>(rate);
  return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
  const VstIntPtr size = CallHost(audioMasterGetBlockSize);
  if (size > 0 && FitsInt32(size)) blockSize = static_cast<VstInt32>(size);
  return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() {
  return static_cast<VstInt32>(CallHost(audioMasterGetInputLatency));
}

VstInt32 AudioEffectX::getOutputLatency() {
  return static_cast<VstInt32>(CallHost(audioMasterGetOutputLatency));
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
  if (input != nullptr) *input = nullptr;
  if (output != nullptr) *output = nullptr;
  return false;
}

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
  return reinterpret_cast<VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
  return static_cast<VstInt32>(CallHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
  return static_cast<VstInt32>(CallHost(audioMasterGetAutomationState));
}

bool AudioEffectX::getHostVendorString(char* text) {
  return text != nullptr && CallHost(audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
  return text != nullptr && CallHost(audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
  return static_cast<VstInt32>(CallHost(audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 first, VstIntPtr second, void* ptr, float opt) {
  return CallHost(audioMasterVendorSpecific, first, second, ptr, opt);
}

bool AudioEffectX::canHostDo(char* text) {
  return text != nullptr && CallHost(audioMasterCanDo, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostLanguage() {
  return static_cast<VstInt32>(CallHost(audioMasterGetLanguage));
}

void* AudioEffectX::getDirectory() {
  return reinterpret_cast<void*>(CallHost(audioMasterGetDirectory));
}

VstPlugCategory AudioEffectX::getPlugCategory() {
  return (cEffect.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}

bool AudioEffectX::updateDisplay() {
  return CallHost(audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
  return CallHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::openFileSelector(VstFileSelect* selector) {
  return selector != nullptr && CallHost(audioMasterOpenFileSelector, 0, 0, selector) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* selector) {
  return selector != nullptr && CallHost(audioMasterCloseFileSelector, 0, 0, selector) != 0;
}

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels) {
  if (arrangement == nullptr || channels < 0) return false;
  deallocateArrangement(arrangement);
  // Never smaller than the record itself, so every field of it is ours.
  constexpr std::size_t kRecordChannels =
      sizeof(VstSpeakerArrangement::speakers) / sizeof(VstSpeakerProperties);
  const std::size_t slots = static_cast<std::size_t>(channels) > kRecordChannels
                                ? static_cast<std::size_t>(channels)
                                : kRecordChannels;
  // The channel count comes from the host: keep the size computation from
  // wrapping on 32-bit targets.
  const std::size_t header = offsetof(VstSpeakerArrangement, speakers);
  if (slots > (SIZE_MAX - header) / sizeof(VstSpeakerProperties)) return false;
  void* block = std::calloc(1, header + slots * sizeof(VstSpeakerProperties));
  if (block == nullptr) return false;
  *arrangement = static_cast<VstSpeakerArrangement*>(block);
  (*arrangement)->numChannels = channels;
  return true;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** arrangement) {
  if (arrangement == nullptr) return false;
  std::free(*arrangement);
  *arrangement = nullptr;
  return true;
}

bool AudioEffectX::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
  if (to == nullptr || from == nullptr) return false;
  if (to == from) return true;
  CopyBounded(to->name, from->name, kSpeakerNameCapacity);
  to->azimuth = from->azimuth;
  to->elevation = from->elevation;
  to->radius = from->radius;
  to->reserved = from->reserved;
  to->type = from->type;
  std::memcpy(to->future, from->future, sizeof to->future);
  return true;
}

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from) {
  if (to == nullptr || from == nullptr || from->numChannels < 0) return false;
  // Reallocating an arrangement onto itself would free the source first.
  if (*to == from) return true;
  if (!allocateArrangement(to, from->numChannels)) return false;
  (*to)->type = from->type;
  for (VstInt32 i = 0; i < from->numChannels; ++i) {
    if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i])) return false;
  }
  return true;
}

bool AudioEffectX::offlineRead(VstOfflineTask* task, VstOfflineOption option, bool readSource) {
  return CallHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* task, VstOfflineOption option) {
  return CallHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool AudioEffectX::offlineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount) {
  return CallHost(audioMasterOfflineStart, newFileCount, fileCount, files) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass() {
  return static_cast<VstInt32>(CallHost(audioMasterOfflineGetCurrentPass));
}

VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
  return static_cast<VstInt32>(CallHost(audioMasterOfflineGetCurrentMetaPass));
}

void AudioEffectX::wantEvents(VstInt32 filter) {
  CallHost(audioMasterWantMidi, 0, filter);
}

VstInt32 AudioEffectX::tempoAt(VstInt32 position) {
  return static_cast<VstInt32>(CallHost(audioMasterTempoAt, 0, position));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
  return static_cast<VstInt32>(CallHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
  return static_cast<VstInt32>(CallHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::needIdle() {
  return CallHost(audioMasterNeedIdle) != 0;
}

// The pin number is not part of these host requests.
AEffect* AudioEffectX::getPreviousPlug(VstInt32 /*input*/) {
  return reinterpret_cast<AEffect*>(CallHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32 /*output*/) {
  return reinterpret_cast<AEffect*>(CallHost(audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
  return static_cast<VstInt32>(CallHost(audioMasterWillReplaceOrAccumulate));
}

bool AudioEffectX::setOutputSamplerate(float rate) {
  return CallHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate) != 0;
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(CallHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
  return reinterpret_cast<VstSpeakerArrangement*>(CallHost(audioMasterGetOutputSpeakerArrangement));
}

void* AudioEffectX::openWindow(VstWindow* window) {
  return reinterpret_cast<void*>(CallHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) {
  return CallHost(audioMasterCloseWindow, 0, 0, window) != 0;
}

bool AudioEffectX::getChunkFile(void* nativePath) {
  return CallHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}
