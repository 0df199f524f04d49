// ClapPlugin's state: the same chunk the VST and LV2 builds store (the
// marker and the 64 slider values as little-endian floats), so settings
// move between the three formats. Streams may move any number of bytes per
// call; reads and writes loop until the chunk is through.
#include <cmath>
#include <cstring>
#include <thread>

#include "effect/morvox_effect.h"
#include "formats/clap/clap_plugin.h"
#include "runtime/morvox_files.h"

namespace {

void PutFloat(std::uint8_t* at, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int k = 0; k < 4; ++k) at[k] = static_cast<std::uint8_t>(bits >> (8 * k));
}

float GetFloat(const std::uint8_t* at) {
  std::uint32_t bits = 0;
  for (int k = 0; k < 4; ++k) bits |= static_cast<std::uint32_t>(at[k]) << (8 * k);
  float value = 0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace

void ClapPlugin::PublishSettings() {
  // A reader that sees any value of this publication also sees the odd
  // count before it (each value is a release store), so it reads again.
  const std::uint32_t count = publishCount_.load(std::memory_order_relaxed);
  publishCount_.store(count + 1, std::memory_order_relaxed);
  for (std::size_t n = 1; n <= published_.size(); ++n)
    published_[n - 1].store(script_->sliderValues[n], std::memory_order_release);
  publishCount_.store(count + 2, std::memory_order_release);
}

double ClapPlugin::PublishedValue(clap_id id) const {
  if (id == kBypassParam) return publishedBypass_.load(std::memory_order_acquire) ? 1.0 : 0.0;
  const SliderInfo* slider = script_->SliderAt(static_cast<std::int32_t>(id));
  if (slider == nullptr) return 0.0;
  const auto slot = static_cast<std::size_t>(slider->number) & 127;
  if (slot < 1 || slot > published_.size()) return slider->defaultValue;
  if (appliedSequence_.load(std::memory_order_acquire) != postedSequence_) {
    // A loaded chunk on its way to the sound: its finite values are the
    // settings already.
    const float value = GetFloat(postedChunk_.data() + slot * 4);
    if (std::isfinite(value)) return value;
  }
  for (int attempt = 0;; ++attempt) {
    const std::uint32_t before = publishCount_.load(std::memory_order_acquire);
    const double value = published_[slot - 1].load(std::memory_order_acquire);
    const std::uint32_t after = publishCount_.load(std::memory_order_relaxed);
    if (((before & 1u) == 0 && before == after) || attempt == 10000) return value;
    std::this_thread::yield();
  }
}

void ClapPlugin::CurrentChunk(std::uint8_t* chunk) const {
  PutFloat(chunk, kChunkMarker);
  // Read first: a chunk the sound took before this read is in the values
  // read after it.
  const bool posted = appliedSequence_.load(std::memory_order_acquire) != postedSequence_;
  double values[64];
  for (int attempt = 0;; ++attempt) {
    const std::uint32_t before = publishCount_.load(std::memory_order_acquire);
    for (std::size_t n = 0; n < 64; ++n) values[n] = published_[n].load(std::memory_order_acquire);
    const std::uint32_t after = publishCount_.load(std::memory_order_relaxed);
    // Each value is one the settings held; after this long (a sound that
    // never leaves its publication) they are taken as they are.
    if (((before & 1u) == 0 && before == after) || attempt == 10000) break;
    std::this_thread::yield();
  }
  for (std::size_t n = 1; n <= 64; ++n) {
    float value = static_cast<float>(values[n - 1]);
    if (posted) {
      // A damaged entry of the posted chunk keeps the value the slot has.
      const float loaded = GetFloat(postedChunk_.data() + n * 4);
      if (std::isfinite(loaded)) value = loaded;
    }
    PutFloat(chunk + n * 4, value);
  }
}

bool ClapPlugin::SaveState(const clap_ostream_t* stream) {
  if (stream == nullptr || stream->write == nullptr) return false;
  std::uint8_t chunk[kChunkBytes];
  CurrentChunk(chunk);
  std::size_t written = 0;
  // A stream that takes nothing twice in a row has stopped taking.
  int idle = 0;
  while (written < kChunkBytes) {
    const std::int64_t n = stream->write(stream, chunk + written, kChunkBytes - written);
    if (n < 0 || static_cast<std::uint64_t>(n) > kChunkBytes - written) return false;
    if (n == 0 && ++idle >= 2) return false;
    if (n > 0) idle = 0;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

bool ClapPlugin::IsOurChunk(const std::uint8_t* data, std::size_t size) {
  return data != nullptr && size == kChunkBytes && GetFloat(data) == kChunkMarker;
}

bool ClapPlugin::LoadState(const clap_istream_t* stream) {
  if (stream == nullptr || stream->read == nullptr) return false;
  // One byte more than a chunk is read for: a longer stream is not ours.
  std::uint8_t data[kChunkBytes + 1];
  std::size_t got = 0;
  while (got < sizeof data) {
    const std::int64_t n = stream->read(stream, data + got, sizeof data - got);
    if (n < 0 || static_cast<std::uint64_t>(n) > sizeof data - got) return false;
    if (n == 0) break;  // the end
    got += static_cast<std::size_t>(n);
  }
  if (!IsOurChunk(data, got)) return false;
  LoadChunk(data);
  return true;
}

void ClapPlugin::LoadChunk(const std::uint8_t* chunk) {
  if (!Active()) {
    // Nothing runs the sound: the main thread takes the chunk itself.
    script_->SetChunk(chunk, static_cast<std::int32_t>(kChunkBytes), false);
    PublishSettings();
    return;
  }
  std::memcpy(postedChunk_.data(), chunk, kChunkBytes);
  postedSequence_ += 1;
  mailbox_.Post(chunk, postedSequence_);
}
