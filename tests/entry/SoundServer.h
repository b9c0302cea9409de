#pragma once
// A PulseAudio server of the test program's own, for the tests of the real
// sound device: a null output "speaker" (its echo "speaker.monitor" is what
// the tests listen to), a 440 Hz tone "tone" as the default input, and a
// socket in a fresh folder, found by the device through PULSE_SERVER. The
// program starts one on first use and ends it when it exits; CTest runs every
// test in a program of its own, so tests running side by side never share one.

#include "support/ServiceProcess.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace entry_test {

class SoundServer {
public:
    static SoundServer& instance();

    // Starts the server unless it runs and waits until it takes connections;
    // "" when it does, otherwise why it cannot run here.
    std::string start();
    // The server goes away at once (killed).
    void kill();
    // The server stops answering (stopped), and answers again.
    void pause();
    void resume();
    // Suspends the tone (true when the server did): a recording connects but
    // gets no sound data.
    bool suspendTone(bool suspended);
    // Mutes the tone as a desktop's mute key does (true when the server did): a
    // recording gets sound data that is all silence.
    bool muteSource(bool muted);
    // Records the speaker's echo for the given time (blocking): 16-bit mono
    // samples at rate, through pulseaudio's own recorder (parec), so that the
    // test program needs no libpulse of its own; the recorder is a service of
    // its own (support::ServiceProcess). ready() is called once the recording
    // runs (or could not start). Empty when it got less than asked for; what
    // the recorder said is then written to the error output.
    std::vector<int16_t> listenToSpeaker(int milliseconds, int rate, void (*ready)(void*), void* context);

    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

private:
    SoundServer() = default;
    ~SoundServer() = default;
    bool running();

    std::unique_ptr<support::ServiceProcess> m_process;
    std::string m_address;
};

} // namespace entry_test
