// vornhost's files as a shell user meets them: outputs that are links,
// FIFOs, pipes or folders; the format an output's name asks for; long
// renders through pipes in little memory; the same bytes from the same
// render; bad state files; usage mistakes; where a plug-in is looked for.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "test_support.h"

namespace vornhost_test {
namespace {

namespace fs = std::filesystem;

#ifdef VORN_PLUGIN
const std::string kOurs = VORN_PLUGIN;
#define REQUIRE_OURS()
#else
const std::string kOurs;
#define REQUIRE_OURS() GTEST_SKIP() << "VornDelay2 is not part of this build"
#endif

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs a shell command line in which VH stands for vornhost; answers its status.
int Shell(const std::string& line) {
  const int raw = std::system(("VH=" + Quote(VORNHOST_EXE) + "; " + line).c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

int Container(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file != nullptr) sf_close(file);
  return info.format & SF_FORMAT_TYPEMASK;
}

// Half a second of a decaying click train, enough to echo.
std::string ClickFile(const std::string& dir, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
  Audio a;
  a.rate = 44100;
  a.format = format;
  a.channels.assign(2, std::vector<double>(22050, 0.0));
  for (std::size_t i = 100; i < 22050; i += 4410) a.channels[0][i] = a.channels[1][i + 7] = 0.5;
  const std::string path = dir + "/in.wav";
  WriteAudio(path, a);
  return path;
}

// The same render settings everywhere, so outputs can be compared byte for byte.
std::vector<std::string> Render(const std::string& in, const std::string& out) {
  return {"render", in, out, kOurs, "-p", "Delay [ms]=50", "--tail", "0.3"};
}

std::string Line(const std::vector<std::string>& args) {
  std::string line = "$VH";
  for (const std::string& a : args) line += " " + (a == "$VH" ? a : Quote(a));
  return line;
}

void ExpectOneLine(const Outcome& r, int status, const std::string& words) {
  EXPECT_EQ(r.status, status) << r.err;
  EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST(OutputPaths, ALinkStaysALinkAndItsTargetGetsTheAudio) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_link");
  const std::string in = ClickFile(dir);
  WriteBytes(dir + "/target.wav", "an older take\n");
  fs::create_symlink("target.wav", dir + "/out.wav");
  WriteBytes(dir + "/keep.fxp", "mine\n");
  fs::create_symlink("keep.fxp", dir + "/state.fxp");
  auto args = Render(in, dir + "/out.wav");
  args.insert(args.end(), {"--save-state", dir + "/state.fxp"});
  Outcome r = Vornhost(args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir + "/out.wav"));
  EXPECT_TRUE(fs::is_symlink(dir + "/state.fxp"));
  EXPECT_EQ(ReadAudio(dir + "/target.wav").frames(), 22050u + 13230u);
  EXPECT_EQ(Bytes(dir + "/keep.fxp").substr(0, 4), "CcnK");
  // Nothing else was left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 5);
}

TEST(OutputPaths, AFifosReaderGetsTheAudioAndTheFifoStays) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_fifo");
  const std::string in = ClickFile(dir), fifo = dir + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto args = Render(in, fifo);
  args.insert(args.end(), {"--type", "wav"});
  // The reader sees the end of the data when vornhost closes the FIFO. A
  // read-write open afterwards never blocks and lets a reader that was never
  // given a writer end too.
  ASSERT_EQ(Shell("cat " + Quote(fifo) + " > " + Quote(dir + "/got.wav") + " & " + Line(args) +
                  " >/dev/null; s=$?; exec 3<>" + Quote(fifo) + "; exec 3>&-; wait $!; exit $s"),
            0);
  struct stat info {};
  ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  Audio got = ReadAudio(dir + "/got.wav");
  EXPECT_EQ(got.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(got.frames(), 22050u + 13230u);
}

TEST(OutputPaths, DashIsStandardOutputAndInputThroughPipesWithTheSameBytes) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_dash");
  const std::string in = ClickFile(dir);
  Outcome r = Vornhost(Render(in, dir + "/file.wav"));
  ASSERT_EQ(r.status, 0) << r.err;
  // The summary goes to stderr so that only audio reaches the pipe.
  ASSERT_EQ(Shell(Line(Render(in, "-")) + " 2>/dev/null | cat > " + Quote(dir + "/piped.wav")), 0);
  ASSERT_EQ(Shell("cat " + Quote(in) + " | " + Line(Render("-", dir + "/fed.wav")) + " >/dev/null"), 0);
  // --type names the format where no extension can.
  auto flac = Render(in, "-");
  flac.insert(flac.end(), {"--type", "flac"});
  ASSERT_EQ(Shell(Line(flac) + " 2>/dev/null | cat > " + Quote(dir + "/piped.flac")), 0);
  EXPECT_FALSE(FileExists(dir + "/-"));
  const std::string file = Bytes(dir + "/file.wav");
  EXPECT_GT(file.size(), 100000u);
  EXPECT_TRUE(Bytes(dir + "/piped.wav") == file);
  EXPECT_TRUE(Bytes(dir + "/fed.wav") == file);
  // The same file, made aside and copied into the pipe.
  ASSERT_EQ(Vornhost(Render(in, dir + "/file.flac")).status, 0);
  EXPECT_EQ(Container(dir + "/piped.flac"), SF_FORMAT_FLAC);
  EXPECT_TRUE(Bytes(dir + "/piped.flac") == Bytes(dir + "/file.flac"));
}

TEST(OutputPaths, AUsersPartFileAndTheReplacedFilesPermissionsAreKept) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_part");
  const std::string in = ClickFile(dir), out = dir + "/out.wav";
  WriteBytes(out + ".part", "my notes\n");
  WriteBytes(out, "old\n");
  fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Outcome r = Vornhost(Render(in, out));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Bytes(out + ".part"), "my notes\n");
  EXPECT_EQ(ReadAudio(out).frames(), 22050u + 13230u);
  EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

