#include "host/clap/clap_render.h"

#include <exception>
#include <thread>

#include "host/host_error.h"

namespace vornhost {

ClapBlockEngine::ClapBlockEngine(ClapPluginHost& plugin, int blockSize, Precision precision)
    : plugin_(plugin), precision_(precision) {
  const auto block = static_cast<std::size_t>(blockSize);
  const auto ins = static_cast<std::size_t>(plugin.numInputs());
  const auto outs = static_cast<std::size_t>(plugin.numOutputs());
  if (precision == Precision::Double) {
    in64_.assign(ins, std::vector<double>(block));
    out64_.assign(outs, std::vector<double>(block));
    for (auto& c : in64_) inPtr64_.push_back(c.data());
    for (auto& c : out64_) outPtr64_.push_back(c.data());
  } else {
    in32_.assign(ins, std::vector<float>(block));
    out32_.assign(outs, std::vector<float>(block));
    for (auto& c : in32_) inPtr32_.push_back(c.data());
    for (auto& c : out32_) outPtr32_.push_back(c.data());
  }
}

template <typename Sample>
void ClapBlockEngine::Run(const double* const* in, double* const* out, std::size_t frames,
                          std::vector<std::vector<Sample>>& ins, std::vector<std::vector<Sample>>& outs) {
  for (std::size_t i = 0; i < ins.size(); ++i)
    for (std::size_t f = 0; f < frames; ++f)
      ins[i][f] = in[i] != nullptr ? static_cast<Sample>(in[i][f]) : Sample(0);
  clap_process_status status;
  if constexpr (sizeof(Sample) == sizeof(float))
    status = plugin_.Process(inPtr32_.data(), outPtr32_.data(), static_cast<std::uint32_t>(frames));
  else
    status = plugin_.Process64(inPtr64_.data(), outPtr64_.data(), static_cast<std::uint32_t>(frames));
  if (status == CLAP_PROCESS_ERROR) throw HostError("the plug-in answered an error from process");
  for (std::size_t o = 0; o < outs.size(); ++o)
    for (std::size_t f = 0; f < frames; ++f) out[o][f] = static_cast<double>(outs[o][f]);
}

void ClapBlockEngine::Process(const double* const* in, double* const* out, int frames, double) {
  const auto n = static_cast<std::size_t>(frames);
  if (precision_ == Precision::Double)
    Run(in, out, n, in64_, out64_);
  else
    Run(in, out, n, in32_, out32_);
}

void RunOnAudioThread(const std::function<void()>& work) {
  std::exception_ptr failure;
  std::thread audio([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  });
  audio.join();
  if (failure) std::rethrow_exception(failure);
}

AudioData RenderClap(ClapPluginHost& plugin, const AudioData& input, const RenderOptions& options,
                     std::vector<ClapParamEvent> events) {
  plugin.Schedule(std::move(events));
  ClapBlockEngine engine(plugin, options.blockSize, options.precision);
  AudioData output;
  RunOnAudioThread([&] {
    output = Render(engine, input, options);
    plugin.StopProcessing();
  });
  return output;
}

}  // namespace vornhost
