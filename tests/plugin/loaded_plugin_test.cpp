// What a host sees of VornDelay2.so.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/plugin/loaded_plugin.h"

namespace {

std::vector<float> ChunkOf(LoadedPlugin& p) {
  void* data = nullptr;
  const auto size = p.Dispatch(effGetChunk, 0, 0, &data);
  std::vector<float> floats(static_cast<std::size_t>(size) / 4);
  if (data != nullptr) std::memcpy(floats.data(), data, floats.size() * 4);
  return floats;
}

void Start(LoadedPlugin& p, float rate = 44100) {
  p.Dispatch(effOpen);
  p.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
  p.Dispatch(effSetBlockSize, 0, 256);
  p.Dispatch(effMainsChanged, 0, 1);
}

// Sets (or with null removes) an environment variable for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(previous_ ? previous_->c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const char* value) {
    if (value)
      setenv(name_.c_str(), value, 1);
    else
      unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> previous_;
};

// An X display that takes connections and never answers (a server that
// hangs, a forwarded display whose far end is gone): a loopback port the
// kernel accepts on while nobody reads.
class SilentDisplay {
 public:
  SilentDisplay() {
    for (int number = 64; number < 128 && fd_ < 0; ++number) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      if (fd < 0) return;
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
      if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 16) == 0) {
        fd_ = fd;
        name_ = "127.0.0.1:" + std::to_string(number);
      } else {
        close(fd);
      }
    }
  }
  ~SilentDisplay() {
    if (fd_ >= 0) close(fd_);
  }
  SilentDisplay(const SilentDisplay&) = delete;
  SilentDisplay& operator=(const SilentDisplay&) = delete;
  bool ok() const { return fd_ >= 0; }
  const std::string& name() const { return name_; }

 private:
  int fd_ = -1;
  std::string name_;
};

}  // namespace

// A host that only asks for the editor's size (a plug-in scan) gets it at
// once from what is known, whatever the display does: the plug-in makes no
// connection of its own for it.
TEST(LoadedPlugin, TheEditorsSizeIsAnsweredWithoutAskingADisplayThatNeverAnswers) {
  SilentDisplay silent;
  ASSERT_TRUE(silent.ok()) << "no free loopback port for a display";
  ScopedVariable display("DISPLAY", silent.name().c_str());
  const struct {
    const char* scale;
    int width, height;
  } cases[] = {{nullptr, 500, 480}, {"2", 1000, 960}, {"1.5", 750, 720}};
  for (const auto& c : cases) {
    ScopedVariable scale("VORN_UI_SCALE", c.scale);
    LoadedPlugin p;
    Start(p);
    std::promise<ERect> answer;
    std::future<ERect> answered = answer.get_future();
    std::thread asking([&] {
      ERect* rect = nullptr;
      p.Dispatch(effEditGetRect, 0, 0, &rect);
      answer.set_value(rect != nullptr ? *rect : ERect{});
    });
    if (answered.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // The thread is stuck inside the plug-in: it cannot be joined, nor the
      // module unloaded under it.
      std::fprintf(stderr, "effEditGetRect still waits for %s after 10 s\n", silent.name().c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
    asking.join();
    const ERect rect = answered.get();
    EXPECT_EQ(rect.right - rect.left, c.width) << (c.scale ? c.scale : "no variable");
    EXPECT_EQ(rect.bottom - rect.top, c.height) << (c.scale ? c.scale : "no variable");
  }
}

TEST(LoadedPlugin, EveryEntryPointBuildsTheSameInstance) {
  for (const char* entry : {"VSTPluginMain", "main", "MAIN"}) {
    LoadedPlugin p(entry);
    ASSERT_NE(p.effect, nullptr) << entry;
    const AEffect& e = *p.effect;
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.numPrograms, 1);
    EXPECT_EQ(e.numParams, 10);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, 0x1031);  // editor, replacing, chunks, double replacing
    EXPECT_EQ(e.uniqueID, FourCharCode('V', 'R', 'D', '2'));
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_NE(e.processReplacing, nullptr);
    EXPECT_NE(e.processDoubleReplacing, nullptr);
  }
}

