#include "test_support.h"

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vornhost_test {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct JsonParser {
  const std::string& s;
  std::size_t i = 0;
  void Space() {
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  }
  bool Literal(const char* word) {
    std::size_t n = std::char_traits<char>::length(word);
    if (s.compare(i, n, word) != 0) return false;
    i += n;
    return true;
  }
  bool String() {
    if (i >= s.size() || s[i] != '"') return false;
    for (++i; i < s.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c == '"') return ++i, true;
      if (c < 0x20) return false;
      if (c == '\\') ++i;
    }
    return false;
  }
  bool Number() {
    std::size_t start = i;
    if (i < s.size() && s[i] == '-') ++i;
    while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.' || s[i] == 'e' ||
                            s[i] == 'E' || s[i] == '+' || s[i] == '-'))
      ++i;
    return i > start;
  }
  bool Value() {
    Space();
    if (i >= s.size()) return false;
    char c = s[i];
    if (c == '{' || c == '[') {
      char close = c == '{' ? '}' : ']';
      ++i;
      Space();
      if (i < s.size() && s[i] == close) return ++i, true;
      for (;;) {
        if (c == '{') {
          Space();
          if (!String()) return false;
          Space();
          if (i >= s.size() || s[i++] != ':') return false;
        }
        if (!Value()) return false;
        Space();
        if (i < s.size() && s[i] == ',') {
          ++i;
          continue;
        }
        return i < s.size() && s[i++] == close;
      }
    }
    if (c == '"') return String();
    if (Literal("true") || Literal("false") || Literal("null")) return true;
    return Number();
  }
};

}  // namespace

Outcome Vornhost(const std::vector<std::string>& args) {
  static int counter = 0;
  const std::string base = std::filesystem::temp_directory_path().string() + "/vornhost_test_" +
                           std::to_string(getpid()) + "_" + std::to_string(counter++);
  std::string command = Quote(VORNHOST_EXE);
  // Appended piece by piece: GCC 12 at -O3 misreads "literal" + string as
  // an overlapping copy (-Wrestrict).
  for (const auto& a : args) command.append(" ").append(Quote(a));
  command.append(" >").append(base).append(".out 2>").append(base).append(".err </dev/null");
  int raw = std::system(command.c_str());
  Outcome run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.out = Slurp(base + ".out");
  run.err = Slurp(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return run;
}

Audio ReadAudio(const std::string& path) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (f == nullptr) throw std::runtime_error("cannot read " + path);
  Audio a;
  a.rate = info.samplerate;
  a.format = info.format;
  std::vector<double> all(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_double(f, all.data(), info.frames);
  sf_close(f);
  a.channels.assign(static_cast<std::size_t>(info.channels),
                    std::vector<double>(static_cast<std::size_t>(info.frames)));
  for (std::size_t i = 0; i < static_cast<std::size_t>(info.frames); ++i)
    for (std::size_t c = 0; c < a.channels.size(); ++c) a.channels[c][i] = all[i * a.channels.size() + c];
  return a;
}

void WriteAudio(const std::string& path, const Audio& a) {
  SF_INFO info{};
  info.samplerate = a.rate;
  info.channels = static_cast<int>(a.channels.size());
  info.format = a.format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  std::vector<double> all(a.frames() * a.channels.size());
  for (std::size_t i = 0; i < a.frames(); ++i)
    for (std::size_t c = 0; c < a.channels.size(); ++c) all[i * a.channels.size() + c] = a.channels[c][i];
  sf_writef_double(f, all.data(), static_cast<sf_count_t>(a.frames()));
  sf_close(f);
}

std::string TempDir(const std::string& name) {
  auto dir =
      std::filesystem::temp_directory_path() / ("vornhost_test_" + std::to_string(getpid()) + "_" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

bool IsValidJson(const std::string& text) {
  JsonParser p{text};
  if (!p.Value()) return false;
  p.Space();
  return p.i == text.size();
}

}  // namespace vornhost_test
