// The CLAP 1.2 binary interface between a host and a plug-in, the part that
// this plug-in and vornhost use: versions, ids, events, audio buffers, the
// process call, streams, the plug-in and host records, the module entry and
// the plug-in factory. Written from the published interface, names spelled as
// it spells them; layout_checks.h pins the layouts on 32-bit and 64-bit
// targets. Extensions and other factories have a header each beside this one.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define CLAP_ABI __cdecl
#else
#define CLAP_ABI
#endif

#if defined(_WIN32)
#define CLAP_EXPORT __attribute__((dllexport))
#else
#define CLAP_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// ---- version

struct clap_version {
  uint32_t major;
  uint32_t minor;
  uint32_t revision;
};
using clap_version_t = clap_version;

constexpr uint32_t CLAP_VERSION_MAJOR = 1;
constexpr uint32_t CLAP_VERSION_MINOR = 2;
constexpr uint32_t CLAP_VERSION_REVISION = 0;
constexpr clap_version_t CLAP_VERSION = {CLAP_VERSION_MAJOR, CLAP_VERSION_MINOR, CLAP_VERSION_REVISION};

// Every 1.x record is a superset of 1.0's: any major version 1 may be used.
constexpr bool clap_version_is_compatible(const clap_version_t v) {
  return v.major >= 1;
}

// ---- ids, fixed-point times, string sizes, timestamps

using clap_id = uint32_t;
constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

constexpr int64_t CLAP_BEATTIME_FACTOR = int64_t{1} << 31;
constexpr int64_t CLAP_SECTIME_FACTOR = int64_t{1} << 31;
using clap_beattime = int64_t;
using clap_sectime = int64_t;

enum {
  CLAP_NAME_SIZE = 256,
  CLAP_PATH_SIZE = 1024,
};

using clap_timestamp = uint64_t;  // seconds since 1970-01-01 UTC
constexpr clap_timestamp CLAP_TIMESTAMP_UNKNOWN = 0;

struct clap_universal_plugin_id {
  const char* abi;  // "clap", "vst2", ...
  const char* id;
};
using clap_universal_plugin_id_t = clap_universal_plugin_id;

// ---- events

struct clap_event_header {
  uint32_t size;  // of the whole event, header included
  uint32_t time;  // frame within the block
  uint16_t space_id;
  uint16_t type;
  uint32_t flags;
};
using clap_event_header_t = clap_event_header;

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum clap_event_flags {
  CLAP_EVENT_IS_LIVE = 1 << 0,
  CLAP_EVENT_DONT_RECORD = 1 << 1,
};

enum {
  CLAP_EVENT_NOTE_ON = 0,
  CLAP_EVENT_NOTE_OFF = 1,
  CLAP_EVENT_NOTE_CHOKE = 2,
  CLAP_EVENT_NOTE_END = 3,
  CLAP_EVENT_NOTE_EXPRESSION = 4,
  CLAP_EVENT_PARAM_VALUE = 5,
  CLAP_EVENT_PARAM_MOD = 6,
  CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
  CLAP_EVENT_PARAM_GESTURE_END = 8,
  CLAP_EVENT_TRANSPORT = 9,
  CLAP_EVENT_MIDI = 10,
  CLAP_EVENT_MIDI_SYSEX = 11,
  CLAP_EVENT_MIDI2 = 12,
};

// A value set on a parameter; note_id, port_index, channel and key are -1
// (wildcards) for a parameter of the whole plug-in.
struct clap_event_param_value {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double value;
};
using clap_event_param_value_t = clap_event_param_value;

struct clap_event_param_mod {
  clap_event_header_t header;
  clap_id param_id;
  void* cookie;
  int32_t note_id;
  int16_t port_index;
  int16_t channel;
  int16_t key;
  double amount;
};
using clap_event_param_mod_t = clap_event_param_mod;

// CLAP_EVENT_PARAM_GESTURE_BEGIN and _END: a user holds a control.
struct clap_event_param_gesture {
  clap_event_header_t header;
  clap_id param_id;
};
using clap_event_param_gesture_t = clap_event_param_gesture;

