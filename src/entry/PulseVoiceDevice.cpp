// The default sound device of the voice memo window: plays and records WAV
// files through the desktop's sound server (PulseAudio, or PipeWire's PulseAudio
// service) with libpulse, and reads and writes the WAV files itself, so no media
// framework or plug-in stands between the window and the server. libpulse is
// loaded when the window first plays or records (PulseLibrary.h); without it
// the device can neither play nor record, as without a server.
//
// Nothing waits on the server without a limit. The window thread asks, then
// polls for the answer for at most ServerAnswerMs while the windows go on
// painting; a server that does not answer in time (gone, stopped, hung) is a
// device that cannot play or record. The sound itself flows on libpulse's own
// thread: a recording gathers its samples there and becomes a WAV file on
// "Save"; a memo is read whole and handed to the server from there.

#include "entry/VoiceDevice.h"

#include "entry/WaveFile.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#if TEVORA_HAVE_PULSE
#include "entry/PulseLibrary.h"

#include "forms/DeviceWait.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#endif

namespace entry {

namespace {

VoiceDevice* installed = nullptr;

#if TEVORA_HAVE_PULSE

[[noreturn]] void deviceError(const std::string& what)
{
    throw platform::RuntimeError(platform::err::PathFileAccess, what);
}

// How long the server may take to answer one request.
constexpr int ServerAnswerMs = 2000;
// How often a wait looks at the answer.
constexpr int PollMs = 5;
// Recordings: 16-bit mono at 22,050 Hz, enough for a voice, delivered in 50 ms pieces.
constexpr uint32_t RecordRate = 22050;
constexpr WaveFormat RecordFormat{PcmTag, 1, static_cast<int>(RecordRate), 16, 2};
constexpr pa_usec_t RecordPieceUsec = 50 * 1000;
// Memos are handed to the server a quarter of a second ahead.
constexpr pa_usec_t PlayBufferUsec = 250 * 1000;
constexpr const char* StreamName = "Tevora voice memo";

// The connection to the sound server and libpulse's thread. The window thread
// uses the connection only under lock(); libpulse runs its callbacks on its own
// thread with the lock held.
class SoundServer {
public:
    SoundServer()
    {
        if (!loadPulseLibrary())
            return;
        m_loop = pa().threaded_mainloop_new();
        if (m_loop && pa().threaded_mainloop_start(m_loop) < 0) {
            pa().threaded_mainloop_free(m_loop);
            m_loop = nullptr;
        }
    }

    ~SoundServer()
    {
        if (!m_loop)
            return;
        lock();
        dropContext();
        unlock();
        pa().threaded_mainloop_stop(m_loop);
        pa().threaded_mainloop_free(m_loop);
    }

    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    void lock() { pa().threaded_mainloop_lock(m_loop); }
    void unlock() { pa().threaded_mainloop_unlock(m_loop); }

    // Polls done() under the lock until it holds or timeMs have passed; the
    // windows paint meanwhile, and the user's input waits for the answer.
    bool waitFor(const std::function<bool()>& done, int timeMs)
    {
        const auto holds = [&] {
            lock();
            const bool result = done();
            unlock();
            return result;
        };
        return forms::waitForDevice(holds, PollMs, timeMs);
    }

