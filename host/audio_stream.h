// Audio that flows block by block: where a render reads its input and
// where it puts its output, whether files, pipes or memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vornhost {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  virtual int channels() const = 0;
  virtual double sampleRate() const = 0;
  // Frames in all, or -1 when not known before the end (a pipe).
  virtual std::int64_t frames() const = 0;
  // Reads up to `count` frames into out[0..channels), one array per
  // channel. Answers fewer than count only at the end, 0 after it.
  virtual std::size_t Read(double* const* out, std::size_t count) = 0;
};

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  // Appends `count` frames, one array per channel.
  virtual void Write(const double* const* in, std::size_t count) = 0;
};

}  // namespace vornhost
