#pragma once
// The sound device behind the voice memo window's media control. The window
// drives it with the media control's command texts ("Open", "Play", "Record",
// "Stop", "Save", "Close", in any letter case) on the file and device type set
// before, and asks after "Open" whether it can play or record. The default
// device plays and records WAV files through the desktop's sound server; most
// tests install a recording fake.

#include <string>

namespace entry {

class VoiceDevice {
public:
    virtual ~VoiceDevice() = default;

    virtual void setFileName(const std::string& path) = 0;
    virtual void setDeviceType(const std::string& type) = 0;
    // Runs one command; a command that fails throws platform::RuntimeError.
    // "Record" records into a place of its own: only "Save" puts the recording
    // into the file set, so a recording closed unsaved leaves it as it was, and
    // "Save" fails (and writes nothing there) for a recording with no sound data.
    virtual void command(const std::string& text) = 0;
    // After "Open": whether the device and file can be played, or recorded to.
    virtual bool canPlay() const = 0;
    virtual bool canRecord() const = 0;
    // The window went away: stop whatever runs and close, saving nothing.
    virtual void release() = 0;
};

// The default device: the desktop's sound server through libpulse, loaded on
// the first "Open"; a device that can do nothing when the program was built
// without libpulse's headers.
VoiceDevice& defaultVoiceDevice();

// Installs a device (not owned); nullptr restores the default.
void setVoiceDevice(VoiceDevice* device);
VoiceDevice& voiceDevice();

} // namespace entry
