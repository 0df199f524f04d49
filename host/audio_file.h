// Audio files through libsndfile (WAV, AIFF, FLAC and whatever else it
// reads), held in memory as one array of doubles per channel.
#pragma once

#include <string>
#include <vector>

namespace vornhost {

struct AudioData {
  double sampleRate = 44100.0;
  int format = 0;  // libsndfile container and encoding; 0 = 24-bit WAV when writing
  std::vector<std::vector<double>> channels;

  int channelCount() const { return static_cast<int>(channels.size()); }
  std::size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Reads the whole file. Throws HostError for an unreadable or non-audio file.
AudioData ReadAudioFile(const std::string& path);

// Writes data in its format (see AudioData::format) to a temporary name next
// to path and renames it on success, so no partial file is ever left behind.
// Throws HostError when the file cannot be written.
void WriteAudioFile(const std::string& path, const AudioData& data);

// Short human name of a libsndfile format ("WAV 16-bit").
std::string FormatName(int format);

}  // namespace vornhost
