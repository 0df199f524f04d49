// Running vornhost as a user would, and reading and writing the audio
// files it works on.
#pragma once

#include <string>
#include <vector>

namespace vornhost_test {

struct Outcome {
  int status = -1;  // exit status
  std::string out, err;
};

// Runs vornhost with args (each one argument, no shell quoting needed).
Outcome Vornhost(const std::vector<std::string>& args);

struct Audio {
  int rate = 44100;
  int format = 0;  // libsndfile format
  std::vector<std::vector<double>> channels;
  std::size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

Audio ReadAudio(const std::string& path);
void WriteAudio(const std::string& path, const Audio& audio);

// A fresh, empty folder for one test's files.
std::string TempDir(const std::string& name);
bool FileExists(const std::string& path);

// Whether text is one valid JSON value (objects, arrays, strings, numbers,
// true, false, null), nothing after it.
bool IsValidJson(const std::string& text);

}  // namespace vornhost_test
