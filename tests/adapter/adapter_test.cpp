// The host adapter and the bridge, in process.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effect/morvox_effect.h"
#include "formats/vst/bridge.h"
#include "formats/vst/choxa_editor.h"
#include "formats/vst/entry_point.h"
#include "formats/vst/hoxa.h"
#include "gui/coffscreen_context.h"
#include "runtime/graphics_primitives.h"
#include "tests/support/plugin_instance.h"
#include "vst/aeff_editor.h"

namespace {

// Counts its own destruction, to check ownership.
class CountedScript : public TMorvox {
 public:
  explicit CountedScript(int& deaths) : deaths_(deaths) { channelCount = 2; }
  ~CountedScript() override { ++deaths_; }

 private:
  int& deaths_;
};

VstMidiEvent Note(int delta, unsigned char status) {
  VstMidiEvent e{};
  e.type = kVstMidiType;
  e.byteSize = sizeof e;
  e.deltaFrames = delta;
  e.midiData[0] = static_cast<char>(status);
  e.midiData[1] = 60;
  e.midiData[2] = 100;
  return e;
}

}  // namespace

TEST(Bridge, FillsTwentySevenEntriesAndLeavesTheKeysNull) {
  MorvoxBridge bridge;
  std::memset(&bridge, 0xAB, sizeof bridge);
  FillMorvoxBridge(bridge);
  const auto* entries = reinterpret_cast<void (**)()>(&bridge);
  int filled = 0;
  for (int i = 0; i < 29; ++i) filled += entries[i] != nullptr;
  EXPECT_EQ(filled, 27);
  EXPECT_EQ(bridge.KeyDown, nullptr);
  EXPECT_EQ(bridge.KeyUp, nullptr);
}

TEST(Bridge, MouseEntriesSetTheScriptsMouseState) {
  PluginInstance p;
  CHoxa& adapter = p.Adapter();
  TMorvoxEffect& script = p.Script();
  script.gfxRate = 0;
  adapter.bridge.MouseDown(&adapter, 10.5, 20, 0x2 | 0x10 | 0x100);
  EXPECT_EQ(script.mouseCap, 9);  // left + shift; the fourth button is dropped
  EXPECT_EQ(script.mouseX, 10.5);
  EXPECT_EQ(script.gfxRate, 30);
  adapter.bridge.MouseDown(&adapter, 0, 0, 0x8 | 0x20 | 0x40 | 0x4);
  EXPECT_EQ(script.mouseCap, 2 | 4 | 16 | 64);
  adapter.bridge.MouseMove(&adapter, 3, 4, 0);
  EXPECT_EQ(script.mouseCap, 2 | 4 | 16 | 64);
  EXPECT_EQ(script.mouseY, 4);
  script.gfxRate = 60;
  adapter.bridge.MouseUp(&adapter, 5, 6, 0x2);
  EXPECT_EQ(script.mouseCap, 0);
  EXPECT_EQ(script.gfxRate, 60);
}

TEST(Adapter, NullEntriesAnswerZero) {
  int deaths = 0;
  TestHost host;
  host.Use();
  MorvoxBridge empty{};
  CHoxa* adapter = CreateHoxa(new CountedScript(deaths), empty, TestHost::Callback, 1, 0);
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->getParameter(0), 0.0f);
  char text[8] = "x";
  EXPECT_FALSE(adapter->getEffectName(text));
  EXPECT_EQ(adapter->getVendorVersion(), 0);
  EXPECT_EQ(adapter->getChunk(nullptr, false), 0);
  EXPECT_EQ(adapter->getAeffect()->flags, 0x1010);
  delete adapter->script;  // no Destroy entry: the test owns it
  adapter->script = nullptr;
  delete adapter;
  EXPECT_EQ(deaths, 1);
}

TEST(Adapter, DeletingTheAdapterDeletesTheScriptOnce) {
  int deaths = 0;
  TestHost host;
  host.Use();
  MorvoxBridge bridge;
  FillMorvoxBridge(bridge);
  CHoxa* adapter = CreateHoxa(new CountedScript(deaths), bridge, TestHost::Callback, 1, 0);
  ASSERT_NE(adapter, nullptr);
  EXPECT_EQ(adapter->getAeffect()->numInputs, 2);
  AEffect* effect = adapter->getAeffect();
  EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0), 1);
  EXPECT_EQ(deaths, 1);
}

