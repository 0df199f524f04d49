#include "formats/clap/clap_descriptor.h"

namespace clapplugin {

namespace {

constexpr const char* kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_DELAY,
                                     CLAP_PLUGIN_FEATURE_STEREO, nullptr};

}  // namespace

const clap_plugin_descriptor_t& Descriptor() {
  static const clap_plugin_descriptor_t descriptor{
      CLAP_VERSION,
      kPluginId,
      "Vorn Delay 2",
      "Fenmoor",
      "",
      "",
      "",
      VORN_VERSION_STRING,
      "A stereo delay with tempo sync, a resonant colour filter and ping-pong",
      kFeatures};
  return descriptor;
}

}  // namespace clapplugin