TEST(OutputPaths, FoldersAndMissingFoldersFailBeforeThePluginLoads) {
  const std::string dir = TempDir("files_folder");
  const std::string in = ClickFile(dir);
  fs::create_directory(dir + "/sub");
  // The plug-in named does not exist: the output's error must come first.
  const std::string missing = dir + "/missing.so";
  ExpectOneLine(Vornhost({"render", in, dir + "/sub", missing}), 1, "it is a folder");
  ExpectOneLine(Vornhost({"render", in, dir + "/no/such/out.wav", missing}), 1, "there is no folder");
  ExpectOneLine(Vornhost({"render", in, dir + "/out.wav", missing, "--save-state", dir + "/sub"}), 1,
                "it is a folder");
  ExpectOneLine(Vornhost({"render", in, dir + "/out.xyz", missing}), 1, "unknown file type '.xyz'");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST(OutputPaths, TheExtensionOrTypeChoosesTheFormatAndKeepsTheEncodingWhereItFits) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_format");
  const std::string in = ClickFile(dir, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  struct {
    std::string name;
    int format;
  } cases[] = {{"out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},  // float does not fit FLAC
               {"out.AIFF", SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
               {"out.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
               {"noextension", SF_FORMAT_WAV | SF_FORMAT_FLOAT}};
  for (const auto& c : cases) {
    Outcome r = Vornhost(Render(in, dir + "/" + c.name));
    ASSERT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(ReadAudio(dir + "/" + c.name).format, c.format) << c.name;
  }
  auto typed = Render(in, dir + "/take");
  typed.insert(typed.end(), {"--type", "flac"});
  ASSERT_EQ(Vornhost(typed).status, 0);
  EXPECT_EQ(Container(dir + "/take"), SF_FORMAT_FLAC);
}

TEST(Reproducible, TheSameFloatRenderGivesTheSameBytes) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_same");
  const std::string in = ClickFile(dir, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  ASSERT_EQ(Vornhost(Render(in, dir + "/a.wav")).status, 0);
  ASSERT_EQ(Vornhost(Render(in, dir + "/b.wav")).status, 0);
  const std::string a = Bytes(dir + "/a.wav");
  EXPECT_TRUE(a == Bytes(dir + "/b.wav"));
  // A PEAK chunk would hold the time of writing.
  EXPECT_EQ(a.find("PEAK"), std::string::npos);
}

// Runs vornhost with args, its standard input fed `frames` stereo frames of
// 16-bit audio made on the fly (an AU stream of unknown length), and answers
// its exit status and peak resident memory in kB.
std::pair<int, long> FeedAndMeasure(const std::vector<std::string>& args, std::size_t frames) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {-1, 0};
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[0], 0);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    std::vector<char*> argv{const_cast<char*>(VORNHOST_EXE)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VORNHOST_EXE, argv.data());
    _exit(127);
  }
  close(pipeEnds[0]);
  std::signal(SIGPIPE, SIG_IGN);
  auto put32 = [](std::string& s, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
  };
  std::string header = ".snd";
  for (std::uint32_t v : {24u, 0xFFFFFFFFu, 3u, 48000u, 2u}) put32(header, v);
  bool open = write(pipeEnds[1], header.data(), header.size()) == static_cast<ssize_t>(header.size());
  std::vector<char> block(4 * 4096);
  std::uint32_t noise = 1;
  for (std::size_t done = 0; open && done < frames; done += 4096) {
    const std::size_t n = std::min<std::size_t>(4096, frames - done);
    for (std::size_t i = 0; i < 2 * n; ++i) {
      noise = noise * 1664525u + 1013904223u;
      const auto sample = static_cast<std::uint16_t>((noise >> 16) & 0x1FFF);  // quiet noise
      block[2 * i] = static_cast<char>(sample >> 8);
      block[2 * i + 1] = static_cast<char>(sample & 0xFF);
    }
    for (std::size_t at = 0; open && at < 4 * n;) {
      const ssize_t w = write(pipeEnds[1], block.data() + at, 4 * n - at);
      if (w < 0 && errno == EINTR) continue;
      open = w > 0;
      at += w > 0 ? static_cast<std::size_t>(w) : 0;
    }
  }
  close(pipeEnds[1]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), usage.ru_maxrss};
}

