#include "host/render_pipeline.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/progress_bar.h"

namespace vornhost {

namespace {

constexpr double kSilence = 1.5848931924611134e-05;  // -96 dBFS

// Output frames rendered but not yet known to be kept: the quiet stretch
// at the end of an automatic tail, which is trimmed when the render stops.
// A ring of fixed size, allocated once.
class HeldFrames {
 public:
  HeldFrames(std::size_t channels, std::size_t capacity)
      : store_(channels, std::vector<double>(capacity)), pointers_(channels + 1, nullptr) {}

  std::size_t size() const { return size_; }

  void Push(double* const* block, std::size_t frames) {
    const std::size_t capacity = store_.empty() ? 0 : store_[0].size();
    for (std::size_t f = 0; f < frames; ++f) {
      const std::size_t at = (start_ + size_ + f) % capacity;
      for (std::size_t c = 0; c < store_.size(); ++c) store_[c][at] = block[c][f];
    }
    size_ += frames;
  }

  // Hands the oldest count frames to sink, in at most two pieces.
  void Release(AudioSink& sink, std::size_t count) {
    const std::size_t capacity = store_.empty() ? 0 : store_[0].size();
    while (count > 0) {
      const std::size_t piece = std::min(count, capacity - start_);
      for (std::size_t c = 0; c < store_.size(); ++c) pointers_[c] = store_[c].data() + start_;
      sink.Write(pointers_.data(), piece);
      start_ = (start_ + piece) % capacity;
      size_ -= piece;
      count -= piece;
    }
  }

 private:
  std::vector<std::vector<double>> store_;
  std::vector<double*> pointers_;
  std::size_t start_ = 0, size_ = 0;
};

class MemorySource : public AudioSource {
 public:
  explicit MemorySource(const AudioData& data) : data_(data) {}
  int channels() const override { return data_.channelCount(); }
  double sampleRate() const override { return data_.sampleRate; }
  std::int64_t frames() const override { return static_cast<std::int64_t>(data_.frames()); }
  std::size_t Read(double* const* out, std::size_t count) override {
    const std::size_t n = std::min(count, data_.frames() - pos_);
    for (std::size_t c = 0; c < data_.channels.size(); ++c)
      std::copy_n(data_.channels[c].begin() + static_cast<std::ptrdiff_t>(pos_), n, out[c]);
    pos_ += n;
    return n;
  }

 private:
  const AudioData& data_;
  std::size_t pos_ = 0;
};

class MemorySink : public AudioSink {
 public:
  explicit MemorySink(AudioData& data) : data_(data) {}
  void Write(const double* const* in, std::size_t count) override {
    for (std::size_t c = 0; c < data_.channels.size(); ++c)
      data_.channels[c].insert(data_.channels[c].end(), in[c], in[c] + count);
  }

 private:
  AudioData& data_;
};

}  // namespace

RenderResult Render(BlockEngine& engine, AudioSource& source, AudioSink& sink, const RenderOptions& options) {
  const double rate = source.sampleRate();
  const auto block = static_cast<std::size_t>(options.blockSize);
  const bool autoTail = options.tailSeconds < 0.0;
  const auto tailFrames =
      static_cast<std::size_t>(std::llround((autoTail ? kAutoTailMax : options.tailSeconds) * rate));
  const auto quietFrames = static_cast<std::size_t>(kAutoTailQuiet * rate);
  // Keep a short margin after the last audible frame so the file ends in silence.
  const auto margin = static_cast<std::size_t>(0.1 * rate);
  const std::int64_t knownFrames = source.frames();

  const auto sourceChannels = static_cast<std::size_t>(source.channels());
  const auto outputs = static_cast<std::size_t>(engine.outputs());
  std::vector<std::vector<double>> inStore(sourceChannels, std::vector<double>(block));
  std::vector<std::vector<double>> outStore(outputs, std::vector<double>(block));
  std::vector<double*> read(sourceChannels + 1, nullptr), out(outputs + 1, nullptr);
  for (std::size_t c = 0; c < sourceChannels; ++c) read[c] = inStore[c].data();
  for (std::size_t o = 0; o < outputs; ++o) out[o] = outStore[o].data();
  std::vector<const double*> in(static_cast<std::size_t>(engine.inputs()) + 1, nullptr);
  // What is held never exceeds the quiet stretch plus the block that ends it.
  HeldFrames held(outputs, autoTail ? quietFrames + margin + 2 * block : 0);
  ProgressBar progress("rendering", options.progress);

  std::size_t pos = 0;
  std::size_t inFrames = 0;  // known once the input has ended
  bool inputDone = false;
  std::size_t lastLoud = 0;  // one past the last frame above the silence level
  std::size_t written = 0;
  for (;;) {
    std::size_t frames = 0;
    if (!inputDone) {
      frames = source.Read(read.data(), block);
      if (frames < block) {
        inputDone = true;
        inFrames = pos + frames;
      }
      if (frames == 0) continue;
      for (std::size_t i = 0; i + 1 < in.size(); ++i) in[i] = read[std::min(i, sourceChannels - 1)];
    } else {
      if (pos >= inFrames + tailFrames) break;
      frames = std::min(block, inFrames + tailFrames - pos);
      std::fill(in.begin(), in.end(), nullptr);
    }
    engine.Process(in.data(), out.data(), static_cast<int>(frames), static_cast<double>(pos));
    for (std::size_t o = 0; o < outputs; ++o)
      for (std::size_t f = 0; f < frames; ++f)
        if (!(std::fabs(out[o][f]) <= kSilence)) lastLoud = std::max(lastLoud, pos + f + 1);
    pos += frames;

    // Everything up to the input's end is kept, and so is an automatic
    // tail up to the margin after its last audible frame; the rest waits.
    if (autoTail && inputDone) {
      const std::size_t keep = std::min(pos, std::max(inFrames, lastLoud + margin));
      held.Push(out.data(), frames);
      if (keep > written) {
        held.Release(sink, keep - written);
        written = keep;
      }
      if (pos > inFrames && pos - std::max(lastLoud, inFrames) >= quietFrames) break;
    } else {
      sink.Write(out.data(), frames);
      written = pos;
    }
    if (knownFrames >= 0)
      progress.Update(knownFrames > 0 ? static_cast<double>(std::min<std::int64_t>(
                                            static_cast<std::int64_t>(pos), knownFrames)) /
                                            static_cast<double>(knownFrames)
                                      : 1.0);
    else
      progress.UpdateSeconds(static_cast<double>(pos) / rate);
  }
  progress.Finish();
  return {inFrames, written};
}

AudioData Render(BlockEngine& engine, const AudioData& input, const RenderOptions& options) {
  AudioData output;
  output.sampleRate = input.sampleRate;
  output.format = input.format;
  output.channels.assign(static_cast<std::size_t>(engine.outputs()), {});
  MemorySource source(input);
  MemorySink sink(output);
  Render(engine, source, sink, options);
  return output;
}

AudioData Render(PluginInstance& plugin, const AudioData& input, const RenderOptions& options) {
  VstBlockEngine engine(plugin, options.blockSize, options.precision);
  return Render(engine, input, options);
}

}  // namespace vornhost
