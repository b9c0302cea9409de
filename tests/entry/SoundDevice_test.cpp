// The voice memo window with the real sound device, against a PulseAudio
// server the test starts itself (SoundServer.h): a recording holds the
// server's tone and becomes the person's memo, a memo is played to the
// server's output, and a recording that gets no sound (a suspended or a muted
// source), a server that goes away or hangs while it records and a server that
// stops answering are each reported with the failure
// message while the window keeps answering; the registered memo and a
// recording waiting to be registered stay. On a full disk (a small file system
// over the voice folder) a take that cannot be written names the file and why,
// and a recording that cannot be stored as the memo waits for the next 登録.
// Where no server can be started here, the tests are skipped with the reason.

#include "EntryFixture.h"
#include "SoundServer.h"
#include "WaveBytes.h"

#include "entry/EntryPaths.h"
#include "entry/VoiceDevice.h"
#include "entry/Voicefm.h"

#include "forms/Timer.h"
#include "forms/UnregisteredInput.h"
#include "platform/AppPath.h"

#include "support/SmallDisk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <functional>
#include <thread>

namespace entry_test {
namespace {

// How the tone falls silent for a recording.
enum class Silence { Suspended, Muted };

class SoundDeviceTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        const std::string whyNot = SoundServer::instance().start();
        if (!whyNot.empty())
            GTEST_SKIP() << "no sound server: " << whyNot;
        entry::setEntryRequests(nullptr);
        entry::setVoiceDevice(nullptr);
        forms::setTimersManual(true);
    }

    void TearDown() override
    {
        forms::clearOnShown();
        forms::setTimersManual(false);
        EntryTest::TearDown();
    }

    static Voicefm& voice() { return voicefm_form(); }

    void useVoiceWindow(const std::function<void(Voicefm&)>& user)
    {
        forms::onShown("voicefm", [&](forms::Form&) { user(voice()); });
        form().cmdvoice_Click();
    }

    // Lets time pass with the program's events running, as between two clicks.
    static void letTimePass(int milliseconds)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
    }

    static std::string recording() { return platform::joinPath(entry::voiceFolder(), entry::VoiceTempName); }
    static std::string take() { return platform::joinPath(entry::voiceFolder(), entry::VoiceRecordingName); }

    // The message of a file that could not be written on the full disk.
    static std::string fullDiskMessage(const support::SmallDisk& disk, const std::string& file)
    {
        return std::string(entry::VoiceFileError) + "\r\n" + file + "\r\n（" + disk.fullReason() + "）";
    }

    // A person with a registered memo (a 1 kHz tone), loaded into the editor.
    int personWithMemo(std::string& memoBytes)
    {
        const int slot = addPerson("山田", "太郎");
        memoBytes = pcmWave(sineSamples(1000, 2.0));
        platform::makeDir(entry::voiceFolder());
        platform::writeWholeFile(memoFile(slot), memoBytes);
        person(slot).Voice_index = 1;
        open();
        EXPECT_EQ(form().cmdvoice.tag(), "1");
        return slot;
    }

    static std::string memoFile(int slot)
    {
        return platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename);
    }

    // 録音, time passing, 保存: one recording in the voice memo window.
    void recordFor(int milliseconds)
    {
        useVoiceWindow([&](Voicefm& w) {
            w.record_Click();
            letTimePass(milliseconds);
            w.save_Click();
        });
    }

    // A recording while the tone source is suspended (no sound data at all) or
    // muted (sound data that is all silence): it gets no sound, and the failure
    // message it brings is answered.
    void recordWithoutSound(Silence way = Silence::Suspended)
    {
        SoundServer& server = SoundServer::instance();
        const auto silence = [&](bool on) {
            return way == Silence::Muted ? server.muteSource(on) : server.suspendTone(on);
        };
        ASSERT_TRUE(silence(true)) << "pactl silences the tone";
        answers.answerNext(platform::vbOK);
        recordFor(500);
        silence(false);
    }

    // Registers the person and checks that the memo is the one it was.
    void expectMemoKeptAfterRegistering(int slot, const std::string& memoBytes)
    {
        form().CMDFUNC_Click(1);
        EXPECT_EQ(person(slot).Voice_index, 1);
        EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), memoBytes))
            << "the registered memo stays as it was";
    }
};

TEST_F(SoundDeviceTest, aRecordingHoldsTheServersToneAndIsRegisteredAsTheMemo)
{
    const int slot = addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        ASSERT_TRUE(w.isLoaded()) << "the recording started";
        EXPECT_TRUE(w.save.isEnabled());
        letTimePass(800);
        w.save_Click();
    });
    EXPECT_TRUE(answers.shown().empty()) << answers.shownTexts().front();
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(form().cmdvoice.tag(), "1");

    const std::string bytes = platform::readWholeFile(recording());
    const PlainWave wave = readPlainWave(bytes);
    ASSERT_GE(wave.rate, 8000) << "a 16-bit mono WAV of " << bytes.size() << " bytes";
    const Tone tone = measureTone(wave.samples, wave.rate);
    EXPECT_GT(tone.seconds, 0.3);
    EXPECT_NEAR(tone.hz, 440, 15);
    EXPECT_GT(tone.rms, 2000);

    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), bytes));
}