TEST(Adapter, HostRefusingTheVersionGetsNoInstance) {
  TestHost host;
  host.version = 0;
  host.Use();
  EXPECT_EQ(CreatePluginInstance(TestHost::Callback), nullptr);
  EXPECT_EQ(CreatePluginInstance(nullptr), nullptr);
}

TEST(MidiRing, StoresOnlyMidiEventsAndReadsThemBackInOrder) {
  PluginInstance p;
  CHoxa& adapter = p.Adapter();
  VstMidiEvent a = Note(3, 0x90), b = Note(7, 0x80);
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  VstEvents list{};
  list.numEvents = 2;
  list.events[0] = reinterpret_cast<VstEvent*>(&a);
  list.events[1] = reinterpret_cast<VstEvent*>(&sysex);
  EXPECT_EQ(adapter.processEvents(&list), 1);
  list.events[0] = reinterpret_cast<VstEvent*>(&b);
  list.events[1] = nullptr;
  EXPECT_EQ(adapter.processEvents(&list), 1);
  EXPECT_EQ(adapter.midiWriteIndex, 2);
  double delta, b0, b1, b2;
  ASSERT_TRUE(morvox::ReadMidiEvent(&adapter, delta, b0, b1, b2));
  EXPECT_EQ(delta, 3);
  EXPECT_EQ(b0, -112);  // 0x90 read as a signed byte
  EXPECT_EQ(b1, 60);
  ASSERT_TRUE(morvox::ReadMidiEvent(&adapter, delta, b0, b1, b2));
  EXPECT_EQ(b0, -128);
  EXPECT_FALSE(morvox::ReadMidiEvent(&adapter, delta, b0, b1, b2));
  EXPECT_EQ(delta + b0 + b1 + b2, 0);
}

// Hosts allocate the list with room for all its events, past the two the
// record declares; every one is read (clang's bounds check, in the fuzz
// build, checks that no read goes through the two-entry array).
TEST(MidiRing, AListLongerThanTheDeclaredTwoEntriesIsReadWhole) {
  PluginInstance p;
  constexpr int kCount = 5;
  VstMidiEvent notes[kCount];
  for (int i = 0; i < kCount; ++i) notes[i] = Note(i, 0x90);
  std::vector<unsigned char> storage(sizeof(VstEvents) + kCount * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = kCount;
  VstEvent** entries = list->events;
  for (int i = 0; i < kCount; ++i) entries[i] = reinterpret_cast<VstEvent*>(&notes[i]);
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, list), 1);
  EXPECT_EQ(p.Adapter().midiWriteIndex, kCount);
  double delta, b0, b1, b2;
  for (int i = 0; i < kCount; ++i) {
    ASSERT_TRUE(morvox::ReadMidiEvent(&p.Adapter(), delta, b0, b1, b2));
    EXPECT_EQ(delta, i);
  }
}

TEST(MidiRing, AnEmptyNullOrNegativeListIsAcceptedAndIgnored) {
  PluginInstance p;
  VstEvents list{};
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, nullptr), 1);
  list.numEvents = -3;
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(p.Adapter().midiWriteIndex, 0);
}

// A call of 0 frames or fewer runs the block section alone (it reads the
// host's tempo), whatever buffers come with it.
TEST(Processing, ACallWithoutFramesRunsOnlyTheBlockSection) {
  TestHost host;
  PluginInstance p(44100, &host);
  float left[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  float* channels[2] = {left, left};
  int expected = 100;
  for (VstInt32 frames : {0, -1, -5}) {
    host.timeInfo.tempo = ++expected;
    p.effect->processReplacing(p.effect, nullptr, nullptr, frames);
    EXPECT_EQ(p.Script().v.tempo, expected) << frames;
    host.timeInfo.tempo = ++expected;
    p.effect->processReplacing(p.effect, channels, channels, frames);
    EXPECT_EQ(p.Script().v.tempo, expected) << frames;
    host.timeInfo.tempo = ++expected;
    p.effect->processDoubleReplacing(p.effect, nullptr, nullptr, frames);
    EXPECT_EQ(p.Script().v.tempo, expected) << frames;
  }
  EXPECT_EQ(left[0], 0.5f);
}

TEST(MidiRing, TheThousandthEventWrapsTheWriteIndex) {
  PluginInstance p;
  CHoxa& adapter = p.Adapter();
  VstMidiEvent e = Note(0, 0x90);
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&e);
  for (int i = 0; i < 999; ++i) adapter.processEvents(&list);
  EXPECT_EQ(adapter.midiWriteIndex, 999);
  adapter.processEvents(&list);
  EXPECT_EQ(adapter.midiWriteIndex, 0);
  double d, b0, b1, b2;  // write index met the read index: the ring reads empty
  EXPECT_FALSE(morvox::ReadMidiEvent(&adapter, d, b0, b1, b2));
}

