#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/vst/probe_effect.h"

namespace {

// An effect the host holds through its record and releases with effClose.
class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    probe = new ProbeEffect(FakeHost::Callback);
    e = probe->getAeffect();
  }
  void TearDown() override {
    if (probe != nullptr) Dispatch(e, effClose);
  }
  // Closes the instance as a host does; the object is gone afterwards.
  VstIntPtr Close() {
    probe = nullptr;
    return Dispatch(e, effClose);
  }

  FakeHost host;
  ProbeEffect* probe = nullptr;
  AEffect* e = nullptr;
};

TEST_F(DispatcherTest, RecordAsConstructed) {
  EXPECT_EQ(e->magic, 0x56737450);
  EXPECT_EQ(e->object, static_cast<AudioEffect*>(probe));
  EXPECT_EQ(e->numPrograms, 3);
  EXPECT_EQ(e->numParams, 4);
  EXPECT_EQ(e->numInputs, 1);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->uniqueID, 0x4E6F4566);
  EXPECT_EQ(e->version, 1);
  EXPECT_EQ(e->flags, 0x10);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_TRUE(e->dispatcher && e->process && e->setParameter && e->getParameter && e->processReplacing &&
              e->processDoubleReplacing);
  for (char byte : e->future) EXPECT_EQ(byte, 0);
  EXPECT_EQ(probe->getSampleRate(), 44100.0f);
  EXPECT_EQ(probe->getBlockSize(), 1024);
}

TEST_F(DispatcherTest, FixedAnswersAndUnhandledOpcodes) {
  EXPECT_EQ(Dispatch(e, effIdentify), 0x4E764566);
  EXPECT_EQ(Dispatch(e, effGetVstVersion), 2400);
  EXPECT_EQ(Dispatch(e, effGetPlugCategory), kPlugCategUnknown);
  probe->isSynth(true);
  EXPECT_EQ(Dispatch(e, effGetPlugCategory), kPlugCategSynth);
  for (VstInt32 opcode :
       {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 81, 1000, -1}) {
    EXPECT_EQ(Dispatch(e, opcode, 1, 1), 0) << "opcode " << opcode;
  }
}

TEST_F(DispatcherTest, BaseDefaultsThroughTheExtendedTable) {
  char text[64] = "q";
  VstPinProperties pin{};
  VstParameterProperties properties{};
  struct Row {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    VstIntPtr expected;
  };
  const Row rows[] = {
      {effCanBeAutomated, 0, 0, nullptr, 1},
      {effCanBeAutomated, 4, 0, nullptr, 0},  // index past the last
      {effString2Parameter, 0, 0, text, 0},
      {effGetInputProperties, 0, 0, &pin, 0},
      {effGetParameterProperties, 1, 0, &properties, 0},
      {effGetTailSize, 0, 0, nullptr, 0},
      {effGetVendorVersion, 0, 0, nullptr, 0},
      {effCanDo, 0, 0, text, 0},
      {effSetBypass, 0, 1, nullptr, 0},
      {effGetCurrentMidiProgram, 0, 0, text, -1},
      {effSetTotalSampleToProcess, 0, 1234, nullptr, 1234},
      {effStartProcess, 0, 0, nullptr, 0},
      {effSetProcessPrecision, 0, 1, nullptr, 0},
      {effGetNumMidiInputChannels, 0, 0, nullptr, 0},
      {effBeginSetProgram, 0, 0, nullptr, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Dispatch(e, row.opcode, row.index, row.value, row.ptr), row.expected)
        << "opcode " << row.opcode;
  }
}

TEST_F(DispatcherTest, LifecycleAndCloseDeletesTheObject) {
  const int before = ProbeEffect::destroyed;
  Dispatch(e, effOpen);
  Dispatch(e, effMainsChanged, 0, 5);
  Dispatch(e, effMainsChanged, 0, 0);
  EXPECT_EQ(probe->log, (std::vector<std::string>{"open", "resume", "suspend"}));
  EXPECT_EQ(Close(), 1);
  EXPECT_EQ(ProbeEffect::destroyed, before + 1);
}

