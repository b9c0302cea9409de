#pragma once
// The voice memo window voicefm ("Voice"): plays the current person's memo or
// records a new one, through the media control MMControl1 (the sound device of
// VoiceDevice.h). A run ends by itself on the slider's tenth step (the timer adds
// 10 every 300 ms), or with "save". A recording is made into "voicerec.wav"; a
// finished one that holds sound is moved over "voicetmp.wav" in the voice folder
// and sets the editor's voice marker (cmdvoice's Tag) to "1", which the register
// command turns into the person's memo; one that does not is reported with the
// recording failure message, or, when a file could not be written (a full disk),
// with the file and why. A recording that fails or is left unsaved changes
// neither "voicetmp.wav" nor the marker. The window is modal; every way out
// leaves Voice_Busy at 0.

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Slider.h"
#include "forms/Timer.h"
#include "platform/Errors.h"

#include <optional>
#include <string>

namespace entry {

inline constexpr const char* VoiceCaption = "Voice";
inline constexpr const char* CannotPlayMessage = "Sound_card or Wav_file is Wrong ! ";
inline constexpr const char* CannotRecordMessage = "Sound_card or Wav_file is Wrong !";

// The media control: command texts and properties passed to the sound device.
class MediaControl {
public:
    const std::string& fileName() const { return m_fileName; }
    void setFileName(const std::string& path);
    const std::string& deviceType() const { return m_deviceType; }
    void setDeviceType(const std::string& type);
    // Sends a command text to the device; a failure throws platform::RuntimeError.
    void setCommand(const std::string& text);
    bool canPlay() const;
    bool canRecord() const;
    void release();

private:
    std::string m_fileName;
    std::string m_deviceType;
};

} // namespace entry

class Voicefm : public forms::Form {
public:
    Voicefm();

    entry::MediaControl MMControl1;
    forms::Slider Slider1{*this, "Slider1"};
    forms::Label Label1{*this, "Label1"};
    forms::Label Label2{*this, "Label2"};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton play{*this, "play"};
    forms::CommandButton record{*this, "record"};
    forms::CommandButton save{*this, "save"};
    forms::Timer Timer1{*this, "Timer1"};

    // -1 while playing, 0 while recording (and when the window opens).
    int mode() const { return m_mode; }

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;
    void play_Click();
    void record_Click();
    void save_Click();
    void Command1_Click();
    void Slider1_Change();
    void Timer1_Timer();

protected:
    void design() override;

private:
    void endRun();
    // Sends "Save"; the failure when the device could not save the recording.
    std::optional<platform::RuntimeError> saveRecording();
    // After a recording: when "Save" put a recording with sound data into
    // "voicerec.wav", moves it over "voicetmp.wav" and marks the voice button;
    // otherwise reports the failure.
    void settleRecording(std::optional<platform::RuntimeError> failure);
    // Deletes "voicerec.wav", quietly.
    void removeTake();
    // The device could not play or record: the message, and the window closes.
    void deviceFailed(const char* message);
    // A command whose failure is not reported.
    void sendQuietly(const char* command);
    void close();

    int m_mode = 0;
    // True from the start of playing or recording to the end of the run; the
    // slider moved to its end by hand outside a run ends nothing.
    bool m_running = false;
};

// The one instance of the window.
Voicefm& voicefm_form();
