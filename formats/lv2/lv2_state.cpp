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
  // A restore run() has not applied yet: its settings are the ones to
  // answer already (a NaN or infinite entry keeps the value the slot has,
  // as it will in the script).
  const std::uint32_t latest = restores_.Count();
  if (latest != retiredCount_.load(std::memory_order_acquire)) {
    Lv2RestoreSlot::Chunk restored{};
    std::uint32_t count = 0;
    for (int attempt = 0; attempt < 10000 && !restores_.TryRead(restored, count); ++attempt) {
      std::this_thread::yield();
    }
    if (count != 0) {
      for (std::size_t n = 1; n < kChunkFloats; ++n) {
        float value;
        std::memcpy(&value, &restored[n], sizeof value);
        if (std::isfinite(value)) chunk[n] = value;
      }
    }
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
  // Only run() (or activate()) changes what the sound uses: the chunk waits
  // in the slot, the newest over any older one, and save answers it at once.
  restores_.Write(data);
  return LV2_STATE_SUCCESS;
}

bool Lv2Plugin::TakeRestore() {
  if (restores_.Count() == takenCount_) return false;
  Lv2RestoreSlot::Chunk chunk;
  std::uint32_t count = 0;
  // A restore still writing: the next block takes it.
  if (!restores_.TryRead(chunk, count) || count == takenCount_) return false;
  taken_ = chunk;
  takenCount_ = count;
  return true;
}

void Lv2Plugin::ApplyTaken() {
  static_assert(sizeof taken_ == kChunkBytes);
  script_->SetChunk(taken_.data(), static_cast<std::int32_t>(kChunkBytes), false);
  appliedCount_ = takenCount_;
  holdUnseen_ = true;
  PublishSettings();
  // Published: Save answers the script's settings again.
  retiredCount_.store(appliedCount_, std::memory_order_release);
}