TEST(LoadedPlugin, AnswersItsIdentityQuestions) {
  LoadedPlugin p;
  Start(p);
  EXPECT_EQ(p.Text(effGetEffectName), "Vorn Delay 2");
  EXPECT_EQ(p.Text(effGetProductString), "Vorn Delay 2");
  EXPECT_EQ(p.Text(effGetVendorString), "Fenmoor");
  EXPECT_EQ(p.Text(effGetProgramName), "Vorn Delay 2");
  EXPECT_EQ(p.Dispatch(effGetVendorVersion), 1000);
  EXPECT_EQ(p.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(p.Dispatch(effGetPlugCategory), kPlugCategUnknown);
  EXPECT_EQ(p.Dispatch(effIdentify), FourCharCode('N', 'v', 'E', 'f'));
  char midi[] = "receiveVstMidiEvent";
  EXPECT_EQ(p.Dispatch(effCanDo, 0, 0, midi), 4401);
  for (const char* other : {"receiveVstEvents", "bypass", ""}) {
    std::string text = other;
    EXPECT_EQ(p.Dispatch(effCanDo, 0, 0, text.data()), -1) << other;
  }
  char name[] = "My Delay";
  p.Dispatch(effSetProgramName, 0, 0, name);
  EXPECT_EQ(p.Text(effGetProgramName), "My Delay");
}

TEST(LoadedPlugin, ParametersRoundTripThroughTheHostInterface) {
  LoadedPlugin p;
  Start(p);
  EXPECT_EQ(p.Text(effGetParamName, 3), "Feedback [%]");
  EXPECT_EQ(p.Text(effGetParamDisplay, 4), "2000.00");
  p.effect->setParameter(p.effect, 3, 0.4f);
  EXPECT_FLOAT_EQ(p.effect->getParameter(p.effect, 3), 0.4f);
  EXPECT_EQ(p.Text(effGetParamDisplay, 3), "40.00");
  p.effect->setParameter(p.effect, 0, 1.0f);
  EXPECT_EQ(p.Text(effGetParamDisplay, 0), "4.00");
  EXPECT_EQ(p.Dispatch(effCanBeAutomated, 3), 1);
}

TEST(LoadedPlugin, ChunksAreByteExact) {
  LoadedPlugin p;
  Start(p);
  std::vector<float> expected = {-1000, 4, 500, 0, 10, 2000, 0.05f, 1, 0, 0, 0, 0};
  expected.resize(65, 0.0f);
  EXPECT_EQ(ChunkOf(p), expected);

  LoadedPlugin q;
  Start(q);
  std::vector<float> state = expected;
  state[4] = 55;
  state[8] = 1;
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 260, state.data()), 260);
  EXPECT_EQ(q.Text(effGetParamDisplay, 3), "55.00");
  EXPECT_EQ(ChunkOf(q), state);
  // Odd sizes: whole floats only.
  std::vector<float> shortState = {-1000, 9};
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 7, shortState.data()), 7);
  EXPECT_EQ(q.Text(effGetParamDisplay, 0), "0.75");  // float 1 was not whole: slider 1 stays 4
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 8, shortState.data()), 8);
  EXPECT_EQ(q.Text(effGetParamDisplay, 0), "1.66");
  std::vector<float> noMarker(65, 3.0f);
  EXPECT_EQ(q.Dispatch(effSetChunk, 0, 260, noMarker.data()), 260);
  EXPECT_EQ(q.Text(effGetParamDisplay, 0), "1.66");
}

TEST(LoadedPlugin, ProcessesInBothPrecisionsInPlace) {
  LoadedPlugin a, b;
  Start(a, 48000);
  Start(b, 48000);
  constexpr int kFrames = 48000;
  std::vector<float> fl(kFrames), fr(kFrames);
  std::vector<double> dl(kFrames), dr(kFrames);
  for (int j = 0; j < kFrames; ++j) {
    fl[static_cast<std::size_t>(j)] = static_cast<float>(0.5 * std::sin(j * 0.05));
    dl[static_cast<std::size_t>(j)] = fl[static_cast<std::size_t>(j)];
    fr[static_cast<std::size_t>(j)] = static_cast<float>(j < 4800 ? 0.5 * std::cos(j * 0.03) : 0.0);
    dr[static_cast<std::size_t>(j)] = fr[static_cast<std::size_t>(j)];
  }
  for (int start = 0; start < kFrames; start += 250) {
    float* f[2] = {fl.data() + start, fr.data() + start};
    double* d[2] = {dl.data() + start, dr.data() + start};
    a.effect->processReplacing(a.effect, f, f, 250);
    b.effect->processDoubleReplacing(b.effect, d, d, 250);
  }
  double energy = 0;
  for (int j = 0; j < kFrames; ++j) {
    const auto i = static_cast<std::size_t>(j);
    ASSERT_FLOAT_EQ(fl[i], static_cast<float>(dl[i]));
    ASSERT_FLOAT_EQ(fr[i], static_cast<float>(dr[i]));
    if (j >= 24000) energy += fr[i] * fr[i];
  }
  EXPECT_GT(energy, 1.0);  // the right input's echo reached the right output after 500 ms
}