enum clap_transport_flags {
  CLAP_TRANSPORT_HAS_TEMPO = 1 << 0,
  CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 1 << 1,
  CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 1 << 2,
  CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 1 << 3,
  CLAP_TRANSPORT_IS_PLAYING = 1 << 4,
  CLAP_TRANSPORT_IS_RECORDING = 1 << 5,
  CLAP_TRANSPORT_IS_LOOP_ACTIVE = 1 << 6,
  CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 1 << 7,
};

struct clap_event_transport {
  clap_event_header_t header;
  uint32_t flags;  // clap_transport_flags
  clap_beattime song_pos_beats;
  clap_sectime song_pos_seconds;
  double tempo;      // beats per minute
  double tempo_inc;  // tempo change per frame
  clap_beattime loop_start_beats;
  clap_beattime loop_end_beats;
  clap_sectime loop_start_seconds;
  clap_sectime loop_end_seconds;
  clap_beattime bar_start;
  int32_t bar_number;  // the first bar is 0
  uint16_t tsig_num;
  uint16_t tsig_denom;
};
using clap_event_transport_t = clap_event_transport;

// The host's event lists, sorted by time; read during the call only.
struct clap_input_events {
  void* ctx;
  uint32_t(CLAP_ABI* size)(const clap_input_events* list);
  const clap_event_header_t*(CLAP_ABI* get)(const clap_input_events* list, uint32_t index);
};
using clap_input_events_t = clap_input_events;

struct clap_output_events {
  void* ctx;
  bool(CLAP_ABI* try_push)(const clap_output_events* list, const clap_event_header_t* event);
};
using clap_output_events_t = clap_output_events;

// ---- audio buffers and the process call

struct clap_audio_buffer {
  float** data32;
  double** data64;
  uint32_t channel_count;
  uint32_t latency;
  uint64_t constant_mask;  // bit n: channel n holds one value throughout
};
using clap_audio_buffer_t = clap_audio_buffer;

enum {
  CLAP_PROCESS_ERROR = 0,
  CLAP_PROCESS_CONTINUE = 1,
  CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
  CLAP_PROCESS_TAIL = 3,
  CLAP_PROCESS_SLEEP = 4,
};
using clap_process_status = int32_t;

struct clap_process {
  int64_t steady_time;  // -1 when the host has none
  uint32_t frames_count;
  const clap_event_transport_t* transport;  // may be null
  const clap_audio_buffer_t* audio_inputs;
  clap_audio_buffer_t* audio_outputs;
  uint32_t audio_inputs_count;
  uint32_t audio_outputs_count;
  const clap_input_events_t* in_events;
  const clap_output_events_t* out_events;
};
using clap_process_t = clap_process;

// ---- streams (state, presets)

// read answers the bytes read (fewer than asked is normal), 0 at the end,
// -1 on error; write answers the bytes written or -1.
struct clap_istream {
  void* ctx;
  int64_t(CLAP_ABI* read)(const clap_istream* stream, void* buffer, uint64_t size);
};
using clap_istream_t = clap_istream;

