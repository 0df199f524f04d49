/* A stand-in for the ALSA sequencer, preloaded into Qtractor by the
 * Qtractor check. Qtractor refuses to start its session without a
 * sequencer, and a machine without sound hardware (a CI runner, a
 * container) has no /dev/snd/seq. These calls answer as a sequencer with no
 * other clients would: the session starts, MIDI goes nowhere, and audio runs
 * through JACK as usual. Only the sequencer calls Qtractor makes are here;
 * everything else (timers, the MIDI event codec) stays libasound's. */
#include <errno.h>
#include <poll.h>
#include <stddef.h>
#include <string.h>
#include <unistd.h>

typedef struct standin_seq {
  int wakeup[2]; /* a pipe nobody writes: the sequencer's poll descriptor */
  int next_port;
} snd_seq_t;

static snd_seq_t the_seq = {{-1, -1}, 0};

int snd_seq_open(snd_seq_t** handle, const char* name, int streams, int mode) {
  (void)name, (void)streams, (void)mode;
  if (the_seq.wakeup[0] < 0 && pipe(the_seq.wakeup) != 0) return -errno;
  *handle = &the_seq;
  return 0;
}
int snd_seq_close(snd_seq_t* seq) {
  (void)seq;
  return 0;
}
int snd_seq_set_client_name(snd_seq_t* seq, const char* name) {
  (void)seq, (void)name;
  return 0;
}
int snd_seq_client_id(snd_seq_t* seq) {
  (void)seq;
  return 128;
}
int snd_seq_alloc_queue(snd_seq_t* seq) {
  (void)seq;
  return 0;
}
int snd_seq_free_queue(snd_seq_t* seq, int q) {
  (void)seq, (void)q;
  return 0;
}
int snd_seq_create_simple_port(snd_seq_t* seq, const char* name, unsigned caps, unsigned type) {
  (void)name, (void)caps, (void)type;
  return seq->next_port++;
}
int snd_seq_delete_simple_port(snd_seq_t* seq, int port) {
  (void)seq, (void)port;
  return 0;
}

int snd_seq_poll_descriptors_count(snd_seq_t* seq, short events) {
  (void)seq, (void)events;
  return 1;
}
int snd_seq_poll_descriptors(snd_seq_t* seq, struct pollfd* pfds, unsigned int space, short events) {
  if (space < 1) return 0;
  pfds[0].fd = seq->wakeup[0];
  pfds[0].events = events;
  pfds[0].revents = 0;
  return 1;
}
int snd_seq_event_input_pending(snd_seq_t* seq, int fetch) {
  (void)seq, (void)fetch;
  return 0;
}
int snd_seq_event_input(snd_seq_t* seq, void** ev) {
  (void)seq, (void)ev;
  return -EAGAIN;
}
int snd_seq_event_output(snd_seq_t* seq, void* ev) {
  (void)seq, (void)ev;
  return 0;
}
int snd_seq_event_output_direct(snd_seq_t* seq, void* ev) {
  (void)seq, (void)ev;
  return 0;
}
int snd_seq_drain_output(snd_seq_t* seq) {
  (void)seq;
  return 0;
}
int snd_seq_drop_input(snd_seq_t* seq) {
  (void)seq;
  return 0;
}
int snd_seq_drop_output(snd_seq_t* seq) {
  (void)seq;
  return 0;
}
int snd_seq_free_event(void* ev) {
  (void)ev;
  return 0;
}
int snd_seq_control_queue(snd_seq_t* seq, int q, int type, int value, void* ev) {
  (void)seq, (void)q, (void)type, (void)value, (void)ev;
  return 0;
}
int snd_seq_remove_events(snd_seq_t* seq, void* rmp) {
  (void)seq, (void)rmp;
  return 0;
}

/* Queue status, tempo and timer: accepted, and a queue that stays at 0. */
int snd_seq_get_queue_status(snd_seq_t* seq, int q, void* status) {
  (void)seq, (void)q, (void)status;
  return 0;
}
int snd_seq_get_queue_tempo(snd_seq_t* seq, int q, void* tempo) {
  (void)seq, (void)q, (void)tempo;
  return 0;
}
int snd_seq_set_queue_tempo(snd_seq_t* seq, int q, void* tempo) {
  (void)seq, (void)q, (void)tempo;
  return 0;
}
int snd_seq_set_queue_timer(snd_seq_t* seq, int q, void* timer) {
  (void)seq, (void)q, (void)timer;
  return 0;
}

/* No other clients, ports or subscriptions. */
int snd_seq_query_next_client(snd_seq_t* seq, void* info) {
  (void)seq, (void)info;
  return -ENOENT;
}
int snd_seq_query_next_port(snd_seq_t* seq, void* info) {
  (void)seq, (void)info;
  return -ENOENT;
}
int snd_seq_get_any_client_info(snd_seq_t* seq, int client, void* info) {
  (void)seq, (void)client, (void)info;
  return -ENOENT;
}
int snd_seq_get_any_port_info(snd_seq_t* seq, int client, int port, void* info) {
  (void)seq, (void)client, (void)port, (void)info;
  return -ENOENT;
}
int snd_seq_get_port_info(snd_seq_t* seq, int port, void* info) {
  (void)seq, (void)port, (void)info;
  return 0;
}
int snd_seq_set_port_info(snd_seq_t* seq, int port, void* info) {
  (void)seq, (void)port, (void)info;
  return 0;
}
int snd_seq_query_port_subscribers(snd_seq_t* seq, void* subs) {
  (void)seq, (void)subs;
  return -ENOENT;
}
int snd_seq_subscribe_port(snd_seq_t* seq, void* sub) {
  (void)seq, (void)sub;
  return 0;
}
int snd_seq_unsubscribe_port(snd_seq_t* seq, void* sub) {
  (void)seq, (void)sub;
  return 0;
}
