#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/vst/probe_effect.h"

namespace {

TEST(HostRequests, WithoutHostCallbackSendNothingAndAnswerNeutral) {
  ProbeEffect probe(nullptr);
  char text[64] = "";
  EXPECT_EQ(probe.getMasterVersion(), 1);
  EXPECT_TRUE(probe.isInputConnected(0));
  EXPECT_TRUE(probe.isOutputConnected(1));
  EXPECT_EQ(probe.getCurrentUniqueId(), 0);
  EXPECT_EQ(probe.getTimeInfo(kVstTempoValid), nullptr);
  EXPECT_FALSE(probe.updateDisplay());
  EXPECT_FALSE(probe.beginEdit(0));
  EXPECT_FALSE(probe.getHostVendorString(text));
  EXPECT_FALSE(probe.sendVstEventsToHost(nullptr));
  EXPECT_EQ(probe.updateSampleRate(), 44100.0);
  EXPECT_EQ(probe.updateBlockSize(), 1024);
  probe.setParameterAutomated(1, 0.5f);  // still sets the parameter
  EXPECT_EQ(probe.lastValue, 0.5f);
}

TEST(HostRequests, ArgumentsReachTheHost) {
  FakeHost host;
  ProbeEffect probe(FakeHost::Callback);
  VstTimeInfo info{};
  host.answers[audioMasterGetTime] = reinterpret_cast<VstIntPtr>(&info);
  host.answers[audioMasterUpdateDisplay] = 1;
  host.answers[audioMasterSizeWindow] = 1;

  probe.setParameterAutomated(3, 0.25f);
  EXPECT_EQ(probe.getTimeInfo(kVstTempoValid | kVstTimeSigValid), &info);
  EXPECT_TRUE(probe.updateDisplay());
  EXPECT_TRUE(probe.sizeWindow(500, 480));
  probe.hostVendorSpecific(7, 8, &info, 1.5f);
  probe.offlineRead(nullptr, kVstOfflinePeaks, true);
  probe.offlineStart(nullptr, 4, 2);

  ASSERT_EQ(host.calls.size(), 7u);
  EXPECT_EQ(probe.log.back(), "set 3");  // setParameter before the host hears of it
  const HostCall expected[] = {
      {probe.Record(), audioMasterAutomate, 3, 0, nullptr, 0.25f},
      {probe.Record(), audioMasterGetTime, 0, 9216, nullptr, 0.0f},
      {probe.Record(), audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f},
      {probe.Record(), audioMasterSizeWindow, 500, 480, nullptr, 0.0f},
      {probe.Record(), audioMasterVendorSpecific, 7, 8, &info, 1.5f},
      {probe.Record(), audioMasterOfflineRead, 1, kVstOfflinePeaks, nullptr, 0.0f},
      {probe.Record(), audioMasterOfflineStart, 2, 4, nullptr, 0.0f},
  };
  for (std::size_t i = 0; i < host.calls.size(); ++i) {
    const HostCall& call = host.calls[i];
    const HostCall& want = expected[i];
    EXPECT_TRUE(call.effect == want.effect && call.opcode == want.opcode && call.index == want.index &&
                call.value == want.value && call.ptr == want.ptr && call.opt == want.opt)
        << "call " << i << ": opcode " << call.opcode;
  }
}

TEST(HostRequests, AnswersAreInterpreted) {
  FakeHost host;
  ProbeEffect probe(FakeHost::Callback);
  EXPECT_EQ(probe.getMasterVersion(), 1);  // a host answering 0
  host.answers[audioMasterVersion] = 2400;
  EXPECT_EQ(probe.getMasterVersion(), 2400);

  EXPECT_TRUE(probe.isInputConnected(3));  // host answers 0: connected
  EXPECT_EQ(host.calls.back().index, 3);
  EXPECT_EQ(host.calls.back().value, 0);
  host.answers[audioMasterPinConnected] = 1;
  EXPECT_FALSE(probe.isOutputConnected(1));
  EXPECT_EQ(host.calls.back().value, 1);

  host.answers[audioMasterGetSampleRate] = 48000;
  host.answers[audioMasterGetBlockSize] = -5;  // not positive: kept
  EXPECT_EQ(probe.updateSampleRate(), 48000.0);
  EXPECT_EQ(probe.getSampleRate(), 48000.0f);
  EXPECT_EQ(probe.updateBlockSize(), 1024);

  VstEvents events{};
  host.answers[audioMasterProcessEvents] = 2;
  EXPECT_FALSE(probe.sendVstEventsToHost(&events));
  host.answers[audioMasterProcessEvents] = 1;
  EXPECT_TRUE(probe.sendVstEventsToHost(&events));
  EXPECT_EQ(host.calls.back().ptr, &events);

  const std::size_t sent = host.calls.size();
  EXPECT_FALSE(probe.canHostDo(nullptr));  // null texts never reach the host
  EXPECT_FALSE(probe.getHostProductString(nullptr));
  EXPECT_FALSE(probe.openFileSelector(nullptr));
  EXPECT_EQ(host.calls.size(), sent);
}

TEST(Flags, EachSetterSetsAndClearsItsBit) {
  ProbeEffect probe;
  using Setter = std::function<void(ProbeEffect&, bool)>;
  const std::pair<VstInt32, Setter> setters[] = {
      {effFlagsHasClip, [](ProbeEffect& p, bool on) { p.hasClip(on); }},
      {effFlagsHasVu, [](ProbeEffect& p, bool on) { p.hasVu(on); }},
      {effFlagsCanMono, [](ProbeEffect& p, bool on) { p.canMono(on); }},
      {effFlagsCanReplacing, [](ProbeEffect& p, bool on) { p.canProcessReplacing(on); }},
      {effFlagsProgramChunks, [](ProbeEffect& p, bool on) { p.programsAreChunks(on); }},
      {effFlagsIsSynth, [](ProbeEffect& p, bool on) { p.isSynth(on); }},
      {effFlagsNoSoundInStop, [](ProbeEffect& p, bool on) { p.noTail(on); }},
      {effFlagsExtIsAsync, [](ProbeEffect& p, bool on) { p.wantAsyncOperation(on); }},
      {effFlagsExtHasBuffer, [](ProbeEffect& p, bool on) { p.hasExternalBuffer(on); }},
      {effFlagsCanDoubleReplacing, [](ProbeEffect& p, bool on) { p.canDoubleReplacing(on); }},
  };
  for (const auto& [bit, set] : setters) {
    const VstInt32 others = probe.Flags() & ~bit;
    set(probe, true);
    EXPECT_EQ(probe.Flags(), others | bit) << "bit " << bit;
    set(probe, false);
    EXPECT_EQ(probe.Flags(), others) << "bit " << bit;
  }
  probe.setEditor(new ProbeEditor(&probe));
  EXPECT_EQ(probe.Flags() & effFlagsHasEditor, effFlagsHasEditor);
  AEffEditor* editor = probe.getEditor();
  probe.setEditor(nullptr);
  EXPECT_EQ(probe.Flags() & effFlagsHasEditor, 0);
  delete editor;
}

}  // namespace
