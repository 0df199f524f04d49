#include "runtime/morvox.h"

#include <chrono>

TMorvox::TMorvox() {
  BaseReset();
}

void TMorvox::BaseReset() {
  DropAllPages();
  ClearStrings();
  lastRedrawTicks = 0;
}

void TMorvox::OnReset() {
  BaseReset();
}

void TMorvox::OnResume() {
  OnInit();
  OnSlider();
}

std::int32_t TMorvox::InitOnce() {
  if (initCount == 0) OnInit();
  initCount += 1;
  return initCount;
}

std::uint32_t TMorvox::IdleMilliseconds() const {
  // A steady wall clock: a processor-time clock would barely move while the
  // host idles, and redraws would stall. Counted from the module's first
  // reading rather than from boot, so a fresh editor starts near 0.
  static const auto start = std::chrono::steady_clock::now();
  const auto since = std::chrono::steady_clock::now() - start;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

void TMorvox::OnIdle() {
  if (!(gfxRate > 0.0)) return;
  const std::uint32_t now = IdleMilliseconds();
  // Modular difference: the time since the last request at any clock value
  // and across the wrap; never negative, so a stale last value (0 after a
  // reset) can only bring the next request forward, never stop it.
  const std::uint32_t elapsed = now - lastRedrawTicks;
  if (static_cast<double>(elapsed) > 1000.0 / gfxRate) {
    morvox::RequestEditorRedraw(plugin);
    lastRedrawTicks = now;
  }
}

std::int32_t TMorvox::GetChunk(void** data, bool) {
  BeginChunkWrite();
  OnSerialize();
  return FinishChunkWrite(data);
}

std::int32_t TMorvox::SetChunk(const void* data, std::int32_t size, bool) {
  if (BeginChunkRead(data, size)) {
    InitOnce();
    OnSerialize();
    OnSlider();
  }
  return size;
}
