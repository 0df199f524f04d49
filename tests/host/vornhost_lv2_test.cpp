// vornhost with LV2 plug-ins, run as a user runs it: info, render and
// bench by URI or bundle folder, against the bundle of this build tree,
// and the render checked against the VST build's render of the same file.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace vornhost_test {
namespace {

const std::string kUri = "urn:fenmoor:vorn-delay-2";
const std::string kBundle = std::string(VORN_LV2_PATH) + "/VornDelay2.lv2";

class VornhostLv2 : public ::testing::Test {
 protected:
  // vornhost finds the bundle the way users point hosts at theirs.
  static void SetUpTestSuite() { setenv("LV2_PATH", VORN_LV2_PATH, 1); }
};

TEST_F(VornhostLv2, InfoByUriOrBundleListsTheTenControlsAndTheUi) {
  // Ten settings; the bypass port is the host's switch, shown on its own.
  for (const std::string& reference : {kUri, kBundle}) {
    Outcome r = Vornhost({"info", reference});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("controls       10"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bypass         port 15 (lv2:enabled)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("preset         Slapback <" + kUri + "#preset-slapback>"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("ui             " + kUri + "#ui"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("latency        none"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("options: 0=0.25 1=0.33"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.find("warning"), std::string::npos) << r.err;
  }
  Outcome json = Vornhost({"info", kUri, "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(IsValidJson(json.out)) << json.out;
  EXPECT_NE(json.out.find("\"symbol\":\"feedback\""), std::string::npos) << json.out;
}

TEST_F(VornhostLv2, RenderPutsTheEchoWhereTheVstDoesSampleForSample) {
  const std::string dir = TempDir("lv2_render");
  Audio click;
  click.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  click.channels.assign(2, std::vector<double>(44100, 0.0));
  click.channels[0][0] = click.channels[1][0] = 0.5;
  WriteAudio(dir + "/in.wav", click);
  Outcome lv2 =
      Vornhost({"render", dir + "/in.wav", dir + "/lv2.wav", kUri, "-p", "delay=250", "-p", "Feedback=40"});
  ASSERT_EQ(lv2.status, 0) << lv2.err;
  Outcome vst = Vornhost({"render", dir + "/in.wav", dir + "/vst.wav", VORN_PLUGIN, "-p", "Delay [ms]=250",
                          "-p", "Feedback [%]=40"});
  ASSERT_EQ(vst.status, 0) << vst.err;
  // Samples, not file bytes: the file's PEAK chunk carries the time it was
  // written.
  Audio out = ReadAudio(dir + "/lv2.wav");
  Audio reference = ReadAudio(dir + "/vst.wav");
  EXPECT_EQ(out.channels, reference.channels);
  ASSERT_EQ(out.channels.size(), 2u);
  std::size_t loudest = 2000;
  for (std::size_t i = 2000; i < out.frames(); ++i)
    if (std::fabs(out.channels[0][i]) > std::fabs(out.channels[0][loudest])) loudest = i;
  EXPECT_NEAR(static_cast<double>(loudest), 11025.0, 200.0);
}

// A factory preset by name renders the same in both formats, as the
// program files beside the VST and the presets of the bundle hold the same
// settings; the slapback's first echo comes 90 ms after the click.
TEST_F(VornhostLv2, RenderWithAPresetSoundsTheSameInBothFormats) {
  const std::string dir = TempDir("lv2_preset");
  Audio click;
  click.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  click.channels.assign(2, std::vector<double>(44100, 0.0));
  click.channels[0][0] = click.channels[1][0] = 0.5;
  WriteAudio(dir + "/in.wav", click);
  Outcome lv2 = Vornhost({"render", dir + "/in.wav", dir + "/lv2.wav", kUri, "--preset", "slapback"});
  ASSERT_EQ(lv2.status, 0) << lv2.err;
  Outcome vst = Vornhost({"render", dir + "/in.wav", dir + "/vst.wav", VORN_PLUGIN, "--preset", "Slapback"});
  ASSERT_EQ(vst.status, 0) << vst.err;
  Outcome file = Vornhost({"render", dir + "/in.wav", dir + "/file.wav", VORN_PLUGIN, "--preset",
                           std::string(VORN_VST_PRESETS) + "/Slapback.fxp"});
  ASSERT_EQ(file.status, 0) << file.err;
  const Audio out = ReadAudio(dir + "/lv2.wav");
  EXPECT_EQ(out.channels, ReadAudio(dir + "/vst.wav").channels);
  EXPECT_EQ(out.channels, ReadAudio(dir + "/file.wav").channels);
  ASSERT_EQ(out.channels.size(), 2u);
  std::size_t first = 1;
  while (first < out.frames() && std::fabs(out.channels[0][first]) < 1e-3) ++first;
  EXPECT_NEAR(static_cast<double>(first) / 44.1, 90.0, 0.5);

  // The bank loads too: a plug-in with one program takes its first preset.
  Outcome bank = Vornhost({"render", dir + "/in.wav", dir + "/bank.wav", VORN_PLUGIN, "--preset",
                           std::string(VORN_VST_PRESETS) + "/Vorn Delay 2 Factory.fxb"});
  ASSERT_EQ(bank.status, 0) << bank.err;
  EXPECT_EQ(ReadAudio(dir + "/bank.wav").channels, out.channels);

  // Presets that are not there, and damaged files, are refused clearly.
  std::vector<char> damaged(40, 'x');
  {
    std::FILE* f = std::fopen((dir + "/damaged.fxp").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(damaged.data(), 1, damaged.size(), f);
    std::fclose(f);
  }
  const struct {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{"render", dir + "/in.wav", dir + "/x.wav", VORN_PLUGIN, "--preset", "Nowhere"},
       "no preset 'Nowhere' in"},
      {{"render", dir + "/in.wav", dir + "/x.wav", kUri, "--preset", "Nowhere"}, "no preset 'Nowhere' for"},
      {{"render", dir + "/in.wav", dir + "/x.wav", VORN_PLUGIN, "--preset", dir + "/damaged.fxp"},
       "is not a VST program file"},
      {{"render", dir + "/in.wav", dir + "/x.wav", VORN_PLUGIN, "--preset", dir + "/missing.fxp"},
       "cannot read state file"},
  };
  for (const auto& c : refused) {
    Outcome r = Vornhost(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    // An unknown name gets the list of the presets there are.
    if (c.message.find("Nowhere") != std::string::npos) {
      EXPECT_NE(r.err.find("Slapback"), std::string::npos) << r.err;
    }
  }
}

TEST_F(VornhostLv2, BenchMeasuresTheLv2Run) {
  Outcome r = Vornhost({"bench", kUri, "--seconds", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("LV2 \"Vorn Delay 2\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  float "), std::string::npos) << r.out;
}

TEST_F(VornhostLv2, ValidatePassesItsLv2Checks) {
  // Never on the desktop's display: the UI check runs its half without one
  // (the UI tests run it on a virtual display).
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  Outcome r = Vornhost({"validate", kUri, "--strictness", "7"});
  if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
  for (const char* check : {"sample rates", "silence", "controls at their extremes", "NaN and infinities",
                            "no allocation while running", "state round trip", "foreign and damaged state",
                            "atoms whose sizes lie", "run before activate", "two instances in one process",
                            "activate forgets the past", "last restore wins"}) {
    EXPECT_NE(r.out.find(std::string("PASS  ") + check), std::string::npos) << r.out;
  }
  // The timing check answers, whichever way: on a loaded machine a run()
  // may take longer than its block (the LV2 benchmark measures it; the
  // validator's fixtures show the check tells a sound plug-in from a
  // faulty one).
  const std::string timing = "run() after a restore in time";
  EXPECT_TRUE(r.out.find("PASS  " + timing) != std::string::npos ||
              r.out.find("FAIL  " + timing) != std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("SKIP  X11 UI with and without a display no display"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("SKIP  unload after the UI              no display"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("15 checks: "), std::string::npos) << r.out;
  EXPECT_EQ(r.status, r.out.find("FAIL  ") == std::string::npos ? 0 : 1) << r.out << r.err;
}

TEST_F(VornhostLv2, UnknownPlugInsControlsAndOptionsGetClearErrors) {
  const std::string dir = TempDir("lv2_errors");
  Audio click;
  click.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  click.channels.assign(1, std::vector<double>(100, 0.0));
  WriteAudio(dir + "/in.wav", click);
  const std::string in = dir + "/in.wav", out = dir + "/out.wav";
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"info", "urn:no:such:plugin"}, "no LV2 plug-in 'urn:no:such:plugin'"},
      {{"info", dir}, "no LV2 plug-in in the bundle"},
      {{"render", in, out, kUri, "-p", "volume=3"}, "no control 'volume'; the controls are: delay_1_4_notes"},
      {{"render", in, out, kUri, "-p", "delay=soon"}, "'soon' is not a number"},
      {{"render", in, out, kUri, "--double"}, "single precision"},
  };
  for (const Case& c : cases) {
    Outcome r = Vornhost(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    // One line: lilv's own complaints about a folder that is no bundle are not shown.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(FileExists(out));
  }
}

}  // namespace
}  // namespace vornhost_test
