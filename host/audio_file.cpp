#include "host/audio_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "host/host_error.h"
#include "host/output_file.h"

namespace vornhost {

namespace {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

constexpr int kStandardInput = 0;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The container a file type names: common names first, then libsndfile's
// own table of extensions. 0 when none.
int ContainerOf(const std::string& type) {
  static const struct {
    const char* name;
    int format;
  } kCommon[] = {{"wav", SF_FORMAT_WAV},   {"wave", SF_FORMAT_WAV},  {"flac", SF_FORMAT_FLAC},
                 {"aiff", SF_FORMAT_AIFF}, {"aif", SF_FORMAT_AIFF},  {"aifc", SF_FORMAT_AIFF},
                 {"ogg", SF_FORMAT_OGG},   {"oga", SF_FORMAT_OGG},   {"caf", SF_FORMAT_CAF},
                 {"w64", SF_FORMAT_W64},   {"rf64", SF_FORMAT_RF64}, {"au", SF_FORMAT_AU}};
  for (const auto& common : kCommon)
    if (type == common.name) return common.format;
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0 && info.extension != nullptr &&
        Lower(info.extension) == type)
      return info.format & SF_FORMAT_TYPEMASK;
  }
  return 0;
}

bool CanWrite(int format, int channels, double sampleRate) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = static_cast<int>(sampleRate + 0.5);
  return sf_format_check(&info) != 0;
}

}  // namespace

struct AudioReader::Impl {
  std::string name;
  SF_INFO info{};
  SndfilePtr file;
  std::vector<double> interleaved;
};

AudioReader::AudioReader(const std::string& path) : impl_(std::make_unique<Impl>()) {
  impl_->name = path == "-" ? "standard input" : path;
  impl_->file.reset(path == "-" ? sf_open_fd(kStandardInput, SFM_READ, &impl_->info, SF_FALSE)
                                : sf_open(path.c_str(), SFM_READ, &impl_->info));
  if (!impl_->file) throw HostError("cannot read audio file '" + impl_->name + "': " + sf_strerror(nullptr));
  if (impl_->info.channels < 1 || impl_->info.samplerate < 1)
    throw HostError("audio file '" + impl_->name + "' has no channels or no sample rate");
}

AudioReader::~AudioReader() = default;

int AudioReader::channels() const {
  return impl_->info.channels;
}

double AudioReader::sampleRate() const {
  return impl_->info.samplerate;
}

std::int64_t AudioReader::frames() const {
  // Through a pipe the header's length may be a placeholder.
  return impl_->info.seekable ? static_cast<std::int64_t>(impl_->info.frames) : -1;
}

int AudioReader::format() const {
  return impl_->info.format;
}

const std::string& AudioReader::name() const {
  return impl_->name;
}

std::size_t AudioReader::Read(double* const* out, std::size_t count) {
  const auto channels = static_cast<std::size_t>(impl_->info.channels);
  if (impl_->interleaved.size() < count * channels) impl_->interleaved.resize(count * channels);
  std::size_t got = 0;
  while (got < count) {
    const sf_count_t n = sf_readf_double(impl_->file.get(), impl_->interleaved.data() + got * channels,
                                         static_cast<sf_count_t>(count - got));
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got < count && sf_error(impl_->file.get()) != SF_ERR_NO_ERROR)
    throw HostError("error reading audio file '" + impl_->name + "': " + sf_strerror(impl_->file.get()));
  for (std::size_t f = 0; f < got; ++f)
    for (std::size_t c = 0; c < channels; ++c) out[c][f] = impl_->interleaved[f * channels + c];
  return got;
}

int ChooseOutputFormat(const std::string& path, const std::string& type, int inputFormat, int channels,
                       double sampleRate) {
  std::string wanted = Lower(type);
  if (wanted.empty() && path != "-") {
    wanted = Lower(std::filesystem::path(path).extension().string());
    if (!wanted.empty()) wanted.erase(0, 1);
  }
  const int inputContainer = inputFormat & SF_FORMAT_TYPEMASK;
  const int container = wanted.empty() ? inputContainer : ContainerOf(wanted);
  if (container == 0) {
    if (!type.empty()) throw HostError("unknown file type '" + type + "' (try wav, flac, aiff or ogg)");
    throw HostError("unknown file type '." + wanted + "' of '" + path +
                    "'; name one with --type (wav, flac, aiff, ogg, ...)");
  }
  const int encodings[] = {inputFormat & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16,
                           SF_FORMAT_VORBIS, SF_FORMAT_FLOAT};
  for (int encoding : encodings)
    if (CanWrite(container | encoding, channels, sampleRate)) return container | encoding;
  if (wanted.empty()) return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  throw HostError("libsndfile cannot write " + std::to_string(channels) + " channels at " +
                  std::to_string(static_cast<int>(sampleRate)) + " Hz as " + FormatName(container));
}

