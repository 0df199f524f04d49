// Audio files through libsndfile (WAV, AIFF, FLAC, Ogg and whatever else
// it knows), read and written block by block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_stream.h"

namespace vornhost {

class OutputFile;

// A whole signal in memory, for short generated ones.
struct AudioData {
  double sampleRate = 44100.0;
  int format = 0;  // libsndfile container and encoding; 0 = 24-bit WAV when writing
  std::vector<std::vector<double>> channels;

  int channelCount() const { return static_cast<int>(channels.size()); }
  std::size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Streams a file, or standard input for "-". Throws HostError for an
// unreadable or non-audio file.
class AudioReader : public AudioSource {
 public:
  explicit AudioReader(const std::string& path);
  ~AudioReader() override;
  int channels() const override;
  double sampleRate() const override;
  std::int64_t frames() const override;
  std::size_t Read(double* const* out, std::size_t count) override;
  int format() const;
  const std::string& name() const;  // the path, or "standard input"

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The format of an output: the one `type` names (an extension such as
// "flac", "wav", "aiff", "ogg"), else the one of the path's extension,
// else (no extension, or standard output) the input's container. The
// encoding is the input's where the container holds it, else the
// container's usual one. Throws HostError for a type libsndfile does not
// know.
int ChooseOutputFormat(const std::string& path, const std::string& type, int inputFormat, int channels,
                       double sampleRate);

// Writes audio to an output file block by block. Where the output cannot
// seek (a pipe, a FIFO, a terminal), the file is made in an unnamed
// temporary file and copied there when complete: the formats complete their
// headers at the end.
class AudioWriter : public AudioSink {
 public:
  AudioWriter(OutputFile& output, int format, int channels, double sampleRate);
  ~AudioWriter() override;
  void Write(const double* const* in, std::size_t count) override;
  // Completes the file (its header, the copy to a pipe); throws HostError
  // when that fails. OutputFile::Commit() comes after.
  void Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes data in one go (see AudioData::format) and commits the output.
void WriteAudioFile(OutputFile& output, const AudioData& data);

// Short human name of a libsndfile format ("WAV 16-bit").
std::string FormatName(int format);

}  // namespace vornhost
