// Lv2Plugin's state: the same chunk the VST build hands its host (the
// marker and the 64 slider values as floats), stored as one atom:Chunk
// property, so settings move between the two formats. [instantiation]
#include <cstring>

#include "effect/morvox_effect.h"
#include "formats/lv2/lv2_plugin.h"

namespace {

// The chunk TMorvoxEffect writes: marker + 64 values, 4 bytes each.
constexpr std::size_t kChunkBytes = 65 * 4;

}  // namespace

LV2_State_Status Lv2Plugin::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (store == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (chunkKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;  // no URI map
  void* data = nullptr;
  const std::int32_t size = script_->GetChunk(&data, false);
  if (size <= 0 || data == nullptr) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, chunkKey_, data, static_cast<std::size_t>(size), chunkType_,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (retrieve == nullptr) return LV2_STATE_ERR_UNKNOWN;
  if (chunkKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;
  std::size_t size = 0;
  std::uint32_t type = 0;
  std::uint32_t flags = 0;
  const void* data = retrieve(handle, chunkKey_, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  // Anything but a chunk of exactly our size is not our state: the
  // settings stay as they are.
  if (type != chunkType_) return LV2_STATE_ERR_BAD_TYPE;
  if (size != kChunkBytes) return LV2_STATE_ERR_UNKNOWN;
  adoptPorts_ = true;
  if (ran_) {
    // Audio is running: run() fades to the dry input, then applies it.
    std::memcpy(pendingChunk_.data(), data, kChunkBytes);
    chunkPending_.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
  }
  script_->SetChunk(data, static_cast<std::int32_t>(size), false);
  return LV2_STATE_SUCCESS;
}

void Lv2Plugin::ApplyPendingChunk() {
  script_->SetChunk(pendingChunk_.data(), static_cast<std::int32_t>(kChunkBytes), false);
  // What the lines hold belongs to the old settings (cells a longer delay
  // now reaches may be seconds old): the new settings start from silence.
  script_->ClearEchoes();
  bypass_.FadeInInput();
  chunkPending_.store(false, std::memory_order_release);
}
