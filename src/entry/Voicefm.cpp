#include "entry/Voicefm.h"

#include "entry/EntryForm.h"
#include "entry/EntryPaths.h"
#include "entry/VoiceDevice.h"
#include "entry/WaveFile.h"
#include "entry/entry_state.h"

#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

namespace {

// The slider's steps: each tick adds SliderStep; a run ends at SliderEnd.
constexpr int SliderEnd = 100;
constexpr int SliderStep = 10;
constexpr int TickMilliseconds = 300;

} // namespace

namespace entry {

void MediaControl::setFileName(const std::string& path)
{
    m_fileName = path;
    voiceDevice().setFileName(path);
}

void MediaControl::setDeviceType(const std::string& type)
{
    m_deviceType = type;
    voiceDevice().setDeviceType(type);
}

void MediaControl::setCommand(const std::string& text)
{
    voiceDevice().command(text);
}

bool MediaControl::canPlay() const
{
    return voiceDevice().canPlay();
}

bool MediaControl::canRecord() const
{
    return voiceDevice().canRecord();
}

void MediaControl::release()
{
    voiceDevice().release();
}

} // namespace entry

Voicefm::Voicefm() : Form("voicefm")
{
    play.onClick = [this] { play_Click(); };
    record.onClick = [this] { record_Click(); };
    save.onClick = [this] { save_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Slider1.onChange = [this] { Slider1_Change(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

Voicefm& voicefm_form()
{
    static Voicefm instance;
    return instance;
}

void Voicefm::design()
{
    setCaption(entry::VoiceCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(3000, 3000, 4230, 2940);
    Slider1.move(300, 795, 3570, 525);
    Label2.move(360, 1440, 400, 255);
    Label2.setCaption("0'");
    Label1.move(3480, 1440, 400, 255);
    Label1.setCaption("30'");
    // Picture buttons with the English tips.
    Command1.move(240, 1680, 735, 735);
    Command1.showGlyph("戻る", "exit");
    play.move(1200, 1680, 735, 735);
    play.showGlyph("再生", "play");
    record.move(2160, 1680, 735, 735);
    record.showGlyph("録音", "record");
    save.move(3120, 1680, 735, 735);
    save.showGlyph("保存", "save");
    Timer1.setInterval(TickMilliseconds);
    Timer1.setEnabled(false);
}

void Voicefm::Form_Load()
{
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    const std::string folder = entry::voiceFolder();
    if (!platform::dirExists(folder))
        platform::makeDir(folder);
    entry::entryState().Voice_Busy = 1;
    m_mode = 0;
    m_running = false;
    record.setEnabled(true);
    play.setEnabled(true);
    save.setEnabled(false);
    const double marker = platform::Val(entry_form().cmdvoice.tag());
    if (marker == 0)
        play.setEnabled(false);

    std::string file = platform::joinPath(folder, entry::VoiceTempName);
    if (marker == 1 && run.Entry_EditMode == 1 && model::isSlot(run.Cur_PerIdx)) {
        const std::string& own = t.per_buf[static_cast<size_t>(run.Cur_PerIdx)].Voice_filename;
        // The memo's name comes from the family file: it must stay inside the voice folder.
        if (model::isPlainFileName(own))
            file = platform::joinPath(folder, own);
    }
    MMControl1.setFileName(file);
    Slider1.setMax(SliderEnd);
    MMControl1.setDeviceType("WaveAudio");
}

void Voicefm::deviceFailed(const char* message)
{
    platform::MsgBox(message, platform::vbOKOnly);
    entry::entryState().Voice_Busy = 0;
    m_running = false;
    unload();
}

void Voicefm::sendQuietly(const char* command)
{
    try {
        MMControl1.setCommand(command);
    } catch (const platform::RuntimeError&) {
        // Failures after the run started are not reported.
    }
}

void Voicefm::play_Click()
{
    try {
        MMControl1.setCommand("Open");
        if (!MMControl1.canPlay()) {
            deviceFailed(entry::CannotPlayMessage);
            return;
        }
        m_mode = -1;
        play.setEnabled(false);
        save.setEnabled(false);
        record.setEnabled(false);
        MMControl1.setCommand("Play");
        m_running = true;
        Slider1.setValue(0);
        Timer1.setEnabled(true);
    } catch (const platform::RuntimeError&) {
        deviceFailed(entry::CannotPlayMessage);
    }
}

void Voicefm::record_Click()
{
    // The device records into a file of its own; the waiting recording is not
    // touched until a new one with sound takes its place (settleRecording).
    const std::string take = platform::joinPath(entry::voiceFolder(), entry::VoiceRecordingName);
    MMControl1.setFileName(take);
    removeTake();
    try {
        MMControl1.setCommand("Open");
        if (!MMControl1.canRecord()) {
            deviceFailed(entry::CannotRecordMessage);
            return;
        }
        Slider1.setValue(0);
        m_mode = 0;
        record.setEnabled(false);
        play.setEnabled(false);
        MMControl1.setCommand("Record");
        m_running = true;
        save.setEnabled(true);
        Timer1.setEnabled(true);
    } catch (const platform::RuntimeError&) {
        deviceFailed(entry::CannotRecordMessage);
    }
}

void Voicefm::Timer1_Timer()
{
    const int next = Slider1.value() + SliderStep;
    Slider1.setValue(next > SliderEnd ? SliderEnd : next);
}

void Voicefm::Slider1_Change()
{
    if (Slider1.value() == Slider1.max() && m_running)
        endRun();
}

void Voicefm::endRun()
{
    m_running = false;
    Slider1.setValue(0);
    Timer1.setEnabled(false);
    save.setEnabled(false);
    const bool recording = m_mode == 0;
    const std::optional<platform::RuntimeError> failure = recording ? saveRecording() : std::nullopt;
    play.setEnabled(true);
    record.setEnabled(true);
    sendQuietly("Close");
    if (recording)
        settleRecording(failure);
    close();
}

void Voicefm::save_Click()
{
    m_running = false;
    sendQuietly("Stop");
    Timer1.setEnabled(false);
    Slider1.setValue(0);
    save.setEnabled(false);
    const std::optional<platform::RuntimeError> failure = saveRecording();
    sendQuietly("Close");
    play.setEnabled(true);
    record.setEnabled(true);
    settleRecording(failure);
    close();
}

std::optional<platform::RuntimeError> Voicefm::saveRecording()
{
    try {
        MMControl1.setCommand("Save");
        return std::nullopt;
    } catch (const platform::RuntimeError& e) {
        return e;
    }
}

void Voicefm::settleRecording(std::optional<platform::RuntimeError> failure)
{
    // Only a recording with sound data becomes the waiting memo: it is moved over
    // "voicetmp.wav" in one step. Anything else is taken away and the user is
    // told; the waiting recording and the marker stay as they were.
    const std::string folder = entry::voiceFolder();
    const std::string take = platform::joinPath(folder, entry::VoiceRecordingName);
    if (!failure && entry::holdsSound(take)) {
        try {
            platform::renameFile(take, platform::joinPath(folder, entry::VoiceTempName));
            entry_form().markRecordingWaiting();
            return;
        } catch (const platform::RuntimeError& e) {
            failure = e;
        }
    }
    removeTake();
    // A file that could not be written or moved (a full disk, a folder without
    // the right to write) is named with why; the sound device's own failures
    // (nothing recorded, no sound) have no such reason and keep the record message.
    if (failure && !platform::failureReason(*failure).empty())
        platform::MsgBox(platform::failedFileMessage(entry::VoiceFileError, *failure, take), platform::vbOKOnly);
    else
        platform::MsgBox(entry::CannotRecordMessage, platform::vbOKOnly);
}

void Voicefm::removeTake()
{
    const std::string take = platform::joinPath(entry::voiceFolder(), entry::VoiceRecordingName);
    try {
        if (platform::fileExists(take))
            platform::deleteFile(take);
    } catch (const platform::RuntimeError&) {
        // Never offered as a memo: only a recording moved into place waits.
    }
}

void Voicefm::Command1_Click()
{
    m_running = false;
    sendQuietly("stop");
    sendQuietly("close");
    entry::entryState().Voice_Busy = 0;
    unload();
}

void Voicefm::close()
{
    unload();
    entry::entryState().Voice_Busy = 0;
}

void Voicefm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    entry::entryState().Voice_Busy = 0;
}

void Voicefm::Form_Unload(int& Cancel)
{
    (void)Cancel;
    // The device must not go on playing or recording for a window that is gone.
    m_running = false;
    MMControl1.release();
}