    // A connection that is ready: the one there is, or a new one when there is
    // none or the last one failed (the server went away). nullptr when there is
    // no server or it did not answer in time, or libpulse is missing.
    pa_context* connect()
    {
        if (!m_loop)
            return nullptr;
        lock();
        if (m_context && !PA_CONTEXT_IS_GOOD(pa().context_get_state(m_context)))
            dropContext();
        if (!m_context) {
            m_context = pa().context_new(pa().threaded_mainloop_get_api(m_loop), "Tevora");
            if (m_context && pa().context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
                dropContext();
        }
        pa_context* context = m_context;
        unlock();
        if (!context)
            return nullptr;
        waitFor([context] { return pa().context_get_state(context) == PA_CONTEXT_READY
                                   || !PA_CONTEXT_IS_GOOD(pa().context_get_state(context)); },
                ServerAnswerMs);
        lock();
        const bool ready = pa().context_get_state(context) == PA_CONTEXT_READY;
        unlock();
        return ready ? context : nullptr;
    }

    // Starts a request (start() runs under the lock and returns libpulse's
    // operation) and waits for it to finish; one not finished in time is
    // cancelled, so its callback never runs afterwards. True when it finished.
    bool request(const std::function<pa_operation*()>& start)
    {
        lock();
        pa_operation* operation = start();
        unlock();
        if (!operation)
            return false;
        const bool finished = waitFor(
            [operation] { return pa().operation_get_state(operation) != PA_OPERATION_RUNNING; }, ServerAnswerMs);
        lock();
        if (!finished)
            pa().operation_cancel(operation);
        pa().operation_unref(operation);
        unlock();
        return finished;
    }

private:
    void dropContext()
    {
        if (!m_context)
            return;
        pa().context_disconnect(m_context);
        pa().context_unref(m_context);
        m_context = nullptr;
    }

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

// The sample layout the server is given for a WAV format; nullopt for a format
// it cannot take.
std::optional<pa_sample_spec> pulseSampleOf(const WaveFormat& format)
{
    pa_sample_spec sample{};
    const int tag = format.formatTag;
    const int bits = format.bitsPerSample;
    if (tag == PcmTag && bits == 8)
        sample.format = PA_SAMPLE_U8;
    else if (tag == PcmTag && bits == 16)
        sample.format = PA_SAMPLE_S16LE;
    else if (tag == PcmTag && bits == 24)
        sample.format = format.blockAlign == 4 * format.channels ? PA_SAMPLE_S24_32LE : PA_SAMPLE_S24LE;
    else if (tag == PcmTag && bits == 32)
        sample.format = PA_SAMPLE_S32LE;
    else if (tag == FloatTag && bits == 32)
        sample.format = PA_SAMPLE_FLOAT32LE;
    else if (tag == ALawTag && bits == 8)
        sample.format = PA_SAMPLE_ALAW;
    else if (tag == MuLawTag && bits == 8)
        sample.format = PA_SAMPLE_ULAW;
    else
        return std::nullopt;
    if (format.channels > static_cast<int>(PA_CHANNELS_MAX))
        return std::nullopt;
    sample.channels = static_cast<uint8_t>(format.channels);
    sample.rate = static_cast<uint32_t>(format.sampleRate);
    if (!pa().sample_spec_valid(&sample) || pa().frame_size(&sample) != static_cast<size_t>(format.blockAlign))
        return std::nullopt;
    return sample;
}

std::optional<WaveSound> playableSound(const std::string& path)
{
    std::optional<WaveSound> sound = readWaveSound(path);
    if (!sound || !pulseSampleOf(sound->format))
        return std::nullopt;
    return sound;
}

// The server's default input and output, by name.
struct ServerDefaults {
    std::string source;
    std::string sink;
};

// Whether a device of that name is there, and whether it is the echo of an output.
struct DeviceFound {
    bool found = false;
    bool monitor = false;
};

void takeServerDefaults(pa_context*, const pa_server_info* info, void* userdata)
{
    auto* defaults = static_cast<ServerDefaults*>(userdata);
    if (!info)
        return;
    defaults->source = info->default_source_name ? info->default_source_name : "";
    defaults->sink = info->default_sink_name ? info->default_sink_name : "";
}

void takeSource(pa_context*, const pa_source_info* info, int last, void* userdata)
{
    auto* found = static_cast<DeviceFound*>(userdata);
    if (last != 0 || !info)
        return;
    found->found = true;
    found->monitor = info->monitor_of_sink != PA_INVALID_INDEX;
}

void takeSink(pa_context*, const pa_sink_info* info, int last, void* userdata)
{
    if (last == 0 && info)
        static_cast<DeviceFound*>(userdata)->found = true;
}

class PulseVoiceDevice : public VoiceDevice {
public:
    ~PulseVoiceDevice() override { close(); }

    void setFileName(const std::string& path) override { m_fileName = path; }
    void setDeviceType(const std::string& type) override { m_deviceType = type; }

    void command(const std::string& text) override
    {
        const std::string verb = platform::LCase(text);
        if (verb == "open")
            open();
        else if (verb == "play")
            play();
        else if (verb == "record")
            record();
        else if (verb == "stop")
            stop();
        else if (verb == "save")
            save();
        else if (verb == "close")
            close();
        else
            deviceError("unknown media command: " + text);
    }

    bool canPlay() const override { return m_open && m_canPlay; }
    bool canRecord() const override { return m_open && m_canRecord; }
    void release() override { close(); }

private:
    // Asks the server for its default devices: recording needs a default
    // source that is a microphone or line in (not the echo of an output),
    // playing a default output and a WAV file whose samples it can take.
    void open()
    {
        close();
        m_open = true;
        if (platform::LCase(m_deviceType) != "waveaudio")
            return;
        if (!m_server)
            m_server = std::make_unique<SoundServer>();
        pa_context* context = m_server->connect();
        if (!context)
            return;
        ServerDefaults defaults;
        if (!m_server->request([&] { return pa().context_get_server_info(context, takeServerDefaults, &defaults); }))
            return;
        DeviceFound source;
        if (!defaults.source.empty()
            && m_server->request([&] {
                   return pa().context_get_source_info_by_name(context, defaults.source.c_str(), takeSource, &source);
               })) {
            m_source = defaults.source;
            m_canRecord = source.found && !source.monitor;
        }
        DeviceFound sink;
        m_sound = playableSound(m_fileName);
        if (!defaults.sink.empty() && m_sound
            && m_server->request([&] {
                   return pa().context_get_sink_info_by_name(context, defaults.sink.c_str(), takeSink, &sink);
               })) {
            m_sink = defaults.sink;
            m_canPlay = sink.found;
        }
    }

    // Waits up to ServerAnswerMs until the stream runs; false when it failed or
    // the server did not answer in time.
    bool waitUntilRunning(pa_stream* stream)
    {
        const auto settled = [stream] { return pa().stream_get_state(stream) != PA_STREAM_CREATING; };
        m_server->waitFor(settled, ServerAnswerMs);
        m_server->lock();
        const bool ready = pa().stream_get_state(stream) == PA_STREAM_READY;
        m_server->unlock();
        return ready;
    }

    void play()
    {
        if (!canPlay())
            deviceError("the device cannot play " + m_fileName);
        stopPlaying();
        const pa_sample_spec sample = *pulseSampleOf(m_sound->format);
        pa_context* context = m_server->connect();
        if (!context)
            deviceError("the sound server does not answer");
        pa_channel_map map;
        pa().channel_map_init_extend(&map, sample.channels, PA_CHANNEL_MAP_DEFAULT);
        m_server->lock();
        m_playing = pa().stream_new(context, StreamName, &sample, &map);
        int connected = -1;
        if (m_playing) {
            m_playSamples = m_sound->samples;
            m_playedUpTo = 0;
            pa().stream_set_write_callback(m_playing, &PulseVoiceDevice::feed, this);
            // A short buffer: the memo starts at once and stops at once on "Stop".
            pa_buffer_attr attributes;
            attributes.maxlength = static_cast<uint32_t>(-1);
            attributes.tlength = static_cast<uint32_t>(pa().usec_to_bytes(PlayBufferUsec, &sample));
            attributes.prebuf = static_cast<uint32_t>(-1);
            attributes.minreq = static_cast<uint32_t>(-1);
            attributes.fragsize = static_cast<uint32_t>(-1);
            connected = pa().stream_connect_playback(m_playing, m_sink.c_str(), &attributes,
                                                     PA_STREAM_ADJUST_LATENCY, nullptr, nullptr);
        }
        m_server->unlock();
        if (connected < 0 || !waitUntilRunning(m_playing)) {
            stopPlaying();
            deviceError("the sound server did not start playing " + m_fileName);
        }
    }

    // On libpulse's thread: hands the server as much of the memo as it asks for.
    static void feed(pa_stream* stream, size_t wanted, void* userdata)
    {
        auto* self = static_cast<PulseVoiceDevice*>(userdata);
        const size_t left = self->m_playSamples.size() - self->m_playedUpTo;
        const size_t count = std::min(wanted, left);
        if (count == 0)
            return;
        if (pa().stream_write(stream, self->m_playSamples.data() + self->m_playedUpTo, count, nullptr, 0,
                              PA_SEEK_RELATIVE) != 0)
            return;
        self->m_playedUpTo += count;
        // A memo shorter than the buffer the server waits to fill starts all the same.
        if (self->m_playedUpTo == self->m_playSamples.size()) {
            if (pa_operation* operation = pa().stream_trigger(stream, nullptr, nullptr))
                pa().operation_unref(operation);
        }
    }

    void stopPlaying()
    {
        if (!m_playing)
            return;
        m_server->lock();
        pa().stream_set_write_callback(m_playing, nullptr, nullptr);
        pa().stream_disconnect(m_playing);
        pa().stream_unref(m_playing);
        m_playing = nullptr;
        m_server->unlock();
        m_playSamples.clear();
    }

    void record()
    {
        if (!canRecord())
            deviceError("the device cannot record");
        dropRecording();
        pa_context* context = m_server->connect();
        if (!context)
            deviceError("the sound server does not answer");
        const pa_sample_spec sample{PA_SAMPLE_S16LE, RecordRate, 1};
        pa_buffer_attr attributes;
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = static_cast<uint32_t>(-1);
        attributes.prebuf = static_cast<uint32_t>(-1);
        attributes.minreq = static_cast<uint32_t>(-1);
        attributes.fragsize = static_cast<uint32_t>(pa().usec_to_bytes(RecordPieceUsec, &sample));
        m_server->lock();
        m_recording = pa().stream_new(context, StreamName, &sample, nullptr);
        int connected = -1;
        if (m_recording) {
            m_recorded.clear();
            m_recordingFailed = false;
            pa().stream_set_read_callback(m_recording, &PulseVoiceDevice::gather, this);
            pa().stream_set_state_callback(m_recording, &PulseVoiceDevice::watchRecording, this);
            connected =
                pa().stream_connect_record(m_recording, m_source.c_str(), &attributes, PA_STREAM_ADJUST_LATENCY);
        }
        m_server->unlock();
        if (connected < 0 || !waitUntilRunning(m_recording)) {
            dropRecording();
            deviceError("the sound server did not start the recording");
        }
        m_recordingMade = true;
    }

    // On libpulse's thread (or under the lock): takes every sample that arrived.
    void takeSamples(pa_stream* stream)
    {
        while (pa().stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            size_t length = 0;
            if (pa().stream_peek(stream, &data, &length) < 0) {
                m_recordingFailed = true;
                return;
            }
            if (length == 0)
                return;
            // A hole (no data for a stretch) adds nothing: only sound that came counts.
            if (data)
                m_recorded.append(static_cast<const char*>(data), length);
            pa().stream_drop(stream);
        }
    }

    static void gather(pa_stream* stream, size_t, void* userdata)
    {
        static_cast<PulseVoiceDevice*>(userdata)->takeSamples(stream);
    }

    // A recording stream that fails (the source or the server went away) is a recording cut short.
    static void watchRecording(pa_stream* stream, void* userdata)
    {
        const pa_stream_state_t state = pa().stream_get_state(stream);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
            static_cast<PulseVoiceDevice*>(userdata)->m_recordingFailed = true;
    }

    // What closing a recording stream does with the samples that came and were not taken yet.
    enum class Gathered { Keep, Drop };

    // Ends the recording stream and keeps what it gathered. The server is asked
    // for one answer first, so that all it sent before is taken; a server that
    // does not give it in time hung while it recorded, and the recording is cut
    // short.
    void endRecording()
    {
        if (!m_recording)
            return;
        pa_stream* stream = m_recording;
        const bool answered =
            m_server->request([stream] { return pa().stream_update_timing_info(stream, nullptr, nullptr); });
        if (!answered) {
            m_server->lock();
            m_recordingFailed = true;
            m_server->unlock();
        }
        closeRecording(answered ? Gathered::Keep : Gathered::Drop);
    }

    // Disconnects the recording stream.
    void closeRecording(Gathered gathered)
    {
        if (!m_recording)
            return;
        m_server->lock();
        if (gathered == Gathered::Keep && pa().stream_get_state(m_recording) == PA_STREAM_READY)
            takeSamples(m_recording);
        pa().stream_set_read_callback(m_recording, nullptr, nullptr);
        pa().stream_set_state_callback(m_recording, nullptr, nullptr);
        pa().stream_disconnect(m_recording);
        pa().stream_unref(m_recording);
        m_recording = nullptr;
        m_server->unlock();
    }

    void dropRecording()
    {
        closeRecording(Gathered::Drop);
        m_recorded.clear();
        m_recordingMade = false;
        m_recordingFailed = false;
    }

    void stop()
    {
        stopPlaying();
        endRecording();
    }

    // Puts the recording into the file set, when it is one: a recording the
    // server cut short or hung in, or one that holds no sound (nothing, or
    // silence alone: a muted microphone), fails and changes no file.
    void save()
    {
        endRecording();
        if (!m_recordingMade)
            deviceError("nothing was recorded");
        const bool failed = m_recordingFailed;
        const std::string samples = std::move(m_recorded);
        dropRecording();
        if (failed)
            deviceError("the sound server ended the recording");
        if (!samplesHoldSound(RecordFormat, samples))
            deviceError("the recording holds no sound");
        // Written whole or not at all (a full disk leaves the file as it was),
        // the failure naming the file set.
        writeWave(m_fileName, RecordFormat, samples);
    }

    void close()
    {
        stopPlaying();
        dropRecording();
        m_sound.reset();
        m_open = false;
        m_canPlay = false;
        m_canRecord = false;
    }

    // Declared first, so that it goes last: the streams below belong to its connection.
    std::unique_ptr<SoundServer> m_server;
    std::string m_fileName;
    std::string m_deviceType;
    bool m_open = false;
    bool m_canPlay = false;
    bool m_canRecord = false;
    std::string m_source;
    std::string m_sink;

    // The file's sound as "Open" read it, when the server can play it.
    std::optional<WaveSound> m_sound;
    pa_stream* m_playing = nullptr;
    std::string m_playSamples;
    size_t m_playedUpTo = 0;

    pa_stream* m_recording = nullptr;
    // Guarded by the server's lock while the recording runs.
    std::string m_recorded;
    bool m_recordingFailed = false;
    bool m_recordingMade = false;
};

#else

// Built without libpulse's headers: a device that can neither play nor record,
// so the window reports the device as unusable.
class PulseVoiceDevice : public VoiceDevice {
public:
    void setFileName(const std::string&) override {}
    void setDeviceType(const std::string&) override {}
    void command(const std::string&) override {}
    bool canPlay() const override { return false; }
    bool canRecord() const override { return false; }
    void release() override {}
};

#endif

} // namespace

VoiceDevice& defaultVoiceDevice()
{
    static PulseVoiceDevice device;
    return device;
}

void setVoiceDevice(VoiceDevice* device)
{
    installed = device;
}

VoiceDevice& voiceDevice()
{
    return installed ? *installed : defaultVoiceDevice();
}

} // namespace entry