TEST_F(SoundDeviceTest, aMemoIsPlayedToTheServersOutput)
{
    std::string memoBytes;
    personWithMemo(memoBytes);
    // The null output works in large blocks: the run is left open for three
    // seconds (ended by the ticks afterwards) and the echo listened to for four.
    std::atomic<bool> listening{false};
    std::vector<int16_t> heard;
    std::thread listener([&] {
        heard = SoundServer::instance().listenToSpeaker(
            4000, 22050, [](void* flag) { static_cast<std::atomic<bool>*>(flag)->store(true); }, &listening);
    });
    while (!listening)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    int ticks = 0;
    useVoiceWindow([&](Voicefm& w) {
        w.play_Click();
        EXPECT_EQ(w.mode(), -1) << "playing";
        letTimePass(3000);
        while (ticks < 20 && w.isLoaded() && w.Timer1.tick())
            ++ticks;
    });
    listener.join();
    ASSERT_FALSE(heard.empty()) << "the listener recorded the speaker (parec's own message above)";
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(ticks, 10);
    const Tone tone = measureTone(heard, 22050);
    EXPECT_GT(tone.seconds, 0.5) << "the memo reached the output";
    EXPECT_NEAR(tone.hz, 1000, 25);
    EXPECT_EQ(form().cmdvoice.tag(), "1");
}

class SilentSourceTest : public SoundDeviceTest, public ::testing::WithParamInterface<Silence> {};

TEST_P(SilentSourceTest, aRecordingThatGetsNoSoundIsReportedAndKeepsTheMemo)
{
    std::string memoBytes;
    const int slot = personWithMemo(memoBytes);
    ASSERT_NO_FATAL_FAILURE(recordWithoutSound(GetParam()));
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::CannotRecordMessage});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "1") << "the marker is not changed";
    EXPECT_TRUE(sameBytes(platform::readWholeFile(recording()), memoBytes)) << "the memo still waits";
    expectMemoKeptAfterRegistering(slot, memoBytes);
}

INSTANTIATE_TEST_SUITE_P(Sources, SilentSourceTest, ::testing::Values(Silence::Suspended, Silence::Muted),
                         [](const ::testing::TestParamInfo<Silence>& info) {
                             return info.param == Silence::Muted ? "muted" : "suspended";
                         });

// The server goes away (killed) or hangs (stopped) in the middle of a
// recording: the part recorded before is no memo.
enum class Loss { Killed, Stopped };

class ServerLostTest : public SoundDeviceTest, public ::testing::WithParamInterface<Loss> {};

TEST_P(ServerLostTest, duringARecordingIsReportedAndKeepsTheMemo)
{
    std::string memoBytes;
    const int slot = personWithMemo(memoBytes);
    SoundServer& server = SoundServer::instance();
    answers.answerNext(platform::vbOK);
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        letTimePass(300);
        if (GetParam() == Loss::Killed)
            server.kill();
        else
            server.pause();
        letTimePass(300);
        w.save_Click();
    });
    server.resume();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::CannotRecordMessage});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_TRUE(sameBytes(platform::readWholeFile(recording()), memoBytes)) << "the memo still waits";
    expectMemoKeptAfterRegistering(slot, memoBytes);

    // With the server back, recording works again.
    ASSERT_EQ(server.start(), "");
    recordFor(300);
    EXPECT_TRUE(readPlainWave(platform::readWholeFile(recording())).samples.size() > 0);
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerLostTest, ::testing::Values(Loss::Killed, Loss::Stopped),
                         [](const ::testing::TestParamInfo<Loss>& info) {
                             return info.param == Loss::Killed ? "killed" : "stopped";
                         });

// A recording made for a new person waits to be registered; a second one that
// gets no sound, or is left by 戻る, neither removes nor replaces it.
TEST_F(SoundDeviceTest, aFailedOrAbandonedRecordingLeavesTheWaitingOne)
{
    open();
    ASSERT_EQ(model::runState().Entry_EditMode, 0) << "a new person's card";
    recordFor(600);
    ASSERT_TRUE(answers.shown().empty());
    const std::string first = platform::readWholeFile(recording());
    ASSERT_GT(measureTone(readPlainWave(first).samples, 22050).seconds, 0.2);

    ASSERT_NO_FATAL_FAILURE(recordWithoutSound());
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::CannotRecordMessage});
    answers.clearRecords();
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        letTimePass(300);
        w.Command1_Click();
    });
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_TRUE(sameBytes(platform::readWholeFile(recording()), first)) << "the first recording still waits";

    form().Text1[0].setText("山田");
    form().Text1[1].setText("花子");
    form().CMDFUNC_Click(1);
    ASSERT_EQ(person(1).Name, "花子");
    EXPECT_EQ(person(1).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(1)), first));
}