TEST(Adapter, ChannelCountAndNumbersFromTheEffect) {
  PluginInstance p;
  EXPECT_DOUBLE_EQ(morvox::GetSampleRate(&p.Adapter()), 44100);
  EXPECT_EQ(morvox::GetNumInputs(&p.Adapter()), 2);
  EXPECT_EQ(morvox::GetBlockSize(&p.Adapter()), 512);
  EXPECT_EQ(morvox::GetTempo(&p.Adapter()), 120);
  p.host->timeInfo.flags = kVstTransportPlaying | kVstTransportRecording;
  EXPECT_TRUE(morvox::IsPlaying(&p.Adapter()));
  EXPECT_TRUE(morvox::IsRecording(&p.Adapter()));
  std::vector<float> l(4), r(4);
  p.Process(l, r);
  EXPECT_EQ(p.Script().v.playState, 5);
}

TEST(Adapter, FontsAreCachedOncePerFaceIgnoringCase) {
  PluginInstance p;
  CHoxa& adapter = p.Adapter();
  EXPECT_EQ(adapter.SetFont("Arial", 13, 0), 0);  // no repaint in progress
  EXPECT_TRUE(adapter.fontCache.empty());
  VSTGUI::COffscreenContext screen(nullptr, 50, 50);
  adapter.drawContext = &screen;
  EXPECT_EQ(adapter.SetFont("Arial", 13, 0), 1);
  EXPECT_EQ(adapter.SetFont("ARIAL", 16, 1), 1);
  EXPECT_EQ(adapter.SetFont("Courier New", 12, 0), 1);
  adapter.drawContext = nullptr;
  ASSERT_EQ(adapter.fontCache.size(), 2u);
  EXPECT_EQ(adapter.fontCache[0]->getSize(), 0);  // the base description keeps size 0
}

TEST(Adapter, TheEditorReportsItsRectAndRedrawsOnlyWhenOpen) {
  PluginInstance p;
  ERect* rect = nullptr;
  ASSERT_EQ(p.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 480);
  EXPECT_EQ(rect->right, 500);
  EXPECT_EQ(p.effect->flags & effFlagsHasEditor, effFlagsHasEditor);
  EXPECT_FALSE(p.Adapter().getEditor()->isOpen());
  auto* editor = static_cast<CHoxaEditor*>(p.Adapter().getEditor());
  TMorvox& script = *p.Adapter().script;
  // A last request long ago: an idle that reaches the script requests a
  // redraw and takes the clock.
  constexpr std::uint32_t kLongAgo = 0xDEADBEEF;
  script.lastRedrawTicks = kLongAgo;
  p.Dispatch(effEditIdle);  // before open: the script is not asked
  EXPECT_EQ(script.lastRedrawTicks, kLongAgo);
  EXPECT_FALSE(editor->RequestRedraw());
  ASSERT_TRUE(editor->open(nullptr));  // a frame without a host window
  EXPECT_TRUE(editor->RequestRedraw());
  p.Dispatch(effEditIdle);
  EXPECT_NE(script.lastRedrawTicks, kLongAgo);
  p.Dispatch(effEditClose);
  script.lastRedrawTicks = kLongAgo;
  p.Dispatch(effEditIdle);  // after close: not asked again
  EXPECT_EQ(script.lastRedrawTicks, kLongAgo);
  EXPECT_FALSE(editor->RequestRedraw());
  p.Dispatch(effEditClose);
  std::int32_t width = 0, height = 0;
  EXPECT_EQ(morvox::EditorSize(&p.Adapter(), width, height), 1);
  EXPECT_EQ(width * 1000 + height, 500480);
}