TEST_F(DispatcherTest, ProgramsRatesAndBlockSizes) {
  Dispatch(e, effSetProgram, 0, 2);
  EXPECT_EQ(Dispatch(e, effGetProgram), 2);
  Dispatch(e, effSetProgram, 0, 3);   // past the last program
  Dispatch(e, effSetProgram, 0, -1);  // negative
  EXPECT_EQ(Dispatch(e, effGetProgram), 2);
  Dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Dispatch(e, effSetBlockSize, 0, 256);
  EXPECT_EQ(probe->getSampleRate(), 48000.0f);
  EXPECT_EQ(probe->getBlockSize(), 256);
}

TEST_F(DispatcherTest, ChunkPresetFlagAndSize) {
  void* data = nullptr;
  EXPECT_EQ(Dispatch(e, effGetChunk, 7, 0, &data), 12);
  EXPECT_TRUE(probe->chunkPreset);
  EXPECT_EQ(data, probe->chunk);
  Dispatch(e, effGetChunk, 0, 0, &data);
  EXPECT_FALSE(probe->chunkPreset);
  char bytes[8] = {};
  EXPECT_EQ(Dispatch(e, effSetChunk, 1, 8, bytes), 8);
  EXPECT_TRUE(probe->chunkPreset);
  EXPECT_EQ(Dispatch(e, effSetChunk, 0, -8, bytes), 0);  // a negative size never reaches setChunk
}

TEST_F(DispatcherTest, TextAnswersAreBoundedPerRequest) {
  char text[256];
  const auto answerLength = [&](VstInt32 opcode, VstInt32 index = 0) {
    std::memset(text, '#', sizeof text);
    Dispatch(e, opcode, index, 0, text);
    return std::strlen(text);
  };
  EXPECT_EQ(answerLength(effGetParamName), 63u);
  EXPECT_EQ(answerLength(effGetProgramName), 23u);
  EXPECT_EQ(answerLength(effGetEffectName), 31u);
  EXPECT_EQ(answerLength(effGetVendorString), 63u);
  EXPECT_EQ(answerLength(effGetParamLabel), 0u);    // base default: empty
  EXPECT_EQ(answerLength(effGetParamName, 4), 0u);  // index past the last: empty
  EXPECT_EQ(answerLength(effGetParamName, -1), 0u);
}

TEST_F(DispatcherTest, EditorRequests) {
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, &host), 0);  // no editor yet
  EXPECT_EQ(Dispatch(e, effEditKeyDown, 'a', 0x41), 0);
  auto* editor = new ProbeEditor(probe);
  probe->setEditor(editor);
  EXPECT_EQ(probe->Flags() & effFlagsHasEditor, effFlagsHasEditor);

  ERect* rect = nullptr;
  EXPECT_EQ(Dispatch(e, effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 500);
  EXPECT_EQ(Dispatch(e, effEditOpen, 0, 0, &host), 1);
  EXPECT_EQ(editor->Window(), &host);
  Dispatch(e, effEditIdle);
  EXPECT_EQ(editor->idles, 1);

  EXPECT_EQ(Dispatch(e, effEditKeyDown, 'a', 0x141, nullptr, 3.0f), 1);
  EXPECT_EQ(editor->lastKey.character, 'a');
  EXPECT_EQ(editor->lastKey.virt, 0x41);
  EXPECT_EQ(editor->lastKey.modifier, 3);
  EXPECT_EQ(Dispatch(e, effEditKeyUp, 'b', 0x12, nullptr, std::nanf("")), 0);
  EXPECT_EQ(editor->lastKey.character, 'b');
  EXPECT_EQ(editor->lastKey.modifier, 0);  // no integer for NaN
  EXPECT_EQ(Dispatch(e, effSetEditKnobMode, 0, 2), 1);
  EXPECT_EQ(editor->knobMode, 2);
  Dispatch(e, effEditClose);
  EXPECT_EQ(editor->Window(), nullptr);

  const int before = ProbeEditor::destroyed;
  EXPECT_EQ(Close(), 1);
  EXPECT_EQ(ProbeEditor::destroyed, before + 1);
}

