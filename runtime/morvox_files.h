// CMorvoxFiles: file slots. Slot 0 is the buffer through which the
// serialize section saves and restores the effect state (the host's chunk).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/morvox_strings.h"

inline constexpr std::int32_t kFileModeClosed = 0;
inline constexpr std::int32_t kFileModeRead = 1;
inline constexpr std::int32_t kFileModeWrite = 2;
inline constexpr float kChunkMarker = -1000.0f;  // first float of every state chunk

struct FileSlot {
  std::string name;           // relative to the module's folder; empty for no file
  std::int32_t position = 0;  // next value to read or write
  std::vector<float> data;
  std::int32_t mode = kFileModeClosed;
};

class CMorvoxFiles : public CMorvoxStrings {
 public:
  CMorvoxFiles() : files(1) {}
  ~CMorvoxFiles() override;

  // Exchanges one value with the slot: stores it when writing, loads it
  // when reading and values remain, nothing when closed or out of range.
  void FileVar(double slot, double& variable);
  // Writes a named write-mode slot out (one byte per value), then empties
  // and closes it; the data keeps its capacity.
  void CloseSlot(std::size_t slot);

  std::vector<FileSlot> files;

 protected:
  // The container side of the state chunk; the hooks around the serialize
  // section live in TMorvox.
  void BeginChunkWrite();                                    // slot 0 in write mode, marker appended
  std::int32_t FinishChunkWrite(void** data);                // size in bytes, 0 for marker only
  bool BeginChunkRead(const void* data, std::int32_t size);  // true when the marker is there
};
