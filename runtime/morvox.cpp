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

std::int32_t TMorvox::ClockMilliseconds() {
  // A steady wall clock: a processor-time clock would barely move while the
  // host idles, and redraws would stall.
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

void TMorvox::OnIdle() {
  if (!(gfxRate > 0.0)) return;
  const auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(ClockMilliseconds()) -
                                                 static_cast<std::uint32_t>(lastRedrawTicks));
  if (static_cast<double>(elapsed) > 1000.0 / gfxRate) {
    morvox::RequestEditorRedraw(plugin);
    lastRedrawTicks = ClockMilliseconds();
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