struct AudioWriter::Impl {
  explicit Impl(OutputFile& out) : output(out) {}
  OutputFile& output;
  std::string name;
  std::size_t channels = 0;
  SndfilePtr file;
  std::unique_ptr<std::FILE, FileCloser> spool;
  std::vector<double> interleaved;
};

AudioWriter::AudioWriter(OutputFile& output, int format, int channels, double sampleRate)
    : impl_(std::make_unique<Impl>(output)) {
  impl_->name = output.Name();
  if (channels < 1) throw HostError("nothing to write to '" + impl_->name + "'");
  impl_->channels = static_cast<std::size_t>(channels);
  SF_INFO info{};
  info.samplerate = static_cast<int>(sampleRate + 0.5);
  info.channels = channels;
  info.format = format != 0 ? format : (SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  if (output.Seekable()) {
    impl_->file.reset(sf_open_fd(output.Descriptor(), SFM_WRITE, &info, SF_FALSE));
  } else {
    // WAV, AIFF and FLAC complete their headers at the end, which a pipe
    // cannot take back: the file is made aside and then copied.
    impl_->spool.reset(std::tmpfile());
    if (!impl_->spool) throw HostError("cannot write '" + impl_->name + "': no room for a temporary file");
    impl_->file.reset(sf_open_fd(fileno(impl_->spool.get()), SFM_WRITE, &info, SF_FALSE));
  }
  if (!impl_->file) throw HostError("cannot write '" + impl_->name + "': " + sf_strerror(nullptr));
  // No PEAK chunk: it holds the time of writing, and the same render must
  // give the same bytes.
  sf_command(impl_->file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  // Clip instead of wrapping when a float signal exceeds full scale.
  sf_command(impl_->file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioWriter::~AudioWriter() = default;

void AudioWriter::Write(const double* const* in, std::size_t count) {
  const std::size_t channels = impl_->channels;
  if (impl_->interleaved.size() < count * channels) impl_->interleaved.resize(count * channels);
  for (std::size_t f = 0; f < count; ++f)
    for (std::size_t c = 0; c < channels; ++c) impl_->interleaved[f * channels + c] = in[c][f];
  if (sf_writef_double(impl_->file.get(), impl_->interleaved.data(), static_cast<sf_count_t>(count)) !=
      static_cast<sf_count_t>(count))
    throw HostError("cannot write '" + impl_->name + "': " + sf_strerror(impl_->file.get()));
}

void AudioWriter::Finish() {
  if (sf_close(impl_->file.release()) != 0) throw HostError("cannot finish writing '" + impl_->name + "'");
  if (impl_->spool) {
    std::FILE* spool = impl_->spool.get();
    std::rewind(spool);
    std::vector<char> piece(1 << 16);
    for (;;) {
      const std::size_t n = std::fread(piece.data(), 1, piece.size(), spool);
      if (n == 0) break;
      impl_->output.WriteAll(piece.data(), n);
    }
    if (std::ferror(spool)) throw HostError("cannot finish writing '" + impl_->name + "'");
    impl_->spool.reset();
  }
}

void WriteAudioFile(OutputFile& output, const AudioData& data) {
  AudioWriter writer(output, data.format, data.channelCount(), data.sampleRate);
  std::vector<const double*> channels;
  for (const auto& channel : data.channels) channels.push_back(channel.data());
  channels.push_back(nullptr);
  constexpr std::size_t kChunkFrames = 65536;
  for (std::size_t start = 0; start < data.frames(); start += kChunkFrames) {
    const std::size_t n = std::min(kChunkFrames, data.frames() - start);
    writer.Write(channels.data(), n);
    for (std::size_t c = 0; c + 1 < channels.size(); ++c) channels[c] += n;
  }
  writer.Finish();
  output.Commit();
}

std::string FormatName(int format) {
  SF_FORMAT_INFO major{};
  major.format = format & SF_FORMAT_TYPEMASK;
  SF_FORMAT_INFO minor{};
  minor.format = format & SF_FORMAT_SUBMASK;
  std::string name = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major) == 0 ? major.name : "?";
  if (minor.format != 0 && sf_command(nullptr, SFC_GET_FORMAT_INFO, &minor, sizeof minor) == 0)
    name += std::string(", ") + minor.name;
  return name;
}

}  // namespace vornhost
