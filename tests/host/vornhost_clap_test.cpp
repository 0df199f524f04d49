// vornhost with CLAP plug-ins, run as a user runs it: our VornDelay2.clap
// against the VST build of the same tree (the same samples for the same
// settings, presets and digest), automation landing on its frame, and the
// validator passing ours and catching each fault of a faulty fixture.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "test_support.h"

namespace vornhost_test {
namespace {

const std::string kClap = VORN_CLAP;

Audio Click(double level = 0.5) {
  Audio click;
  click.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  click.channels.assign(2, std::vector<double>(44100, 0.0));
  click.channels[0][0] = click.channels[1][0] = level;
  return click;
}

// Noise, different in each channel, from a small integer generator.
Audio Noise(std::size_t frames) {
  Audio a;
  a.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  a.channels.assign(2, std::vector<double>(frames, 0.0));
  std::uint32_t state = 7;
  for (std::size_t f = 0; f < frames; ++f)
    for (auto& c : a.channels) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      c[f] = static_cast<double>(state) / 4294967295.0 - 0.5;
    }
  return a;
}

TEST(VornhostClap, InfoShowsTheDescriptorPortsParametersAndPresets) {
  Outcome r = Vornhost({"info", kClap});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("CLAP plug-in   com.fenmoor.vorn-delay-2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("features       audio-effect delay stereo"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("audio          2 in, 2 out"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("parameters     11"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("stepped,bypass"), std::string::npos) << r.out;
  // The twelve factory presets, found through the preset-discovery factory.
  std::size_t presets = 0;
  for (std::size_t at = r.out.find("\npreset "); at != std::string::npos;
       at = r.out.find("\npreset ", at + 1))
    ++presets;
  EXPECT_EQ(presets, 12u) << r.out;
  EXPECT_NE(r.out.find("preset         Slapback"), std::string::npos) << r.out;

  Outcome json = Vornhost({"info", kClap, "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(IsValidJson(json.out)) << json.out;
  EXPECT_NE(json.out.find("\"id\":\"com.fenmoor.vorn-delay-2\""), std::string::npos) << json.out;
}

TEST(VornhostClap, WrongFilesAndIdsAreClearErrors) {
  const std::string dir = TempDir("clap_errors");
  // A library without clap_entry, renamed as users sometimes do.
  const std::string fake = dir + "/NotClap.clap";
  {
    std::FILE* out = std::fopen(fake.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::FILE* in = std::fopen(VORN_PLUGIN, "rb");
    ASSERT_NE(in, nullptr);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) std::fwrite(buffer, 1, n, out);
    std::fclose(in);
    std::fclose(out);
  }
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {{"info", fake}, "exports no clap_entry"},
      {{"info", dir + "/Missing.clap"}, "cannot load"},
      {{"info", kClap, "--plugin-id", "com.example.other"}, "it has com.fenmoor.vorn-delay-2"},
      {{"digest", FIXTURE_CLAP}, "digest renders Vorn Delay 2"},
  };
  for (const auto& c : cases) {
    Outcome r = Vornhost(c.args);
    EXPECT_EQ(r.status, 1) << c.args[1];
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  WriteAudio(dir + "/in.wav", Click());
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"-p", "No Such Thing=1"},
                                             {"-p", "Feedback [%]=250"},
                                             {"--automate", "Feedback [%]=0.5"},
                                             {"--automate", "Feedback [%]=-1:20"},
                                             {"--automate", "Feedback [%]=x:20"}}) {
    std::vector<std::string> args = {"render", dir + "/in.wav", dir + "/out.wav", kClap};
    args.insert(args.end(), bad.begin(), bad.end());
    Outcome r = Vornhost(args);
    EXPECT_EQ(r.status, 1) << bad[1];
    EXPECT_FALSE(FileExists(dir + "/out.wav")) << bad[1];
  }
}

TEST(VornhostClap, RenderPutsTheEchoWhereTheVstDoesSampleForSample) {
  const std::string dir = TempDir("clap_render");
  WriteAudio(dir + "/in.wav", Click());
  Outcome clap = Vornhost(
      {"render", dir + "/in.wav", dir + "/clap.wav", kClap, "-p", "Delay [ms]=250", "-p", "Feedback [%]=40"});
  ASSERT_EQ(clap.status, 0) << clap.err;
  Outcome vst = Vornhost({"render", dir + "/in.wav", dir + "/vst.wav", VORN_PLUGIN, "-p", "Delay [ms]=250",
                          "-p", "Feedback [%]=40"});
  ASSERT_EQ(vst.status, 0) << vst.err;
  const Audio out = ReadAudio(dir + "/clap.wav");
  const Audio reference = ReadAudio(dir + "/vst.wav");
  ASSERT_EQ(out.channels.size(), 2u);
  // The CLAP render stops on the plug-in's own tail length; the VST one
  // when the output has gone quiet. Where both have audio it is the same.
  ASSERT_GE(out.frames(), 44100u + 11025u * 4);
  for (std::size_t c = 0; c < 2; ++c)
    for (std::size_t f = 0; f < std::min(out.frames(), reference.frames()); ++f)
      ASSERT_EQ(out.channels[c][f], reference.channels[c][f]) << "channel " << c << " frame " << f;
  std::size_t loudest = 2000;
  for (std::size_t i = 2000; i < out.frames(); ++i)
    if (std::fabs(out.channels[0][i]) > std::fabs(out.channels[0][loudest])) loudest = i;
  EXPECT_NEAR(static_cast<double>(loudest), 11025.0, 200.0);
}

TEST(VornhostClap, APresetRendersAsTheVstProgramFileOfTheSameName) {
  const std::string dir = TempDir("clap_preset");
  WriteAudio(dir + "/in.wav", Click());
  Outcome clap =
      Vornhost({"render", dir + "/in.wav", dir + "/clap.wav", kClap, "--preset", "slapback", "--tail", "1"});
  ASSERT_EQ(clap.status, 0) << clap.err;
  Outcome vst = Vornhost({"render", dir + "/in.wav", dir + "/vst.wav", VORN_PLUGIN, "--preset",
                          std::string(VORN_VST_PRESETS) + "/Slapback.fxp", "--tail", "1"});
  ASSERT_EQ(vst.status, 0) << vst.err;
  const Audio out = ReadAudio(dir + "/clap.wav");
  EXPECT_EQ(out.channels, ReadAudio(dir + "/vst.wav").channels);
  std::size_t first = 1;
  while (first < out.frames() && std::fabs(out.channels[0][first]) < 1e-3) ++first;
  EXPECT_NEAR(static_cast<double>(first) / 44.1, 90.0, 0.5);
  Outcome missing =
      Vornhost({"render", dir + "/in.wav", dir + "/x.wav", kClap, "--preset", "No Such Preset"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("\"Slapback\""), std::string::npos) << missing.err;
}

// A change at a frame inside a block: the output is untouched before that
// frame and different from it on, in frames or in seconds alike.
TEST(VornhostClap, AutomationLandsOnItsFrame) {
  const std::string dir = TempDir("clap_automation");
  WriteAudio(dir + "/in.wav", Noise(30000));
  Outcome steady = Vornhost({"render", dir + "/in.wav", dir + "/steady.wav", kClap, "--tail", "0"});
  ASSERT_EQ(steady.status, 0) << steady.err;
  const Audio reference = ReadAudio(dir + "/steady.wav");
  for (const std::string when : {"10007f", "0.226916"}) {  // 0.226916 s is frame 10007 at 44.1 kHz
    Outcome moved = Vornhost({"render", dir + "/in.wav", dir + "/moved.wav", kClap, "--tail", "0",
                              "--automate", "Dry [dB]=" + when + ":-40,20000f:0"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    const Audio out = ReadAudio(dir + "/moved.wav");
    ASSERT_EQ(out.frames(), reference.frames());
    std::size_t first = 0;
    while (first < out.frames() && out.channels[0][first] == reference.channels[0][first]) ++first;
    EXPECT_EQ(first, 10007u) << when;
  }
}

// Blocks of any size give the same samples, events included: the host
// cuts each event's time into the block it falls in.
TEST(VornhostClap, BlockSizeChangesNothingEventsIncluded) {
  const std::string dir = TempDir("clap_blocks");
  WriteAudio(dir + "/in.wav", Noise(20000));
  Audio reference;
  for (const char* block : {"512", "37", "1", "4096"}) {
    Outcome r =
        Vornhost({"render", dir + "/in.wav", dir + "/out.wav", kClap, "--block", block, "--tail", "0.5",
                  "--plugin-id", "com.fenmoor.vorn-delay-2", "-p", "Delay [ms]=20", "--automate",
                  "Feedback [%]=0:0,5001f:70,15000f:20", "--automate", "Wet [dB]=0.1:-6"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Audio out = ReadAudio(dir + "/out.wav");
    if (reference.channels.empty())
      reference = out;
    else
      EXPECT_EQ(out.channels, reference.channels) << "blocks of " << block;
  }
  // What CLAP audio cannot do is refused before any work.
  for (const std::vector<std::string>& extra :
       std::vector<std::vector<std::string>>{{"--double"}, {"--state", dir + "/in.wav"}}) {
    std::vector<std::string> args = {"render", dir + "/in.wav", dir + "/other.wav", kClap};
    args.insert(args.end(), extra.begin(), extra.end());
    Outcome r = Vornhost(args);
    EXPECT_EQ(r.status, 1) << extra[0];
    EXPECT_FALSE(FileExists(dir + "/other.wav")) << extra[0];
  }
}

// The float rows of the digest are the VST build's, bit for bit; the
// double rows stay the VST's own where the CLAP ports are single precision.
TEST(VornhostClap, DigestIsTheVstBuildsForEveryFloatCase) {
  Outcome clap = Vornhost({"digest", kClap});
  ASSERT_EQ(clap.status, 0) << clap.err;
  Outcome vst = Vornhost({"digest", VORN_PLUGIN});
  ASSERT_EQ(vst.status, 0) << vst.err;
  auto floatRows = [](const std::string& table) {
    std::istringstream in(table);
    std::string rows;
    for (std::string line; std::getline(in, line);)
      if (line.find("double") == std::string::npos) rows += line + "\n";
    return rows;
  };
  EXPECT_EQ(floatRows(clap.out), floatRows(vst.out));
  EXPECT_NE(clap.out.find("noise    full-res-fb    float"), std::string::npos) << clap.out;
#ifdef VORN_LV2_BUNDLE
  // And the LV2 bundle's, the third format of the same sound.
  setenv("LV2_PATH", VORN_LV2_PATH, 1);
  Outcome lv2 = Vornhost({"digest", VORN_LV2_BUNDLE});
  ASSERT_EQ(lv2.status, 0) << lv2.err;
  EXPECT_EQ(floatRows(lv2.out), floatRows(vst.out));
#endif
}

TEST(VornhostClap, ValidatePassesOursAndFindsEachFaultOfTheFixture) {
  Outcome ours = Vornhost({"validate", kClap, "--strictness", "1"});
  EXPECT_EQ(ours.status, 0) << ours.out;
  EXPECT_EQ(ours.out.find("FAIL"), std::string::npos) << ours.out;

  Outcome faulty = Vornhost({"validate", FIXTURE_CLAP, "--strictness", "1"});
  EXPECT_EQ(faulty.status, 1) << faulty.out;
  for (const char* finding : {
           "create_plugin(\"vornhost.no-such-plugin\") answers a plug-in",
           "FAIL  process with 0 frames",
           "wrote past the end of a block",
           "params.rescan called from the audio thread",
           "save into a stream that takes 1 bytes at a time answered false",
           "load answered true for an empty stream, random bytes",
       })
    EXPECT_NE(faulty.out.find(finding), std::string::npos) << finding << "\n" << faulty.out;
  // What it does right still passes.
  EXPECT_NE(faulty.out.find("PASS  entry init and deinit twice"), std::string::npos) << faulty.out;
  EXPECT_NE(faulty.out.find("PASS  parameter descriptions and texts"), std::string::npos) << faulty.out;
  // The host's own bookkeeping of misuse allocates nothing on the audio thread.
  const auto allocation = faulty.out.find("no allocation while processing");
  ASSERT_NE(allocation, std::string::npos) << faulty.out;
  EXPECT_EQ(faulty.out.substr(allocation, 80).find("heap allocations"), std::string::npos) << faulty.out;
}

}  // namespace
// A CLAP render streams like the others: from standard input to standard
// output, the format named by --type, the same bytes as a file's.
TEST(VornhostClap, PipesAndTypeGiveTheFilesBytes) {
  const std::string dir = TempDir("clap_pipes");
  WriteAudio(dir + "/in.wav", Click());
  const std::string args = std::string(" '") + kClap + "' -p 'Delay [ms]=50' --tail 0.3";
  Outcome file = Vornhost(
      {"render", dir + "/in.wav", dir + "/file.flac", kClap, "-p", "Delay [ms]=50", "--tail", "0.3"});
  ASSERT_EQ(file.status, 0) << file.err;
  const std::string line = "cat '" + dir + "/in.wav' | '" + VORNHOST_EXE + "' render - -" + args +
                           " --type flac 2>/dev/null > '" + dir + "/piped.flac'";
  ASSERT_EQ(std::system(line.c_str()), 0);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  EXPECT_GT(bytes(dir + "/file.flac").size(), 1000u);
  EXPECT_TRUE(bytes(dir + "/piped.flac") == bytes(dir + "/file.flac"));
}

}  // namespace vornhost_test
