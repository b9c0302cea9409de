#pragma once
// The sound server's client library (libpulse), loaded when the voice memo
// window first plays or records rather than at the program's start: it brings
// some thirty further libraries (codecs, sound files, D-Bus) that only sound
// needs. The program is built against its headers only; a machine without the
// library cannot play or record, as one without a sound server.

#include "platform/LoadedLibrary.h"

#include <pulse/pulseaudio.h>

namespace entry {

// The functions of libpulse the sound device calls, under their names without
// the "pa_" prefix.
#define TEVORA_PULSE_FUNCTIONS(F)                                                                      \
    F(pa_, threaded_mainloop_new)                                                                      \
    F(pa_, threaded_mainloop_start)                                                                    \
    F(pa_, threaded_mainloop_stop)                                                                     \
    F(pa_, threaded_mainloop_free)                                                                     \
    F(pa_, threaded_mainloop_lock)                                                                     \
    F(pa_, threaded_mainloop_unlock)                                                                   \
    F(pa_, threaded_mainloop_get_api)                                                                  \
    F(pa_, context_new)                                                                                \
    F(pa_, context_connect)                                                                            \
    F(pa_, context_disconnect)                                                                         \
    F(pa_, context_unref)                                                                              \
    F(pa_, context_get_state)                                                                          \
    F(pa_, context_get_server_info)                                                                    \
    F(pa_, context_get_source_info_by_name)                                                            \
    F(pa_, context_get_sink_info_by_name)                                                              \
    F(pa_, operation_get_state)                                                                        \
    F(pa_, operation_cancel)                                                                           \
    F(pa_, operation_unref)                                                                            \
    F(pa_, sample_spec_valid)                                                                          \
    F(pa_, frame_size)                                                                                 \
    F(pa_, usec_to_bytes)                                                                              \
    F(pa_, channel_map_init_extend)                                                                    \
    F(pa_, stream_new)                                                                                 \
    F(pa_, stream_unref)                                                                               \
    F(pa_, stream_get_state)                                                                           \
    F(pa_, stream_connect_playback)                                                                    \
    F(pa_, stream_connect_record)                                                                      \
    F(pa_, stream_disconnect)                                                                          \
    F(pa_, stream_set_write_callback)                                                                  \
    F(pa_, stream_set_read_callback)                                                                   \
    F(pa_, stream_set_state_callback)                                                                  \
    F(pa_, stream_write)                                                                               \
    F(pa_, stream_trigger)                                                                             \
    F(pa_, stream_readable_size)                                                                       \
    F(pa_, stream_peek)                                                                                \
    F(pa_, stream_drop)                                                                                \
    F(pa_, stream_update_timing_info)

struct PulseLibrary {
    static constexpr const char* FileName = "libpulse.so.0";
    TEVORA_LIBRARY_TABLE(TEVORA_PULSE_FUNCTIONS)
};

// Loads libpulse on the first call and keeps it for the rest of the run;
// nullptr when it is not installed or lacks one of the functions.
inline const PulseLibrary* loadPulseLibrary()
{
    return platform::loadedLibrary<PulseLibrary>();
}

// The loaded library's functions; only after loadPulseLibrary gave them.
inline const PulseLibrary& pa()
{
    return platform::library<PulseLibrary>();
}

} // namespace entry
