// A CLAP plug-in with the faults vornhost's validator must find: its
// factory creates a plug-in for any id, process writes one frame past the
// block and asks the host to rescan its parameters from the audio thread,
// and its state load takes any bytes. Otherwise a gain of one, one stereo
// port, one parameter.
#include <cstring>

#include "formats/clap/abi/audio_ports.h"
#include "formats/clap/abi/core.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/state.h"

namespace {

const char* const kFeatures[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, nullptr};
const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION, "test.vornhost.faulty", "Faulty Fixture", "vornhost tests", "", "", "", "0.1", "",
    kFeatures};

struct Faulty {
  clap_plugin_t plugin;
  const clap_host_t* host;
  double gain = 1.0;
};

Faulty& Of(const clap_plugin_t* p) {
  return *static_cast<Faulty*>(p->plugin_data);
}

const clap_plugin_audio_ports_t kPorts = {
    [](const clap_plugin_t*, bool) -> uint32_t { return 1; },
    [](const clap_plugin_t*, uint32_t index, bool, clap_audio_port_info_t* info) {
      if (index != 0) return false;
      *info = {};
      info->id = 0;
      std::strcpy(info->name, "Main");
      info->flags = CLAP_AUDIO_PORT_IS_MAIN;
      info->channel_count = 2;
      info->port_type = CLAP_PORT_STEREO;
      info->in_place_pair = CLAP_INVALID_ID;
      return true;
    }};

const clap_plugin_params_t kParams = {
    [](const clap_plugin_t*) -> uint32_t { return 1; },
    [](const clap_plugin_t*, uint32_t index, clap_param_info_t* info) {
      if (index != 0) return false;
      *info = {};
      info->id = 0;
      info->flags = CLAP_PARAM_IS_AUTOMATABLE;
      std::strcpy(info->name, "Gain");
      info->min_value = 0;
      info->max_value = 1;
      info->default_value = 1;
      return true;
    },
    [](const clap_plugin_t* p, clap_id id, double* value) {
      if (id != 0) return false;
      *value = Of(p).gain;
      return true;
    },
    [](const clap_plugin_t*, clap_id, double, char*, uint32_t) { return false; },
    [](const clap_plugin_t*, clap_id, const char*, double*) { return false; },
    [](const clap_plugin_t* p, const clap_input_events_t* in, const clap_output_events_t*) {
      for (uint32_t i = 0; i < in->size(in); ++i) {
        const clap_event_header_t* e = in->get(in, i);
        if (e->space_id == CLAP_CORE_EVENT_SPACE_ID && e->type == CLAP_EVENT_PARAM_VALUE)
          Of(p).gain = reinterpret_cast<const clap_event_param_value_t*>(e)->value;
      }
    }};

const clap_plugin_state_t kState = {[](const clap_plugin_t* p, const clap_ostream_t* out) {
                                      return out->write(out, &Of(p).gain, sizeof(double)) == sizeof(double);
                                    },
                                    // Takes whatever comes, even nothing.
                                    [](const clap_plugin_t*, const clap_istream_t* in) {
                                      char scratch[64];
                                      while (in->read(in, scratch, sizeof scratch) > 0) {
                                      }
                                      return true;
                                    }};

clap_process_status Process(const clap_plugin_t* p, const clap_process_t* process) {
  Faulty& self = Of(p);
  const auto* params =
      static_cast<const clap_host_params_t*>(self.host->get_extension(self.host, CLAP_EXT_PARAMS));
  if (params != nullptr) params->rescan(self.host, CLAP_PARAM_RESCAN_VALUES);
  if (process->audio_outputs_count == 0) return CLAP_PROCESS_CONTINUE;
  for (uint32_t c = 0; c < 2; ++c)
    for (uint32_t f = 0; f <= process->frames_count; ++f)  // one too many
      process->audio_outputs[0].data32[c][f] =
          f < process->frames_count ? process->audio_inputs[0].data32[c][f] * static_cast<float>(self.gain)
                                    : 0.0f;
  return CLAP_PROCESS_CONTINUE;
}

const clap_plugin_t* Create(const clap_host_t* host) {
  auto* self = new Faulty;
  self->host = host;
  self->plugin = {&kDescriptor,
                  self,
                  [](const clap_plugin_t*) { return true; },
                  [](const clap_plugin_t* p) { delete &Of(p); },
                  [](const clap_plugin_t*, double, uint32_t, uint32_t) { return true; },
                  [](const clap_plugin_t*) {},
                  [](const clap_plugin_t*) { return true; },
                  [](const clap_plugin_t*) {},
                  [](const clap_plugin_t*) {},
                  Process,
                  [](const clap_plugin_t*, const char* id) -> const void* {
                    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kPorts;
                    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kParams;
                    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
                    return nullptr;
                  },
                  [](const clap_plugin_t*) {}};
  return &self->plugin;
}

const clap_plugin_factory_t kFactory = {
    [](const clap_plugin_factory_t*) -> uint32_t { return 1; },
    [](const clap_plugin_factory_t*, uint32_t index) { return index == 0 ? &kDescriptor : nullptr; },
    // Any id at all.
    [](const clap_plugin_factory_t*, const clap_host_t* host, const char*) { return Create(host); }};

}  // namespace

extern "C" CLAP_EXPORT const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION, [](const char*) { return true; }, [] {},
    [](const char* id) -> const void* {
      return std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
    }};
