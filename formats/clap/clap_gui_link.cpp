#include "formats/clap/clap_gui_link.h"

#include <cmath>

static_assert(std::atomic<double>::is_always_lock_free && std::atomic<float>::is_always_lock_free &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the audio side may not lock");
static_assert((ClapGuiLink::kQueueSize & (ClapGuiLink::kQueueSize - 1)) == 0, "the ring wraps by masking");

ClapGuiLink::ClapGuiLink() {
  for (auto& value : values_) value.store(0, std::memory_order_relaxed);
}

bool ClapGuiLink::PushEdit(const Edit& edit) {
  const std::uint32_t head = head_.load(std::memory_order_relaxed);
  if (head - tail_.load(std::memory_order_acquire) >= kQueueSize) return false;
  ring_[head & (kQueueSize - 1)] = edit;
  head_.store(head + 1, std::memory_order_release);
  return true;
}

bool ClapGuiLink::PopEdit(Edit& edit) {
  const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
  if (tail == head_.load(std::memory_order_acquire)) return false;
  edit = ring_[tail & (kQueueSize - 1)];
  tail_.store(tail + 1, std::memory_order_release);
  return true;
}

void ClapGuiLink::SendToHost(const clap_output_events_t* out, std::uint32_t time, const Edit& edit) {
  if (out == nullptr || out->try_push == nullptr) return;
  if (edit.kind == Edit::kValue) {
    clap_event_param_value_t event{};
    event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = edit.param;
    event.cookie = nullptr;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = edit.value;
    out->try_push(out, &event.header);
    return;
  }
  clap_event_param_gesture_t event{};
  const std::uint16_t type =
      edit.kind == Edit::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
  event.header = {sizeof event, time, CLAP_CORE_EVENT_SPACE_ID, type, 0};
  event.param_id = edit.param;
  out->try_push(out, &event.header);
}

void ClapGuiLink::PublishValue(clap_id param, double value) {
  if (param >= kParams) return;
  values_[param].store(value, std::memory_order_relaxed);
  changed_.fetch_or(1u << param, std::memory_order_release);
}

void ClapGuiLink::PublishMeter(double peak) {
  if (!std::isfinite(peak)) return;
  const auto level = static_cast<float>(std::fmin(std::fabs(peak), 1.0e6));
  float seen = meter_.load(std::memory_order_relaxed);
  // Only the editor lowers it (to 0), so this ends after a retry or two.
  while (level > seen && !meter_.compare_exchange_weak(seen, level, std::memory_order_relaxed)) {
  }
}

std::uint32_t ClapGuiLink::TakeChanged() {
  return changed_.exchange(0, std::memory_order_acquire);
}

double ClapGuiLink::Value(clap_id param) const {
  return param < kParams ? values_[param].load(std::memory_order_relaxed) : 0.0;
}

double ClapGuiLink::TakeMeter() {
  return meter_.exchange(0, std::memory_order_relaxed);
}
