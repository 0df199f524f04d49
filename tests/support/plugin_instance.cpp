#include "tests/support/plugin_instance.h"

#include <algorithm>

#include "formats/vst/entry_point.h"

PluginInstance::PluginInstance(float sampleRate, TestHost* testHost)
    : host(testHost != nullptr ? testHost : &ownHost) {
  host->Use();
  effect = CreatePluginInstance(TestHost::Callback);
  if (effect == nullptr) return;
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  Dispatch(effSetBlockSize, 0, 512);
  Dispatch(effMainsChanged, 0, 1);
}

PluginInstance::~PluginInstance() {
  if (effect == nullptr) return;
  host->Use();
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effClose);
}

VstIntPtr PluginInstance::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  host->Use();
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void PluginInstance::SetSlider(VstInt32 index, double value) {
  const SliderInfo& slider = Script().sliders[static_cast<std::size_t>(index)];
  SetParameter(index, static_cast<float>((value - slider.minimum) / (slider.maximum - slider.minimum)));
}

namespace {

template <typename Sample, typename ProcessFn>
void RunBlocks(std::vector<Sample>& left, std::vector<Sample>& right, int block, ProcessFn process) {
  for (std::size_t start = 0; start < left.size(); start += static_cast<std::size_t>(block)) {
    const auto frames =
        static_cast<VstInt32>(std::min<std::size_t>(static_cast<std::size_t>(block), left.size() - start));
    Sample* channels[2] = {left.data() + start, right.data() + start};
    process(channels, frames);
  }
}

}  // namespace

void PluginInstance::Process(std::vector<float>& left, std::vector<float>& right, int block) {
  host->Use();
  host->processing = true;
  RunBlocks(left, right, block, [&](float** channels, VstInt32 frames) {
    effect->processReplacing(effect, channels, channels, frames);
  });
  host->processing = false;
}

void PluginInstance::ProcessDouble(std::vector<double>& left, std::vector<double>& right, int block) {
  host->Use();
  host->processing = true;
  RunBlocks(left, right, block, [&](double** channels, VstInt32 frames) {
    effect->processDoubleReplacing(effect, channels, channels, frames);
  });
  host->processing = false;
}