TEST(Streaming, ALongRenderFromAPipeStaysSmallInMemory) {
  REQUIRE_OURS();
  // Two minutes of stereo at 48 kHz: 92 MB as doubles, in and out twice
  // that; a stream holds a few blocks. bench/render_memory.sh renders an hour.
  const std::string dir = TempDir("files_long");
  const auto [status, peakKb] = FeedAndMeasure(
      {"render", "-", dir + "/out.flac", kOurs, "--tail", "0", "--block", "4096"}, 120 * 48000);
  ASSERT_EQ(status, 0);
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer's shadow memory and quarantine are not vornhost's.
  std::printf("peak resident memory %ld kB, not compared under AddressSanitizer\n", peakKb);
#else
  EXPECT_LT(peakKb, 64 * 1024);
#endif
  EXPECT_EQ(ReadAudio(dir + "/out.flac").frames(), 120u * 48000u);
}

TEST(Errors, UsageMistakesAreOneLineWithStatusTwo) {
  ExpectOneLine(Vornhost({"bogus"}), 2, "unknown subcommand 'bogus'");
  ExpectOneLine(Vornhost({}), 2, "subcommand is required");
  ExpectOneLine(Vornhost({"render", "in.wav"}), 2, "output is required");
  ExpectOneLine(Vornhost({"render", "in.wav", "out.wav", "--block", "0"}), 2, "--block");
  ExpectOneLine(Vornhost({"info", "--no-such-option"}), 2, "--no-such-option");
  Outcome version = Vornhost({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "vornhost " VORN_VERSION "\n");
}

TEST(Errors, StateFilesThatAreNoneOrTooBigAreRefused) {
  REQUIRE_OURS();
  const std::string dir = TempDir("files_state");
  const std::string in = ClickFile(dir), out = dir + "/out.wav";
  ASSERT_EQ(Vornhost({"render", in, out, kOurs, "--tail", "0", "--save-state", dir + "/good.fxp"}).status, 0);
  const std::string good = Bytes(dir + "/good.fxp");
  ASSERT_GT(good.size(), 64u);
  // The chunk follows the 56-byte header and its 4-byte size.
  std::string badMarker = good;
  badMarker[60] = badMarker[61] = badMarker[62] = badMarker[63] = 0;
  WriteBytes(dir + "/marker.fxp", badMarker);
  std::string empty = good.substr(0, 60);
  empty[4] = empty[5] = empty[6] = 0;
  empty[7] = 52;
  empty[56] = empty[57] = empty[58] = empty[59] = 0;
  WriteBytes(dir + "/empty.fxp", empty);
  fs::remove(out);
  ExpectOneLine(Vornhost({"render", in, out, kOurs, "--preset", dir + "/marker.fxp"}), 1,
                "a chunk the plug-in did not take");
  ExpectOneLine(Vornhost({"render", in, out, kOurs, "--state", dir + "/empty.fxp"}), 1, "an empty chunk");
  ExpectOneLine(Vornhost({"render", in, out, kOurs, "--state", "/dev/zero"}), 1, "larger than");
  EXPECT_FALSE(FileExists(out));
}

TEST(Locator, WithoutAPathOnlyInstalledAndUserFoldersAreSearched) {
  REQUIRE_OURS();
  const std::string home = TempDir("files_home");
  const char* saved = std::getenv("HOME");
  const std::string savedHome = saved != nullptr ? saved : "";
  setenv("HOME", home.c_str(), 1);
  // This vornhost is the file an install copies: it must not know its build tree.
  Outcome none = Vornhost({"info"});
  fs::create_directories(home + "/.vst");
  fs::copy_file(kOurs, home + "/.vst/VornDelay2.so");
  Outcome user = Vornhost({"info"});
  setenv("HOME", savedHome.c_str(), 1);
  ExpectOneLine(none, 1, "no plug-in given");
  EXPECT_EQ(user.status, 0) << user.err;
  EXPECT_NE(user.out.find("Vorn Delay 2"), std::string::npos) << user.out;
}

}  // namespace
}  // namespace vornhost_test
