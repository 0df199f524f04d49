#include "host/audio_file.h"
#include "host/output_file.h"

#include <sndfile.h>

#include <cstdio>
#include <memory>

#include "host/host_error.h"

namespace vornhost {

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

constexpr sf_count_t kChunkFrames = 65536;

}  // namespace

AudioData ReadAudioFile(const std::string& path) {
  SF_INFO info{};
  SndfilePtr file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) throw HostError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1)
    throw HostError("audio file '" + path + "' has no channels or no sample rate");
  AudioData data;
  data.sampleRate = info.samplerate;
  data.format = info.format;
  data.channels.assign(static_cast<std::size_t>(info.channels), {});
  for (auto& channel : data.channels) channel.reserve(static_cast<std::size_t>(info.frames));
  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames * info.channels));
  for (;;) {
    sf_count_t got = sf_readf_double(file.get(), interleaved.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t f = 0; f < got; ++f)
      for (int c = 0; c < info.channels; ++c)
        data.channels[static_cast<std::size_t>(c)].push_back(
            interleaved[static_cast<std::size_t>(f * info.channels + c)]);
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR)
    throw HostError("error reading audio file '" + path + "': " + sf_strerror(file.get()));
  return data;
}

void WriteAudioFile(const std::string& path, const AudioData& data) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(data.sampleRate + 0.5);
  info.channels = data.channelCount();
  info.format = data.format != 0 ? data.format : (SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  if (info.channels < 1) throw HostError("nothing to write to '" + path + "'");
  if (sf_format_check(&info) == 0) {
    // The input's encoding cannot hold this many channels or this rate in its
    // container (a rare case): fall back to the container's common encoding.
    info.format = (info.format & SF_FORMAT_TYPEMASK) | SF_FORMAT_PCM_24;
    if (sf_format_check(&info) == 0) info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  }
  const std::string temporary = path + ".part";
  {
    SndfilePtr file(sf_open(temporary.c_str(), SFM_WRITE, &info));
    if (!file) throw HostError("cannot write '" + path + "': " + sf_strerror(nullptr));
    // Clip instead of wrapping when a float signal exceeds full scale.
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const std::size_t frames = data.frames();
    const std::size_t channels = data.channels.size();
    std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
    for (std::size_t start = 0; start < frames; start += kChunkFrames) {
      std::size_t n = std::min<std::size_t>(kChunkFrames, frames - start);
      for (std::size_t f = 0; f < n; ++f)
        for (std::size_t c = 0; c < channels; ++c)
          interleaved[f * channels + c] = data.channels[c][start + f];
      if (sf_writef_double(file.get(), interleaved.data(), static_cast<sf_count_t>(n)) !=
          static_cast<sf_count_t>(n)) {
        std::string why = sf_strerror(file.get());
        file.reset();
        std::remove(temporary.c_str());
        throw HostError("cannot write '" + path + "': " + why);
      }
    }
    if (sf_close(file.release()) != 0) {
      std::remove(temporary.c_str());
      throw HostError("cannot finish writing '" + path + "'");
    }
  }
  if (!MoveIntoPlace(temporary, path).empty())
    throw HostError("cannot move the finished file into place as '" + path + "'");
}

std::string FormatName(int format) {
  SF_FORMAT_INFO major{};
  major.format = format & SF_FORMAT_TYPEMASK;
  SF_FORMAT_INFO minor{};
  minor.format = format & SF_FORMAT_SUBMASK;
  std::string name = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 ? major.name : "?";
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &minor, sizeof minor) == 0)
    name += std::string(", ") + minor.name;
  return name;
}

}  // namespace vornhost
