/* Preloaded into Qtractor where the kernel has no ALSA sequencer (/dev/snd/seq): Qtractor
 * starts no session without its MIDI engine, which the CLAP panel's test does not use.
 * The sequencer calls Qtractor makes succeed with no clients, no ports to list and no
 * events ever arriving; the rest of libasound is the real one. */
#include <errno.h>
#include <poll.h>
#include <unistd.h>

static int handle, idle_pipe[2] = {-1, -1}, next_port;

int snd_seq_open(void **seq, const char *name, int streams, int mode) {
  (void)name, (void)streams, (void)mode;
  if (idle_pipe[0] < 0 && pipe(idle_pipe) != 0) return -errno;
  *seq = &handle;
  return 0;
}
int snd_seq_poll_descriptors_count(void *seq, short events) { (void)seq, (void)events; return 1; }
int snd_seq_poll_descriptors(void *seq, struct pollfd *fds, unsigned space, short events) {
  (void)seq;
  if (space < 1) return 0;
  fds[0].fd = idle_pipe[0];
  fds[0].events = events;
  fds[0].revents = 0;
  return 1;
}
int snd_seq_event_input(void *seq, void **event) { (void)seq; *event = 0; return -EAGAIN; }
int snd_seq_client_id(void *seq) { (void)seq; return 128; }
int snd_seq_create_simple_port(void *seq, const char *name, unsigned caps, unsigned type) {
  (void)seq, (void)name, (void)caps, (void)type;
  return next_port++;
}
/* Nothing to find when Qtractor lists clients, ports and subscribers. */
int snd_seq_query_next_client(void) { return -ENOENT; }
int snd_seq_query_next_port(void) { return -ENOENT; }
int snd_seq_query_port_subscribers(void) { return -ENOENT; }
int snd_seq_get_any_client_info(void) { return -ENOENT; }
int snd_seq_get_any_port_info(void) { return -ENOENT; }
int snd_seq_get_port_info(void) { return -ENOENT; }
const char *snd_seq_client_info_get_name(void) { return ""; }
const char *snd_seq_port_info_get_name(void) { return ""; }
/* Opaque records Qtractor allocates on its stack by these sizes. */
#define SIZE(record) unsigned long snd_seq_##record##_sizeof(void) { return 512; }
SIZE(client_info) SIZE(port_info) SIZE(port_subscribe) SIZE(query_subscribe)
SIZE(queue_status) SIZE(queue_tempo) SIZE(queue_timer) SIZE(remove_events)
/* Calls that succeed doing nothing, or read a zero. */
#define NOTHING(call) int snd_seq_##call(void) { return 0; }
NOTHING(close) NOTHING(set_client_name) NOTHING(alloc_queue) NOTHING(free_queue)
NOTHING(control_queue) NOTHING(delete_simple_port) NOTHING(drain_output) NOTHING(drop_input)
NOTHING(drop_output) NOTHING(event_input_pending) NOTHING(event_output)
NOTHING(event_output_direct) NOTHING(free_event) NOTHING(get_queue_status)
NOTHING(get_queue_tempo) NOTHING(remove_events) NOTHING(set_port_info)
NOTHING(set_queue_tempo) NOTHING(set_queue_timer) NOTHING(subscribe_port)
NOTHING(unsubscribe_port) NOTHING(client_info_get_client) NOTHING(client_info_set_client)
NOTHING(port_info_get_capability) NOTHING(port_info_get_port) NOTHING(port_info_set_client)
NOTHING(port_info_set_port) NOTHING(port_info_set_timestamp_queue)
NOTHING(port_info_set_timestamp_real) NOTHING(port_info_set_timestamping)
NOTHING(port_subscribe_set_dest) NOTHING(port_subscribe_set_sender)
NOTHING(query_subscribe_get_addr) NOTHING(query_subscribe_get_index)
NOTHING(query_subscribe_set_index) NOTHING(query_subscribe_set_root)
NOTHING(query_subscribe_set_type) NOTHING(queue_status_get_tick_time)
NOTHING(queue_tempo_get_skew) NOTHING(queue_tempo_get_skew_base) NOTHING(queue_tempo_set_ppq)
NOTHING(queue_tempo_set_skew) NOTHING(queue_tempo_set_tempo) NOTHING(queue_timer_set_id)
NOTHING(queue_timer_set_type) NOTHING(remove_events_set_channel)
NOTHING(remove_events_set_condition) NOTHING(remove_events_set_queue)
NOTHING(remove_events_set_tag) NOTHING(remove_events_set_time)
