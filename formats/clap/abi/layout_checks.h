// The layouts and identifiers of the CLAP records that a host and a plug-in
// must agree on, checked at compile time for 32-bit and 64-bit targets (on
// 32-bit Windows doubles and 64-bit integers align to 8 inside records).
// Included by the adapter and by vornhost, so every build checks them.
#pragma once

#include <cstddef>
#include <cstring>

#include "formats/clap/abi/audio_ports.h"
#include "formats/clap/abi/core.h"
#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/log.h"
#include "formats/clap/abi/params.h"
#include "formats/clap/abi/posix_fd_support.h"
#include "formats/clap/abi/preset_discovery.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/abi/render.h"
#include "formats/clap/abi/state.h"
#include "formats/clap/abi/thread_check.h"
#include "formats/clap/abi/timer_support.h"

namespace vorn::clap_layout {

constexpr bool kIs64 = sizeof(void*) == 8;
constexpr std::size_t P = sizeof(void*);

static_assert(sizeof(clap_version_t) == 12);
static_assert(sizeof(clap_event_header_t) == 16 && offsetof(clap_event_header_t, space_id) == 8 &&
              offsetof(clap_event_header_t, type) == 10 && offsetof(clap_event_header_t, flags) == 12);

static_assert(offsetof(clap_event_param_value_t, param_id) == 16);
static_assert(offsetof(clap_event_param_value_t, cookie) == (kIs64 ? 24 : 20));
static_assert(offsetof(clap_event_param_value_t, note_id) == (kIs64 ? 32 : 24));
static_assert(offsetof(clap_event_param_value_t, key) == (kIs64 ? 40 : 32));
static_assert(offsetof(clap_event_param_value_t, value) == (kIs64 ? 48 : 40));
static_assert(sizeof(clap_event_param_value_t) == (kIs64 ? 56 : 48));
static_assert(sizeof(clap_event_param_mod_t) == sizeof(clap_event_param_value_t) &&
              offsetof(clap_event_param_mod_t, amount) == offsetof(clap_event_param_value_t, value));
static_assert(sizeof(clap_event_param_gesture_t) == 20);

static_assert(offsetof(clap_event_transport_t, flags) == 16 &&
              offsetof(clap_event_transport_t, song_pos_beats) == 24);
static_assert(offsetof(clap_event_transport_t, tempo) == 40 &&
              offsetof(clap_event_transport_t, bar_start) == 88);
static_assert(offsetof(clap_event_transport_t, bar_number) == 96 &&
              offsetof(clap_event_transport_t, tsig_denom) == 102);
static_assert(sizeof(clap_event_transport_t) == 104);

static_assert(offsetof(clap_audio_buffer_t, channel_count) == 2 * P &&
              offsetof(clap_audio_buffer_t, constant_mask) == (kIs64 ? 24 : 16));
static_assert(sizeof(clap_audio_buffer_t) == (kIs64 ? 32 : 24));

static_assert(offsetof(clap_process_t, frames_count) == 8 &&
              offsetof(clap_process_t, transport) == (kIs64 ? 16 : 12));
static_assert(offsetof(clap_process_t, audio_inputs_count) == (kIs64 ? 40 : 24));
static_assert(offsetof(clap_process_t, in_events) == (kIs64 ? 48 : 32));
static_assert(sizeof(clap_process_t) == (kIs64 ? 64 : 40));

static_assert(offsetof(clap_host_t, host_data) == (kIs64 ? 16 : 12));
static_assert(offsetof(clap_host_t, get_extension) == (kIs64 ? 56 : 32));
static_assert(sizeof(clap_host_t) == (kIs64 ? 88 : 48));

static_assert(offsetof(clap_plugin_descriptor_t, id) == (kIs64 ? 16 : 12));
static_assert(offsetof(clap_plugin_descriptor_t, features) == (kIs64 ? 80 : 44));
static_assert(sizeof(clap_plugin_descriptor_t) == (kIs64 ? 88 : 48));

static_assert(offsetof(clap_plugin_t, init) == 2 * P && offsetof(clap_plugin_t, process) == 9 * P);
static_assert(offsetof(clap_plugin_t, on_main_thread) == 11 * P && sizeof(clap_plugin_t) == 12 * P);

static_assert(offsetof(clap_plugin_entry_t, init) == (kIs64 ? 16 : 12));
static_assert(sizeof(clap_plugin_entry_t) == (kIs64 ? 40 : 24));
static_assert(sizeof(clap_plugin_factory_t) == 3 * P);
static_assert(sizeof(clap_istream_t) == 2 * P && sizeof(clap_ostream_t) == 2 * P);
static_assert(sizeof(clap_input_events_t) == 3 * P && sizeof(clap_output_events_t) == 2 * P);

static_assert(offsetof(clap_audio_port_info_t, name) == 4 && offsetof(clap_audio_port_info_t, flags) == 260);
static_assert(offsetof(clap_audio_port_info_t, port_type) == (kIs64 ? 272 : 268));
static_assert(sizeof(clap_audio_port_info_t) == (kIs64 ? 288 : 276));
static_assert(sizeof(clap_plugin_audio_ports_t) == 2 * P);

static_assert(offsetof(clap_param_info_t, cookie) == 8 &&
              offsetof(clap_param_info_t, name) == (kIs64 ? 16 : 12));
static_assert(offsetof(clap_param_info_t, module) == (kIs64 ? 272 : 268));
static_assert(offsetof(clap_param_info_t, min_value) == 1296 &&
              offsetof(clap_param_info_t, default_value) == 1312);
static_assert(sizeof(clap_param_info_t) == 1320);
static_assert(sizeof(clap_plugin_params_t) == 6 * P && sizeof(clap_host_params_t) == 3 * P);

static_assert(sizeof(clap_plugin_state_t) == 2 * P && sizeof(clap_plugin_render_t) == 2 * P);
static_assert(sizeof(clap_window_t) == 2 * P && offsetof(clap_window_t, x11) == P);
static_assert(sizeof(clap_gui_resize_hints_t) == 12 &&
              offsetof(clap_gui_resize_hints_t, aspect_ratio_width) == 4);
static_assert(sizeof(clap_plugin_gui_t) == 15 * P && sizeof(clap_host_gui_t) == 5 * P);
static_assert(sizeof(clap_host_timer_support_t) == 2 * P && sizeof(clap_host_posix_fd_support_t) == 3 * P);
static_assert(sizeof(clap_host_thread_check_t) == 2 * P && sizeof(clap_host_log_t) == P);
static_assert(sizeof(clap_host_preset_load_t) == 2 * P && sizeof(clap_plugin_preset_load_t) == P);

static_assert(sizeof(clap_preset_discovery_metadata_receiver_t) == 11 * P);
static_assert(sizeof(clap_preset_discovery_location_t) == 4 * P &&
              offsetof(clap_preset_discovery_location_t, kind) == 2 * P);
static_assert(offsetof(clap_preset_discovery_soundpack_t, release_timestamp) == (kIs64 ? 56 : 32));
static_assert(sizeof(clap_preset_discovery_soundpack_t) == (kIs64 ? 64 : 40));
static_assert(offsetof(clap_preset_discovery_provider_descriptor_t, id) == (kIs64 ? 16 : 12));
static_assert(sizeof(clap_preset_discovery_provider_descriptor_t) == (kIs64 ? 40 : 24));
static_assert(sizeof(clap_preset_discovery_provider_t) == 6 * P);
static_assert(offsetof(clap_preset_discovery_indexer_t, indexer_data) == (kIs64 ? 48 : 28));
static_assert(sizeof(clap_preset_discovery_indexer_t) == (kIs64 ? 88 : 48));
static_assert(sizeof(clap_preset_discovery_factory_t) == 3 * P);

static_assert(CLAP_EVENT_PARAM_VALUE == 5 && CLAP_EVENT_PARAM_GESTURE_END == 8 && CLAP_EVENT_TRANSPORT == 9);
static_assert(CLAP_PARAM_IS_STEPPED == 1 && CLAP_PARAM_IS_BYPASS == 16 && CLAP_PARAM_IS_AUTOMATABLE == 32 &&
              CLAP_PARAM_IS_ENUM == 65536);
static_assert(CLAP_PROCESS_CONTINUE == 1 && CLAP_PROCESS_TAIL == 3 && CLAP_PROCESS_SLEEP == 4);
static_assert(CLAP_NAME_SIZE == 256 && CLAP_PATH_SIZE == 1024 && CLAP_INVALID_ID == 0xFFFFFFFFu);
static_assert(CLAP_BEATTIME_FACTOR == 2147483648LL && CLAP_RENDER_OFFLINE == 1);
static_assert(CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN == 1 && CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT == 1);

}  // namespace vorn::clap_layout
