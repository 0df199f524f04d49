#include "runtime/morvox_files.h"

#include <cstdio>
#include <cstring>

#include "runtime/module_files.h"
#include "runtime/script_value.h"

CMorvoxFiles::~CMorvoxFiles() {
  for (std::size_t slot = 0; slot < files.size(); ++slot) CloseSlot(slot);
}

void CMorvoxFiles::FileVar(double slot, double& variable) {
  const std::int32_t index = morvox::ToIndex(slot);
  if (index < 0 || static_cast<std::size_t>(index) >= files.size()) return;
  FileSlot& file = files[static_cast<std::size_t>(index)];
  if (file.position < 0) return;
  const auto position = static_cast<std::size_t>(file.position);
  if (file.mode == kFileModeWrite) {
    if (file.data.size() < position + 1) file.data.resize(position + 1, 0.0f);
    file.data[position] = static_cast<float>(variable);
    file.position += 1;
  } else if (file.mode == kFileModeRead) {
    if (position < file.data.size()) {
      variable = static_cast<double>(file.data[position]);
      file.position += 1;
    }
  }
}

void CMorvoxFiles::CloseSlot(std::size_t slot) {
  if (slot >= files.size()) return;
  FileSlot& file = files[slot];
  if (file.mode == kFileModeWrite && !file.name.empty()) {
    if (std::FILE* out = std::fopen(morvox::ResolvePath(file.name).c_str(), "wb")) {
      for (float value : file.data) {
        std::fputc(static_cast<int>(static_cast<unsigned char>(morvox::ToIndex(value) & 0xFF)), out);
      }
      std::fclose(out);
    }
  }
  file.name.clear();
  file.position = 0;
  file.data.clear();
  file.mode = kFileModeClosed;
}

void CMorvoxFiles::BeginChunkWrite() {
  CloseSlot(0);
  FileSlot& chunk = files[0];
  chunk.mode = kFileModeWrite;
  chunk.data.push_back(kChunkMarker);
  chunk.position = 1;
}

std::int32_t CMorvoxFiles::FinishChunkWrite(void** data) {
  FileSlot& chunk = files[0];
  if (chunk.data.size() <= 1) return 0;
  if (data != nullptr) *data = chunk.data.data();
  return static_cast<std::int32_t>(chunk.data.size() * sizeof(float));
}

bool CMorvoxFiles::BeginChunkRead(const void* data, std::int32_t size) {
  CloseSlot(0);
  FileSlot& chunk = files[0];
  chunk.mode = kFileModeRead;
  if (data == nullptr || size < 4) return false;
  const auto count = static_cast<std::size_t>(size) / sizeof(float);
  chunk.data.resize(count);
  std::memcpy(chunk.data.data(), data, count * sizeof(float));
  // Exactly the marker; a NaN or any other value is not a state chunk.
  if (!(chunk.data[0] == kChunkMarker)) return false;
  chunk.position = 1;
  return true;
}
