#include "host/block_processor.h"

#include <algorithm>

namespace vornhost {

BlockProcessor::BlockProcessor(PluginInstance& plugin, int maxBlock, Precision precision, bool inPlace)
    : plugin_(plugin),
      maxBlock_(maxBlock),
      precision_(precision),
      inputs_(plugin.numInputs()),
      outputs_(plugin.numOutputs()) {
  const auto size = static_cast<std::size_t>(maxBlock);
  const int shared = inPlace ? std::min(inputs_, outputs_) : 0;
  const int stores = inputs_ + outputs_ - shared;
  // One spare pointer so a plug-in with no inputs still gets a valid array.
  floatIn_.assign(static_cast<std::size_t>(inputs_) + 1, nullptr);
  floatOut_.assign(static_cast<std::size_t>(outputs_) + 1, nullptr);
  doubleIn_.assign(static_cast<std::size_t>(inputs_) + 1, nullptr);
  doubleOut_.assign(static_cast<std::size_t>(outputs_) + 1, nullptr);
  if (precision == Precision::Float)
    floatStore_.assign(static_cast<std::size_t>(stores), std::vector<float>(size, 0.0f));
  else
    doubleStore_.assign(static_cast<std::size_t>(stores), std::vector<double>(size, 0.0));
  auto storeFloat = [&](int k) {
    return floatStore_.empty() ? nullptr : floatStore_[static_cast<std::size_t>(k)].data();
  };
  auto storeDouble = [&](int k) {
    return doubleStore_.empty() ? nullptr : doubleStore_[static_cast<std::size_t>(k)].data();
  };
  for (int i = 0; i < inputs_; ++i) {
    floatIn_[static_cast<std::size_t>(i)] = storeFloat(i);
    doubleIn_[static_cast<std::size_t>(i)] = storeDouble(i);
  }
  for (int o = 0; o < outputs_; ++o) {
    int k = o < shared ? o : inputs_ + o - shared;
    floatOut_[static_cast<std::size_t>(o)] = storeFloat(k);
    doubleOut_[static_cast<std::size_t>(o)] = storeDouble(k);
  }
}

void BlockProcessor::Run(const double* const* in, double* const* out, int frames, double samplePos) {
  const auto n = static_cast<std::size_t>(frames);
  if (precision_ == Precision::Float) {
    for (int i = 0; i < inputs_; ++i) {
      float* dst = floatIn_[static_cast<std::size_t>(i)];
      const double* src = in[i];
      if (src == nullptr)
        std::fill(dst, dst + n, 0.0f);
      else
        for (std::size_t f = 0; f < n; ++f) dst[f] = static_cast<float>(src[f]);
    }
  } else {
    for (int i = 0; i < inputs_; ++i) {
      double* dst = doubleIn_[static_cast<std::size_t>(i)];
      const double* src = in[i];
      if (src == nullptr)
        std::fill(dst, dst + n, 0.0);
      else
        std::copy(src, src + n, dst);
    }
  }
  plugin_.host().SetPosition(samplePos);
  ProcessOnly(frames);
  for (int o = 0; o < outputs_; ++o) {
    double* dst = out[o];
    if (dst == nullptr) continue;
    if (precision_ == Precision::Float) {
      const float* src = floatOut_[static_cast<std::size_t>(o)];
      for (std::size_t f = 0; f < n; ++f) dst[f] = src[f];
    } else {
      const double* src = doubleOut_[static_cast<std::size_t>(o)];
      std::copy(src, src + n, dst);
    }
  }
}

void BlockProcessor::ProcessOnly(int frames) {
  if (precision_ == Precision::Float)
    plugin_.Process(floatIn_.data(), floatOut_.data(), frames);
  else
    plugin_.Process(doubleIn_.data(), doubleOut_.data(), frames);
}

}  // namespace vornhost