TEST(LoadedPlugin, TempoSyncReadsTheHostsTimeInformation) {
  LoadedPlugin::timeInfo = VstTimeInfo{};
  LoadedPlugin::timeInfo.tempo = 120;
  LoadedPlugin::timeInfo.flags = kVstTempoValid | kVstTransportPlaying;
  LoadedPlugin::timeFilters.clear();
  LoadedPlugin p;
  Start(p, 44100);
  p.effect->setParameter(p.effect, 2, 1.0f);       // tempo sync on
  p.effect->setParameter(p.effect, 0, 5.0f / 23);  // one quarter note = 22050 frames
  std::vector<float> l(30000), r(30000);
  r[0] = 1.0f;
  float* c[2] = {l.data(), r.data()};
  for (int start = 0; start < 30000; start += 500) {
    float* block[2] = {c[0] + start, c[1] + start};
    p.effect->processReplacing(p.effect, block, block, 500);
  }
  const std::vector<VstIntPtr> seen(LoadedPlugin::timeFilters.begin(), LoadedPlugin::timeFilters.end());
  for (VstIntPtr filter : {VstIntPtr{1024}, VstIntPtr{9216}, VstIntPtr{2}, VstIntPtr{8}, VstIntPtr{512}}) {
    EXPECT_NE(std::find(seen.begin(), seen.end(), filter), seen.end()) << filter;
  }
  // Nothing on the wet path before the synced length has passed.
  for (int j = 1; j < 22000; ++j) ASSERT_EQ(r[static_cast<std::size_t>(j)], 0.0f) << j;
}

TEST(LoadedPlugin, ReceivesMidiEvents) {
  LoadedPlugin p;
  Start(p);
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.midiData[0] = static_cast<char>(0x90);
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  VstEvents list{};
  list.numEvents = 2;
  list.events[0] = reinterpret_cast<VstEvent*>(&note);
  list.events[1] = reinterpret_cast<VstEvent*>(&sysex);
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(p.Dispatch(effProcessEvents, 0, 0, nullptr), 1);
}

TEST(LoadedPlugin, BadHostInputGetsNeutralAnswers) {
  LoadedPlugin p;
  Start(p);
  for (VstInt32 index : {-1, 10, 100000, INT32_MIN}) {
    p.effect->setParameter(p.effect, index, 0.5f);
    EXPECT_EQ(p.effect->getParameter(p.effect, index), 0.0f);
    EXPECT_EQ(p.Text(effGetParamName, index), "");
    EXPECT_EQ(p.Text(effGetParamLabel, index), "");
    EXPECT_EQ(p.Text(effGetParamDisplay, index), "");
  }
  for (VstInt32 opcode : {effGetParamName, effGetParamDisplay, effGetParamLabel, effGetEffectName,
                          effGetVendorString, effGetProductString, effGetProgramName, effSetProgramName,
                          effCanDo, effEditGetRect, effGetChunk, effSetChunk, effProcessEvents}) {
    p.Dispatch(opcode, 0, 260, nullptr);
  }
  std::vector<char> longName(5000, 'n');
  longName.back() = '\0';
  p.Dispatch(effSetProgramName, 0, 0, longName.data());
  char small[24 + 8];
  std::memset(small, '#', sizeof small);
  p.Dispatch(effGetProgramName, 0, 0, small);
  EXPECT_EQ(std::strlen(small), 23u);
  EXPECT_EQ(small[24], '#');

  float silence[8] = {};
  float* channels[2] = {silence, silence};
  float* missing[2] = {silence, nullptr};
  p.effect->processReplacing(p.effect, channels, channels, 0);
  p.effect->processReplacing(p.effect, channels, channels, -5);
  p.effect->processReplacing(p.effect, nullptr, nullptr, 8);
  p.effect->processReplacing(p.effect, missing, channels, 8);
  double* dmissing[2] = {nullptr, nullptr};
  p.effect->processDoubleReplacing(p.effect, dmissing, dmissing, 8);
  EXPECT_EQ(p.Dispatch(effSetChunk, 0, -4, silence), 0);
  EXPECT_EQ(p.Dispatch(80), 0);
  EXPECT_EQ(p.Dispatch(-7), 0);
}

TEST(LoadedPlugin, AHostThatRefusesTheVersionGetsNothing) {
  LoadedPlugin p("VSTPluginMain", 0);
  EXPECT_EQ(p.effect, nullptr);
}