// A take the device cannot write (the voice folder's disk full) is named with its
// file and why, rather than sending the user to the microphone; the memo still
// waits and stays the person's.
TEST_F(SoundDeviceTest, aTakeThatCannotBeWrittenOnAFullDiskNamesTheFileAndWhy)
{
    std::string memoBytes;
    const int slot = personWithMemo(memoBytes);
    support::SmallDisk disk(entry::voiceFolder(), 2 * 1024 * 1024);
    answers.answerNext(platform::vbOK);
    disk.whileFull(16 * 1024, [&] { recordFor(800); });
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{fullDiskMessage(disk, take())});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_TRUE(sameBytes(platform::readWholeFile(recording()), memoBytes)) << "the memo still waits";
    EXPECT_FALSE(platform::fileExists(take()));
    expectMemoKeptAfterRegistering(slot, memoBytes);
}

// A recording whose memo file cannot be written on a full disk, for a new person
// or for one with a memo: the person is stored, the card stays his with the
// recording still waiting (leaving the card asks about it), and the next 登録,
// once the disk has room, stores it as his memo.
enum class Card { NewPerson, PersonWithMemo };

class TakeLeftWaitingTest : public SoundDeviceTest, public ::testing::WithParamInterface<Card> {};

TEST_P(TakeLeftWaitingTest, isStoredByTheNextRegisterOnceTheDiskHasRoom)
{
    std::string memoBytes;
    int slot = 1;
    if (GetParam() == Card::PersonWithMemo) {
        slot = personWithMemo(memoBytes);
    } else {
        open();
        form().Text1[0].setText("山田");
        form().Text1[1].setText("太郎");
    }
    recordFor(800);
    ASSERT_TRUE(answers.shown().empty());
    const std::string taken = platform::readWholeFile(recording());
    support::SmallDisk disk(entry::voiceFolder(), 2 * 1024 * 1024);

    answers.answerNext(platform::vbOK);
    disk.whileFull(16 * 1024, [&] { form().CMDFUNC[1].click(); });
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{fullDiskMessage(disk, memoFile(slot))});
    ASSERT_EQ(person(slot).Name, "太郎") << "the person is stored";
    EXPECT_EQ(person(slot).Voice_index, GetParam() == Card::NewPerson ? -1 : 1);
    if (GetParam() == Card::PersonWithMemo) {
        EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), memoBytes)) << "the memo stays whole";
    }
    EXPECT_EQ(model::runState().Cur_PerIdx, slot) << "the card stays with him";
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
    EXPECT_EQ(form().Text1[1].text(), "太郎");
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_TRUE(sameBytes(platform::readWholeFile(recording()), taken)) << "the recording still waits";

    answers.clearRecords();
    answers.answerNext(platform::vbCancel);
    form().CMDFUNC[0].click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{forms::UnregisteredInputQuestion});
    EXPECT_EQ(model::runState().Cur_PerIdx, slot) << "キャンセル stays with the card";

    answers.clearRecords();
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty()) << answers.shownTexts().front();
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), taken)) << "the waiting recording is his memo";
}

INSTANTIATE_TEST_SUITE_P(Cards, TakeLeftWaitingTest, ::testing::Values(Card::NewPerson, Card::PersonWithMemo),
                         [](const ::testing::TestParamInfo<Card>& info) {
                             return info.param == Card::NewPerson ? "newPerson" : "personWithMemo";
                         });

// A server that stops answering (here: stopped) does not freeze the program:
// 録音 and 再生 each give up within the device's limit with their message.
TEST_F(SoundDeviceTest, aServerThatStopsAnsweringGetsTheMessagesInsteadOfAFreeze)
{
    std::string memoBytes;
    const int slot = personWithMemo(memoBytes);
    // A first recording, left by 戻る, connects the device to the server.
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        ASSERT_TRUE(w.isLoaded());
        w.Command1_Click();
    });
    ASSERT_TRUE(answers.shown().empty());

    SoundServer::instance().pause();
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    QElapsedTimer clock;
    clock.start();
    useVoiceWindow([&](Voicefm& w) { w.record_Click(); });
    useVoiceWindow([&](Voicefm& w) { w.play_Click(); });
    const qint64 waited = clock.elapsed();
    SoundServer::instance().resume();

    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::CannotRecordMessage, entry::CannotPlayMessage}));
    EXPECT_LT(waited, 15000) << "each gave up within the device's limit";
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    expectMemoKeptAfterRegistering(slot, memoBytes);
}

} // namespace
} // namespace entry_test
