// The default sound device of the voice memo window: Qt Multimedia's player
// for playing and its recorder for recording WAV files.

#include "entry/VoiceDevice.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#if TEVORA_HAVE_QT_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioInput>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaFormat>
#include <QMediaPlayer>
#include <QMediaRecorder>
#include <QTimer>
#include <QUrl>

#include <memory>
#endif

namespace entry {

namespace {

VoiceDevice* installed = nullptr;

[[noreturn]] void deviceError(const std::string& what)
{
    throw platform::RuntimeError(platform::err::PathFileAccess, what);
}

#if TEVORA_HAVE_QT_MULTIMEDIA

class QtVoiceDevice : public VoiceDevice {
public:
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
    // The recording goes here first; "Save" moves it to the file set.
    std::string workFile() const { return m_fileName + ".recording.wav"; }

    void open()
    {
        close();
        m_open = true;
        // WAV files are all this device plays and records.
        const bool wave = platform::LCase(m_deviceType) == "waveaudio";
        m_canPlay = wave && !QMediaDevices::audioOutputs().isEmpty() && platform::fileExists(m_fileName);
        m_canRecord = wave && !QMediaDevices::audioInputs().isEmpty();
    }

    void play()
    {
        if (!canPlay())
            deviceError("the device cannot play " + m_fileName);
        m_output = std::make_unique<QAudioOutput>();
        m_player = std::make_unique<QMediaPlayer>();
        m_player->setAudioOutput(m_output.get());
        m_player->setSource(QUrl::fromLocalFile(QString::fromStdString(m_fileName)));
        m_player->play();
        if (m_player->error() != QMediaPlayer::NoError)
            deviceError(m_player->errorString().toStdString());
    }

    void record()
    {
        if (!canRecord())
            deviceError("the device cannot record");
        platform::deleteFile(workFile());
        m_input = std::make_unique<QAudioInput>();
        m_recorder = std::make_unique<QMediaRecorder>();
        m_session = std::make_unique<QMediaCaptureSession>();
        m_session->setAudioInput(m_input.get());
        m_session->setRecorder(m_recorder.get());
        QMediaFormat format(QMediaFormat::Wave);
        format.setAudioCodec(QMediaFormat::AudioCodec::Wave);
        m_recorder->setMediaFormat(format);
        m_recorder->setOutputLocation(QUrl::fromLocalFile(QString::fromStdString(workFile())));
        m_recorder->record();
        if (m_recorder->error() != QMediaRecorder::NoError)
            deviceError(m_recorder->errorString().toStdString());
    }

    // Stops a recording and waits (a little) until its file is complete.
    void finishRecording()
    {
        if (!m_recorder || m_recorder->recorderState() == QMediaRecorder::StoppedState)
            return;
        QEventLoop loop;
        QObject::connect(m_recorder.get(), &QMediaRecorder::recorderStateChanged, &loop,
                         [&loop](QMediaRecorder::RecorderState state) {
                             if (state == QMediaRecorder::StoppedState)
                                 loop.quit();
                         });
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        m_recorder->stop();
        if (m_recorder->recorderState() != QMediaRecorder::StoppedState)
            loop.exec();
    }

    void stop()
    {
        if (m_player)
            m_player->stop();
        finishRecording();
    }

    void save()
    {
        finishRecording();
        if (!m_recorder)
            return;
        const QUrl written = m_recorder->actualLocation();
        const std::string source = written.isLocalFile() ? written.toLocalFile().toStdString() : workFile();
        if (!platform::fileExists(source))
            deviceError("nothing was recorded");
        platform::renameFile(source, m_fileName);
    }

    void close()
    {
        if (m_player)
            m_player->stop();
        finishRecording();
        m_player.reset();
        m_output.reset();
        m_session.reset();
        m_recorder.reset();
        m_input.reset();
        if (!m_fileName.empty())
            platform::deleteFile(workFile());
        m_open = false;
    }

    std::string m_fileName;
    std::string m_deviceType;
    bool m_open = false;
    bool m_canPlay = false;
    bool m_canRecord = false;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioInput> m_input;
    std::unique_ptr<QMediaRecorder> m_recorder;
    std::unique_ptr<QMediaCaptureSession> m_session;
};

#else

// Built without Qt Multimedia: a device that can neither play nor record, so
// the window reports the device as unusable.
class QtVoiceDevice : public VoiceDevice {
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
    static QtVoiceDevice device;
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
