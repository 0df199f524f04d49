#include "formats/clap/clap_host_access.h"

#include <cstdio>

namespace {

template <typename Extension>
const Extension* Lookup(const clap_host_t* host, const char* id) {
  if (host == nullptr || host->get_extension == nullptr) return nullptr;
  return static_cast<const Extension*>(host->get_extension(host, id));
}

}  // namespace

void ClapHostAccess::Query() {
  log_ = Lookup<clap_host_log_t>(host_, CLAP_EXT_LOG);
  if (log_ != nullptr && log_->log == nullptr) log_ = nullptr;
  threadCheck_ = Lookup<clap_host_thread_check_t>(host_, CLAP_EXT_THREAD_CHECK);
  if (threadCheck_ != nullptr &&
      (threadCheck_->is_main_thread == nullptr || threadCheck_->is_audio_thread == nullptr))
    threadCheck_ = nullptr;
  params_ = Lookup<clap_host_params_t>(host_, CLAP_EXT_PARAMS);
  tail_ = Lookup<clap_host_tail_t>(host_, CLAP_EXT_TAIL);
}

bool ClapHostAccess::Expect(Thread thread, const char* call) const {
  if (threadCheck_ == nullptr) return true;
  const bool right =
      thread == Thread::kMain ? threadCheck_->is_main_thread(host_) : threadCheck_->is_audio_thread(host_);
  if (right) return true;
  std::atomic<bool>& warned = thread == Thread::kMain ? warnedMain_ : warnedAudio_;
  if (!warned.exchange(true)) {
    // Once per kind, so a host calling wrongly every block is not slowed
    // down by its own log.
    char message[160];
    std::snprintf(message, sizeof message, "Vorn Delay 2: %s called off the %s thread", call,
                  thread == Thread::kMain ? "main" : "audio");
    Log(CLAP_LOG_HOST_MISBEHAVING, message);
  }
  return false;
}

void ClapHostAccess::Log(clap_log_severity severity, const char* message) const {
  if (log_ != nullptr) log_->log(host_, severity, message);
}

void ClapHostAccess::RequestFlush() const {
  if (params_ != nullptr && params_->request_flush != nullptr) params_->request_flush(host_);
}

void ClapHostAccess::RequestCallback() const {
  if (host_ != nullptr && host_->request_callback != nullptr) host_->request_callback(host_);
}

void ClapHostAccess::TailChanged() const {
  if (tail_ != nullptr && tail_->changed != nullptr) tail_->changed(host_);
}