TEST_F(DispatcherTest, ParametersAndProcessingThroughTheRecord) {
  e->setParameter(e, 2, 0.5f);
  EXPECT_EQ(probe->lastValue, 0.5f);
  EXPECT_EQ(e->getParameter(e, 3), 0.75f);
  e->setParameter(e, 4, 0.9f);  // index past the last: ignored
  EXPECT_EQ(probe->lastValue, 0.5f);
  EXPECT_EQ(e->getParameter(e, -1), 0.0f);

  float left[4] = {}, right[4] = {};
  float* channels[2] = {left, right};
  e->processReplacing(e, channels, channels, 4);
  EXPECT_EQ(probe->processedFrames, 4);
  e->processReplacing(e, channels, nullptr, 4);  // no outputs: not called
  e->processReplacing(e, nullptr, channels, 4);  // inputs declared but missing
  EXPECT_EQ(probe->processedFrames, 4);
  e->processReplacing(e, nullptr, nullptr, -4);  // no frames: passed on without buffers
  EXPECT_EQ(probe->processedFrames, 0);
}

TEST_F(DispatcherTest, NoExceptionReachesTheHost) {
  probe->throwOnGetParameter = true;
  probe->throwOnProcess = true;
  EXPECT_EQ(e->getParameter(e, 1), 0.0f);
  float buffer[2] = {};
  float* channels[2] = {buffer, buffer};
  e->processReplacing(e, channels, channels, 2);
  const int before = ProbeEffect::destroyed;
  probe->throwOnClose = true;
  EXPECT_EQ(Close(), 1);  // the host lets go of it all the same
  EXPECT_EQ(ProbeEffect::destroyed, before + 1);
}

TEST_F(DispatcherTest, NullPointersAnswerZero) {
  auto* editor = new ProbeEditor(probe);
  probe->setEditor(editor);
  for (VstInt32 opcode : {effSetProgramName,
                          effGetProgramName,
                          effGetParamLabel,
                          effGetParamDisplay,
                          effGetParamName,
                          effEditGetRect,
                          effEditOpen,
                          effGetChunk,
                          effSetChunk,
                          effProcessEvents,
                          effString2Parameter,
                          effGetProgramNameIndexed,
                          effGetInputProperties,
                          effGetOutputProperties,
                          effProcessVarIo,
                          effSetSpeakerArrangement,
                          effGetEffectName,
                          effGetVendorString,
                          effGetProductString,
                          effCanDo,
                          effGetParameterProperties,
                          effGetMidiProgramName,
                          effGetCurrentMidiProgram,
                          effGetMidiProgramCategory,
                          effGetMidiKeyName,
                          effGetSpeakerArrangement,
                          effShellGetNextPlugin,
                          effBeginLoadBank,
                          effBeginLoadProgram}) {
    EXPECT_EQ(Dispatch(e, opcode, 0, 16, nullptr), 0) << "opcode " << opcode;
  }
  VstEvents badList{};
  badList.numEvents = -3;
  EXPECT_EQ(Dispatch(e, effProcessEvents, 0, 0, &badList), 0);
}

TEST(RecordWithoutObject, AnswersZero) {
  ProbeEffect* probe = new ProbeEffect();
  AEffect* e = probe->getAeffect();
  void* object = e->object;
  e->object = nullptr;
  EXPECT_EQ(Dispatch(e, effIdentify), 0);
  EXPECT_EQ(Dispatch(e, effClose), 0);
  EXPECT_EQ(e->getParameter(e, 0), 0.0f);
  e->setParameter(e, 0, 1.0f);
  EXPECT_EQ(e->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(e->getParameter(nullptr, 0), 0.0f);
  e->processReplacing(nullptr, nullptr, nullptr, 16);
  e->object = object;
  EXPECT_EQ(Dispatch(e, effClose), 1);
}

TEST_F(DispatcherTest, ResumeAsksForMidiOnlyForSynthsAndMidiReceivers) {
  Dispatch(e, effMainsChanged, 0, 1);
  EXPECT_EQ(host.Count(audioMasterWantMidi), 0);
  probe->midiAnswer = 4401;  // positive but not 1
  Dispatch(e, effMainsChanged, 0, 1);
  EXPECT_EQ(host.Count(audioMasterWantMidi), 0);
  probe->midiAnswer = 1;
  Dispatch(e, effMainsChanged, 0, 1);
  probe->midiAnswer = 0;
  probe->isSynth(true);
  Dispatch(e, effMainsChanged, 0, 1);
  ASSERT_EQ(host.Count(audioMasterWantMidi), 2);
  EXPECT_EQ(host.calls.back().value, 1);
}

}  // namespace
