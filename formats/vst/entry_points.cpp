// The library's exported entry points. VSTPluginMain (also exported as
// `main`) and MAIN build one plug-in instance each.
#include "effect/morvox_effect.h"
#include "formats/vst/bridge.h"
#include "formats/vst/entry_point.h"
#include "formats/vst/hoxa.h"

AEffect* CreatePluginInstance(audioMasterCallback audioMaster) noexcept {
  try {
    MorvoxBridge bridge;
    FillMorvoxBridge(bridge);
    auto* effect = new TMorvoxEffect();
    const auto parameters = static_cast<VstInt32>(effect->sliders.size());
    CHoxa* adapter = CreateHoxa(effect, bridge, audioMaster, 1, parameters);
    effect->plugin = adapter;
    if (adapter == nullptr) {
      delete effect;  // the host refused: nothing may stay behind
      return nullptr;
    }
    return adapter->getAeffect();
  } catch (...) {
    return nullptr;
  }
}
