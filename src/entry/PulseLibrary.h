#pragma once
// The sound server's client library (libpulse), loaded when the voice memo
// window first plays or records rather than at the program's start: it brings
// some thirty further libraries (codecs, sound files, D-Bus) that only sound
// needs. The program is built against its headers only; a machine without the
// library cannot play or record, as one without a sound server.

#include <pulse/pulseaudio.h>

namespace entry {

// The functions of libpulse the sound device calls, under their names without
// the "pa_" prefix.
#define TEVORA_PULSE_FUNCTIONS(F)                                                                        \
    F(threaded_mainloop_new)                                                                             \
    F(threaded_mainloop_start)                                                                           \
    F(threaded_mainloop_stop)                                                                            \
    F(threaded_mainloop_free)                                                                            \
    F(threaded_mainloop_lock)                                                                            \
    F(threaded_mainloop_unlock)                                                                          \
    F(threaded_mainloop_get_api)                                                                         \
    F(context_new)                                                                                       \
    F(context_connect)                                                                                   \
    F(context_disconnect)                                                                                \
    F(context_unref)                                                                                     \
    F(context_get_state)                                                                                 \
    F(context_get_server_info)                                                                           \
    F(context_get_source_info_by_name)                                                                   \
    F(context_get_sink_info_by_name)                                                                     \
    F(operation_get_state)                                                                               \
    F(operation_cancel)                                                                                  \
    F(operation_unref)                                                                                   \
    F(sample_spec_valid)                                                                                 \
    F(frame_size)                                                                                        \
    F(usec_to_bytes)                                                                                     \
    F(channel_map_init_extend)                                                                           \
    F(stream_new)                                                                                        \
    F(stream_unref)                                                                                      \
    F(stream_get_state)                                                                                  \
    F(stream_connect_playback)                                                                           \
    F(stream_connect_record)                                                                             \
    F(stream_disconnect)                                                                                 \
    F(stream_set_write_callback)                                                                         \
    F(stream_set_read_callback)                                                                          \
    F(stream_set_state_callback)                                                                         \
    F(stream_write)                                                                                      \
    F(stream_trigger)                                                                                    \
    F(stream_readable_size)                                                                              \
    F(stream_peek)                                                                                       \
    F(stream_drop)                                                                                       \
    F(stream_update_timing_info)

struct PulseLibrary {
#define TEVORA_PULSE_POINTER(name) decltype(&::pa_##name) name = nullptr;
    TEVORA_PULSE_FUNCTIONS(TEVORA_PULSE_POINTER)
#undef TEVORA_PULSE_POINTER
};

// Loads libpulse on the first call and keeps it for the rest of the run;
// nullptr when it is not installed or lacks one of the functions.
const PulseLibrary* loadPulseLibrary();

// The loaded library's functions; only after loadPulseLibrary gave them.
const PulseLibrary& pa();

} // namespace entry
