// vornhost run as a user would: renders checked by sample position and
// level, the demo, digest, info --json, validate, and every error path.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "test_support.h"

namespace vornhost_test {
namespace {

#ifdef VORN_PLUGIN
const std::string kOurs = VORN_PLUGIN;
#define REQUIRE_OURS()
#else
const std::string kOurs;
#define REQUIRE_OURS() GTEST_SKIP() << "VornDelay2 is not part of this build"
#endif
const std::string kThirdParty = "/usr/lib/vst/MVerb-vst.so";

// A square-wave burst of 10 ms at 1 kHz, amplitude 0.5, starting at frame start.
Audio Burst(int rate, std::size_t frames, std::size_t start, int channels, int format) {
  Audio a;
  a.rate = rate;
  a.format = format;
  a.channels.assign(static_cast<std::size_t>(channels), std::vector<double>(frames, 0.0));
  const auto length = static_cast<std::size_t>(rate / 100);
  const auto half = static_cast<std::size_t>(rate / 2000);
  for (auto& c : a.channels)
    for (std::size_t i = 0; i < length; ++i) c[start + i] = (i / half) % 2 == 0 ? 0.5 : -0.5;
  return a;
}

// First frame at or after from where |x| exceeds level.
std::size_t Onset(const std::vector<double>& x, std::size_t from, double level) {
  for (std::size_t i = from; i < x.size(); ++i)
    if (std::fabs(x[i]) > level) return i;
  return x.size();
}

TEST(Render, EchoesLandWhereTheDelaySaysInTheInputsFormatRateAndLengthPlusTail) {
  REQUIRE_OURS();
  const std::string dir = TempDir("render");
  const int rate = 48000;
  const std::size_t start = 1000;
  Audio in = Burst(rate, 24000, start, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  WriteAudio(dir + "/in.wav", in);
  Outcome r = Vornhost({"render", dir + "/in.wav", dir + "/out.wav", kOurs, "--param", "Delay [ms]=100",
                        "--param", "Feedback [%]=0", "--param", "Color Mix=0", "--tail", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  Audio out = ReadAudio(dir + "/out.wav");
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(out.rate, rate);
  ASSERT_EQ(out.channels.size(), 2u);
  EXPECT_EQ(out.frames(), in.frames() + 24000);
  EXPECT_FALSE(FileExists(dir + "/out.wav.part"));

  // The wet signal is subtracted on the left and added on the right. 100 ms
  // at 48 kHz is 4800 frames; the left line is 0.23 ms (11.04 frames) shorter
  // and the right one longer: 4789 and 4812 frames.
  std::vector<double> wetL(out.frames()), wetR(out.frames());
  for (std::size_t i = 0; i < out.frames(); ++i) {
    double dry = i < in.frames() ? in.channels[0][i] : 0.0;
    wetL[i] = dry - out.channels[0][i];
    wetR[i] = out.channels[1][i] - dry;
  }
  std::size_t left = Onset(wetL, start + 100, 0.05), right = Onset(wetR, start + 100, 0.05);
  // The level control opens within a few frames of the first echo.
  EXPECT_GE(left, start + 4789);
  EXPECT_LE(left, start + 4789 + 8);
  EXPECT_GE(right, start + 4812);
  EXPECT_LE(right, start + 4812 + 2);
  // The burst starts positive; the level control, opened by the left echo 23
  // frames earlier, lifts the right one above its input level of 0.5.
  EXPECT_GT(wetR[right], 0.5);
  EXPECT_LT(wetR[right], 0.95);
  EXPECT_GT(wetL[left], 0.0);
  // Feedback 0: no second echo.
  double later = 0.0;
  for (std::size_t i = start + 2 * 4812 + 100; i < out.frames(); ++i)
    later = std::max(later, std::fabs(wetR[i]));
  EXPECT_LT(later, 0.01);
}

TEST(Render, MonoFeedsBothInputsAndDoubleMatchesFloatAndStateRoundTrips) {
  REQUIRE_OURS();
  const std::string dir = TempDir("mono");
  WriteAudio(dir + "/in.flac", Burst(44100, 22050, 500, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_24));
  Outcome f = Vornhost({"render", dir + "/in.flac", dir + "/float.flac", kOurs, "-p", "Feedback [%]=40", "-p",
                        "Delay [ms]=200", "--tail", "1", "--save-state", dir + "/state.fxp"});
  ASSERT_EQ(f.status, 0) << f.err;
  Outcome d = Vornhost({"render", dir + "/in.flac", dir + "/double.flac", kOurs, "--state",
                        dir + "/state.fxp", "--double", "--tail", "1"});
  ASSERT_EQ(d.status, 0) << d.err;
  Audio a = ReadAudio(dir + "/float.flac"), b = ReadAudio(dir + "/double.flac");
  EXPECT_EQ(a.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  ASSERT_EQ(a.channels.size(), 2u);  // one per plug-in output
  ASSERT_EQ(b.frames(), a.frames());
  EXPECT_EQ(a.frames(), 22050u + 44100u);
  double diff = 0.0, wet = 0.0;
  for (int c = 0; c < 2; ++c)
    for (std::size_t i = 0; i < a.frames(); ++i) {
      diff = std::max(diff, std::fabs(a.channels[c][i] - b.channels[c][i]));
      if (i > 500 + 8820 + 100) wet = std::max(wet, std::fabs(a.channels[1][i]));
    }
  EXPECT_LT(diff, 1e-4);  // the state carried the settings; precision changes little
  EXPECT_GT(wet, 0.05);   // echoes after 200 ms reached the right channel
}

TEST(Render, AutomaticTailLastsUntilTheEchoesDie) {
  REQUIRE_OURS();
  const std::string dir = TempDir("tail");
  WriteAudio(dir + "/in.wav", Burst(44100, 4410, 100, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT));
  Outcome r = Vornhost({"render", dir + "/in.wav", dir + "/out.wav", kOurs, "-p", "Feedback [%]=50"});
  ASSERT_EQ(r.status, 0) << r.err;
  Audio out = ReadAudio(dir + "/out.wav");
  EXPECT_GT(out.frames(), 44100u);       // several 500 ms echoes
  EXPECT_LT(out.frames(), 44100u * 30);  // but not the cap
  double end = 0.0;
  for (std::size_t i = out.frames() - 441; i < out.frames(); ++i)
    end = std::max(end, std::fabs(out.channels[1][i]));
  EXPECT_LT(end, 1e-4);
}

TEST(Render, ThirdPartyPluginByIndexAndName) {
  if (!FileExists(kThirdParty)) GTEST_SKIP() << "dpf-plugins-vst is not installed";
  const std::string dir = TempDir("dpf");
  WriteAudio(dir + "/in.aiff", Burst(44100, 8820, 100, 2, SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
  Outcome r = Vornhost({"render", dir + "/in.aiff", dir + "/out.aiff", kThirdParty, "-p", "Mix=80", "-p",
                        "0=0.25", "--tail", "0.25", "--block", "100"});
  ASSERT_EQ(r.status, 0) << r.err;
  Audio out = ReadAudio(dir + "/out.aiff");
  EXPECT_EQ(out.format, SF_FORMAT_AIFF | SF_FORMAT_PCM_16);
  EXPECT_EQ(out.frames(), 8820u + 11025u);
}

TEST(Demo, WritesTheEchoingPhraseAndSummarisesIt) {
  REQUIRE_OURS();
  const std::string dir = TempDir("demo");
  Outcome r = Vornhost({"demo", dir + "/demo.wav", "--plugin", kOurs});
  ASSERT_EQ(r.status, 0) << r.err;
  Audio out = ReadAudio(dir + "/demo.wav");
  EXPECT_EQ(out.rate, 44100);
  ASSERT_EQ(out.channels.size(), 2u);
  EXPECT_GT(out.frames(), 44100u * 5);  // 4 s phrase and its echoes
  EXPECT_NE(r.out.find("peak"), std::string::npos);
  EXPECT_NE(r.out.find("RMS"), std::string::npos);
  // Dotted eighths at 120 BPM: the first echo of a click lands near 375 ms on
  // the left, the ping-pong answer near 750 ms on the right.
  EXPECT_NE(r.out.find("ms  L"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(0.75 beats)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(1.50 beats)"), std::string::npos) << r.out;
}

TEST(Info, JsonParsesAndTellsOurIdentity) {
  REQUIRE_OURS();
  Outcome r = Vornhost({"info", kOurs, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(IsValidJson(r.out)) << r.out;
  for (const char* field : {"\"name\":\"Vorn Delay 2\"", "\"vendor\":\"Fenmoor\"", "\"uniqueId\":\"VRD2\"",
                            "\"inputs\":2", "\"outputs\":2", "\"parameterCount\":10",
                            "\"vendorVersion\":1000", "\"name\":\"Feedback [%]\"", "\"display\":\"0.75\""})
    EXPECT_NE(r.out.find(field), std::string::npos) << field;
  Outcome text = Vornhost({"info", kOurs});
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("'VRD2'"), std::string::npos);
}

TEST(Validate, PassesOnOurPlugin) {
  REQUIRE_OURS();
  Outcome r = Vornhost({"validate", kOurs, "--strictness", "7"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("PASS  no allocation while processing"), std::string::npos) << r.out;
}

TEST(Validate, PassesOnAThirdPartyPlugin) {
  if (!FileExists(kThirdParty)) GTEST_SKIP() << "dpf-plugins-vst is not installed";
  Outcome r = Vornhost({"validate", kThirdParty});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("FAIL"), std::string::npos) << r.out;
}

TEST(Validate, FindsAllocationPoisoningAndACrashWithoutDying) {
  Outcome r = Vornhost({"validate", FIXTURE_MISBEHAVING, "--strictness", "7"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("FAIL  no allocation while processing"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("FAIL  NaN and infinities"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("FAIL  malformed chunks"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the plug-in crashed"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("PASS  state round trip"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("18 checks"), std::string::npos) << r.out;
}

// One line on stderr, status 1, and no output file.
void ExpectError(const Outcome& r, const std::string& words, const std::string& output = {}) {
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  if (!output.empty()) {
    EXPECT_FALSE(FileExists(output));
    EXPECT_FALSE(FileExists(output + ".part"));
  }
}

TEST(Errors, BadFilesAndPluginsGetOneClearLine) {
  const std::string dir = TempDir("errors");
  WriteAudio(dir + "/in.wav", Burst(44100, 4410, 10, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  { std::ofstream(dir + "/text.wav") << "not audio at all\n"; }
  const std::string out = dir + "/out.wav";
  const std::string plugin = kOurs.empty() ? FIXTURE_MISBEHAVING : kOurs;
  ExpectError(Vornhost({"render", dir + "/missing.wav", out, plugin}), "cannot read audio file", out);
  ExpectError(Vornhost({"render", dir + "/text.wav", out, plugin}), "cannot read audio file", out);
  ExpectError(Vornhost({"render", dir + "/in.wav", dir + "/no/such/dir/out.wav", plugin}), "cannot write");
  ExpectError(Vornhost({"render", dir + "/in.wav", out, dir + "/text.wav"}), "not a loadable plug-in", out);
  ExpectError(Vornhost({"render", dir + "/in.wav", out, FIXTURE_NO_ENTRY}), "no VSTPluginMain", out);
  ExpectError(Vornhost({"render", dir + "/in.wav", out, FIXTURE_NULL_ENTRY}), "returned null", out);
  ExpectError(Vornhost({"render", dir + "/in.wav", out, FIXTURE_BAD_MAGIC}), "wrong magic", out);
  ExpectError(Vornhost({"info", dir + "/missing.so"}), "cannot read plug-in");
  ExpectError(Vornhost({"validate", FIXTURE_NULL_ENTRY}), "returned null");
  ExpectError(Vornhost({"bench", FIXTURE_BAD_MAGIC}), "wrong magic");
}

TEST(Errors, BadParametersAndStateFilesAreRefused) {
  REQUIRE_OURS();
  const std::string dir = TempDir("params");
  WriteAudio(dir + "/in.wav", Burst(44100, 4410, 10, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
  const std::string in = dir + "/in.wav", out = dir + "/out.wav";
  ExpectError(Vornhost({"render", in, out, kOurs, "-p", "Nonsense=3"}), "unknown parameter 'Nonsense'", out);
  ExpectError(Vornhost({"render", in, out, kOurs, "-p", "Feedback [%]=150"}), "out of range", out);
  ExpectError(Vornhost({"render", in, out, kOurs, "-p", "3=1.5"}), "must lie in 0..1", out);
  ExpectError(Vornhost({"render", in, out, kOurs, "-p", "42=0.5"}), "out of range", out);
  ExpectError(Vornhost({"render", in, out, kOurs, "-p", "Feedback"}), "NAME_OR_INDEX=VALUE", out);
  ExpectError(Vornhost({"render", in, out, kOurs, "--state", dir + "/in.wav"}), "is not a VST program file",
              out);
  // A state file of another plug-in.
  Outcome saved = Vornhost({"render", in, dir + "/fixture.wav", FIXTURE_MISBEHAVING, "--tail", "0",
                            "--save-state", dir + "/fixture.fxp"});
  ASSERT_EQ(saved.status, 0) << saved.err;
  ExpectError(Vornhost({"render", in, out, kOurs, "--state", dir + "/fixture.fxp"}), "belongs to the plug-in",
              out);
  // Command-line mistakes are refused by the parser.
  EXPECT_NE(Vornhost({"render", in}).status, 0);
  EXPECT_NE(Vornhost({"render", in, out, kOurs, "--block", "0"}).status, 0);
  EXPECT_NE(Vornhost({"validate", kOurs, "--strictness", "11"}).status, 0);
  EXPECT_EQ(Vornhost({"render", "--help"}).status, 0);
}

TEST(Bench, ReportsBothPrecisions) {
  REQUIRE_OURS();
  Outcome r = Vornhost({"bench", kOurs, "--seconds", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("float"), std::string::npos);
  EXPECT_NE(r.out.find("double"), std::string::npos);
  EXPECT_NE(r.out.find("worst/median"), std::string::npos);
}

// The digest lines of one settings name, in table order (float, double per input).
std::vector<std::string> DigestsOf(const std::string& table, const std::string& settings) {
  std::vector<std::string> digests;
  std::size_t start = 0;
  while (start < table.size()) {
    std::size_t end = table.find('\n', start);
    if (end == std::string::npos) end = table.size();
    const std::string line = table.substr(start, end - start);
    if (line.find(" " + settings + " ") != std::string::npos && line.size() >= 16)
      digests.push_back(line.substr(line.size() - 16));
    start = end + 1;
  }
  return digests;
}

TEST(Digest, IsRepeatableTellsTheSettingsApartAndHashesWhatRenderWrites) {
  REQUIRE_OURS();
  Outcome a = Vornhost({"digest", kOurs});
  ASSERT_EQ(a.status, 0) << a.err;
  Outcome b = Vornhost({"digest", kOurs});
  EXPECT_EQ(a.out, b.out);
  const auto defaults = DigestsOf(a.out, "default");
  const auto synced = DigestsOf(a.out, "sync-pingpong");
  const auto full = DigestsOf(a.out, "full-res-fb");
  ASSERT_EQ(defaults.size(), 6u) << a.out;  // 3 inputs × 2 precisions
  ASSERT_EQ(synced.size(), 6u);
  ASSERT_EQ(full.size(), 6u);
  EXPECT_EQ(DigestsOf(a.out, "(input)").size(), 3u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_NE(defaults[i], synced[i]) << i;
    EXPECT_NE(defaults[i], full[i]) << i;
  }
  EXPECT_NE(defaults[0], defaults[1]);  // float and double differ in their low bits

  // The impulse case in double precision is what render writes for the
  // same impulse as a 64-bit float WAV, bit for bit.
  const std::string dir = TempDir("digest");
  Audio impulse;
  impulse.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  impulse.channels.assign(2, std::vector<double>(44100, 0.0));
  impulse.channels[0][0] = impulse.channels[1][0] = 1.0;
  WriteAudio(dir + "/impulse.wav", impulse);
  Outcome r = Vornhost({"render", dir + "/impulse.wav", dir + "/out.wav", kOurs, "--double", "--tail", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  Audio out = ReadAudio(dir + "/out.wav");
  std::uint64_t hash = 14695981039346656037ULL;
  for (const auto& channel : out.channels)
    for (double sample : channel) {
      std::uint64_t bits;
      std::memcpy(&bits, &sample, sizeof bits);
      for (int byte = 0; byte < 8; ++byte) hash = (hash ^ ((bits >> (8 * byte)) & 0xFF)) * 1099511628211ULL;
    }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  EXPECT_EQ(defaults[1], hex);
}

TEST(Digest, RefusesAnotherPlugin) {
  if (!FileExists(kThirdParty)) GTEST_SKIP() << kThirdParty << " is not installed";
  Outcome r = Vornhost({"digest", kThirdParty});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Vorn Delay 2"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vornhost_test
