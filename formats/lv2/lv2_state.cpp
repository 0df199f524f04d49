// Lv2Plugin's state: the same chunk the VST build hands its host (the
// marker and the 64 slider values as floats), stored as one atom:Chunk
// property, so settings move between the two formats.
#include <cmath>
#include <cstring>
#include <thread>

#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_plugin.h"
#include "runtime/morvox_files.h"

namespace {

constexpr std::size_t kChunkBytes = Lv2Plugin::kChunkFloats * sizeof(float);

}  // namespace

template <typename Value>
void Lv2Plugin::Publish(Value value) {
  // A reader that sees any value of this publication also sees the odd
  // count before it (each value is a release store), so it reads again.
  const std::uint32_t count = publishCount_.load(std::memory_order_relaxed);
  publishCount_.store(count + 1, std::memory_order_relaxed);
  for (std::size_t n = 1; n < kChunkFloats; ++n) published_[n - 1].store(value(n), std::memory_order_release);
  publishCount_.store(count + 2, std::memory_order_release);
}

void Lv2Plugin::PublishSettings() {
  Publish([this](std::size_t n) { return static_cast<float>(script_->sliderValues[n]); });
}

void Lv2Plugin::PublishChunk(const std::uint8_t* chunk) {
  // What the script will hold once it takes the chunk: a NaN or infinite
  // entry keeps the value the slot has.
  Publish([this, chunk](std::size_t n) {
    float value;
    std::memcpy(&value, chunk + n * sizeof(float), sizeof value);
    return std::isfinite(value) ? value : static_cast<float>(script_->sliderValues[n]);
  });
}

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (chunkKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;  // no URI map
  // The values of one publication, read without a lock: run() publishes
  // between blocks, so a read it overlaps is simply read again.
  float chunk[kChunkFloats];
  chunk[0] = kChunkMarker;
  for (int attempt = 0;; ++attempt) {
    const std::uint32_t before = publishCount_.load(std::memory_order_acquire);
    // Acquire loads: the count read after them cannot be read before them.
    for (std::size_t n = 1; n < kChunkFloats; ++n)
      chunk[n] = published_[n - 1].load(std::memory_order_acquire);
    const std::uint32_t after = publishCount_.load(std::memory_order_relaxed);
    if ((before & 1u) == 0 && before == after) break;
    // Each value is one the settings held; after this long (a run() that
    // never leaves its publication) they are taken as they are.
    if (attempt == 10000) break;
    std::this_thread::yield();
  }
  return store(handle, chunkKey_, chunk, kChunkBytes, chunkType_, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (chunkKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const void* data = retrieve(handle, chunkKey_, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  // Anything but a chunk of exactly our size that starts with our marker is
  // not our state: an error, and the settings and ports stay as they are.
  if (type != chunkType_) return LV2_STATE_ERR_BAD_TYPE;
  if (size != kChunkBytes) return LV2_STATE_ERR_UNKNOWN;
  float marker = 0;
  std::memcpy(&marker, data, sizeof marker);
  if (!(marker == kChunkMarker)) return LV2_STATE_ERR_UNKNOWN;
  restored_ = true;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    seenAtRestore_[i] = controls_[i] != nullptr ? 1 : 0;
    atRestore_[i] = controls_[i] != nullptr ? *controls_[i] : 0.0f;
  }
  if (ran_) {
    // Audio is running: run() fades to the dry input, then applies it.
    // Meanwhile a save answers the restored settings already.
    std::memcpy(pendingChunk_.data(), data, kChunkBytes);
    PublishChunk(pendingChunk_.data());
    chunkPending_.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
  }
  script_->SetChunk(data, static_cast<std::int32_t>(size), false);
  PublishSettings();
  return LV2_STATE_SUCCESS;
}

void Lv2Plugin::ApplyPendingChunk() {
  script_->SetChunk(pendingChunk_.data(), static_cast<std::int32_t>(kChunkBytes), false);
  // What the lines hold belongs to the old settings (cells a longer delay
  // now reaches may be seconds old): the new settings start from silence.
  script_->ClearEchoes();
  bypass_.FadeInInput();
  PublishSettings();
  chunkPending_.store(false, std::memory_order_release);
}