struct clap_ostream {
  void* ctx;
  int64_t(CLAP_ABI* write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};
using clap_ostream_t = clap_ostream;

// ---- the host

struct clap_host {
  clap_version_t clap_version;
  void* host_data;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  const void*(CLAP_ABI* get_extension)(const clap_host* host, const char* extension_id);
  void(CLAP_ABI* request_restart)(const clap_host* host);
  void(CLAP_ABI* request_process)(const clap_host* host);
  void(CLAP_ABI* request_callback)(const clap_host* host);  // on_main_thread soon
};
using clap_host_t = clap_host;

// ---- the plug-in

struct clap_plugin_descriptor {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
  const char* url;
  const char* manual_url;
  const char* support_url;
  const char* version;
  const char* description;
  const char* const* features;  // null-terminated
};
using clap_plugin_descriptor_t = clap_plugin_descriptor;

// Main thread: everything but process, which the audio thread calls between
// start_processing and stop_processing (those two also on the audio thread),
// and reset (audio thread while processing, else main thread).
struct clap_plugin {
  const clap_plugin_descriptor_t* desc;
  void* plugin_data;
  bool(CLAP_ABI* init)(const clap_plugin* plugin);
  void(CLAP_ABI* destroy)(const clap_plugin* plugin);
  bool(CLAP_ABI* activate)(const clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                           uint32_t max_frames_count);
  void(CLAP_ABI* deactivate)(const clap_plugin* plugin);
  bool(CLAP_ABI* start_processing)(const clap_plugin* plugin);
  void(CLAP_ABI* stop_processing)(const clap_plugin* plugin);
  void(CLAP_ABI* reset)(const clap_plugin* plugin);
  clap_process_status(CLAP_ABI* process)(const clap_plugin* plugin, const clap_process_t* process);
  const void*(CLAP_ABI* get_extension)(const clap_plugin* plugin, const char* id);
  void(CLAP_ABI* on_main_thread)(const clap_plugin* plugin);
};
using clap_plugin_t = clap_plugin;

// ---- the module entry and the plug-in factory

struct clap_plugin_entry {
  clap_version_t clap_version;
  bool(CLAP_ABI* init)(const char* plugin_path);
  void(CLAP_ABI* deinit)(void);
  const void*(CLAP_ABI* get_factory)(const char* factory_id);
};
using clap_plugin_entry_t = clap_plugin_entry;

// The one symbol a CLAP module exports.
constexpr char CLAP_ENTRY_SYMBOL[] = "clap_entry";

constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";
struct clap_plugin_factory {
  uint32_t(CLAP_ABI* get_plugin_count)(const clap_plugin_factory* factory);
  const clap_plugin_descriptor_t*(CLAP_ABI* get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                                   uint32_t index);
  const clap_plugin_t*(CLAP_ABI* create_plugin)(const clap_plugin_factory* factory, const clap_host_t* host,
                                                const char* plugin_id);
};
using clap_plugin_factory_t = clap_plugin_factory;

}  // extern "C"

// ---- plug-in feature strings (the ones a descriptor of ours or a host's
// listing may meet most)

#define CLAP_PLUGIN_FEATURE_INSTRUMENT "instrument"
#define CLAP_PLUGIN_FEATURE_AUDIO_EFFECT "audio-effect"
#define CLAP_PLUGIN_FEATURE_NOTE_EFFECT "note-effect"
#define CLAP_PLUGIN_FEATURE_NOTE_DETECTOR "note-detector"
#define CLAP_PLUGIN_FEATURE_ANALYZER "analyzer"
#define CLAP_PLUGIN_FEATURE_SYNTHESIZER "synthesizer"
#define CLAP_PLUGIN_FEATURE_FILTER "filter"
#define CLAP_PLUGIN_FEATURE_EQUALIZER "equalizer"
#define CLAP_PLUGIN_FEATURE_DISTORTION "distortion"
#define CLAP_PLUGIN_FEATURE_COMPRESSOR "compressor"
#define CLAP_PLUGIN_FEATURE_LIMITER "limiter"
#define CLAP_PLUGIN_FEATURE_FLANGER "flanger"
#define CLAP_PLUGIN_FEATURE_CHORUS "chorus"
#define CLAP_PLUGIN_FEATURE_DELAY "delay"
#define CLAP_PLUGIN_FEATURE_REVERB "reverb"
#define CLAP_PLUGIN_FEATURE_UTILITY "utility"
#define CLAP_PLUGIN_FEATURE_MIXING "mixing"
#define CLAP_PLUGIN_FEATURE_MASTERING "mastering"
#define CLAP_PLUGIN_FEATURE_MONO "mono"
#define CLAP_PLUGIN_FEATURE_STEREO "stereo"
#define CLAP_PLUGIN_FEATURE_SURROUND "surround"
