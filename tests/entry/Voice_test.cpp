// Voice memos: the voice window's commands to the sound device, the run that
// ends on the slider's tenth step, the marker it leaves for the register
// command, and its failures, which leave the registered memo and the recording
// waiting to be registered as they were. The device is a recording fake: no
// sound is made.

#include "EntryFixture.h"
#include "WaveBytes.h"

#include "entry/EntryPaths.h"
#include "entry/VoiceDevice.h"
#include "entry/Voicefm.h"

#include "forms/Timer.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"

#include "support/SmallFilesOnly.h"
#include "support/qt/ButtonFace.h"

#include <functional>

namespace entry_test {
namespace {

// Records the commands; "Save" writes the recording (a short WAV unless a test
// sets another) into the file set.
class FakeVoiceDevice : public entry::VoiceDevice {
public:
    std::string recorded = pcmWave(sineSamples(440, 0.05));
    std::vector<std::string> commands;
    std::string fileName;
    std::string deviceType;
    bool playable = true;
    bool recordable = true;
    std::string failing; // a command that throws
    int releases = 0;

    void setFileName(const std::string& path) override { fileName = path; }
    void setDeviceType(const std::string& type) override { deviceType = type; }
    void command(const std::string& text) override
    {
        commands.push_back(text);
        if (text == failing)
            throw platform::RuntimeError(platform::err::PathFileAccess, "device failed");
        if (text == "Save")
            platform::writeWholeFile(fileName, recorded);
    }
    bool canPlay() const override { return playable; }
    bool canRecord() const override { return recordable; }
    void release() override { ++releases; }
};

class VoiceTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        entry::setEntryRequests(nullptr);
        entry::setVoiceDevice(&device);
        forms::setTimersManual(true);
    }

    void TearDown() override
    {
        forms::clearOnShown();
        forms::setTimersManual(false);
        EntryTest::TearDown();
        entry::setVoiceDevice(nullptr);
    }

    static Voicefm& voice() { return voicefm_form(); }

    // Clicks the voice button; the user's part runs inside the modal window.
    void useVoiceWindow(const std::function<void(Voicefm&)>& user)
    {
        forms::onShown("voicefm", [&](forms::Form&) { user(voice()); });
        form().cmdvoice_Click();
    }

    // Lets the timer tick until the window closes, at most count times.
    static int tickUntilClosed(Voicefm& window, int count)
    {
        int ticks = 0;
        while (ticks < count && window.isLoaded() && window.Timer1.tick())
            ++ticks;
        return ticks;
    }

    static std::string recording() { return platform::joinPath(entry::voiceFolder(), entry::VoiceTempName); }
    // The bytes of the recording waiting to be registered; "" when there is none.
    static std::string waiting()
    {
        return platform::fileExists(recording()) ? platform::readWholeFile(recording()) : std::string();
    }
    static bool takeLeft()
    {
        return platform::fileExists(platform::joinPath(entry::voiceFolder(), entry::VoiceRecordingName));
    }

    // Records through the voice window and saves at once.
    void recordAndSave()
    {
        useVoiceWindow([](Voicefm& w) {
            w.record_Click();
            w.save_Click();
        });
    }

    // A person with a registered memo (the bytes given).
    static int personWithMemo(const std::string& memoBytes)
    {
        const int slot = addPerson("山田", "太郎");
        platform::makeDir(entry::voiceFolder());
        platform::writeWholeFile(memoFile(slot), memoBytes);
        person(slot).Voice_index = 1;
        return slot;
    }

    static std::string memoFile(int slot)
    {
        return platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename);
    }

    FakeVoiceDevice device;
};

// The four buttons are picture buttons: a glyph each, whole, with the English
// word as its tip and no caption.
TEST_F(VoiceTest, theButtonsShowGlyphsWithTheEnglishWordsAsTips)
{
    voice().load();
    const std::pair<forms::CommandButton*, const char*> buttons[] = {
        {&voice().Command1, "exit"}, {&voice().play, "play"}, {&voice().record, "record"}, {&voice().save, "save"}};
    for (const auto& [button, tip] : buttons) {
        // A disabled button greys its glyph; the glyph is looked at in colour.
        button->setEnabled(true);
        const support::ButtonFace face = support::buttonFace(*button);
        EXPECT_EQ(button->caption(), "") << tip;
        EXPECT_EQ(face.text, "") << tip;
        EXPECT_EQ(button->toolTipText(), tip);
        EXPECT_TRUE(face.glyphFits()) << tip << ": " << face.inkPixels << " glyph pixels";
    }
    voice().unload();
}

TEST_F(VoiceTest, theHoverTextSaysWhetherAMemoWaits)
{
    addPerson("山田", "太郎");
    open();
    form().cmdvoice_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(form().cmdvoice.toolTipText(), "Click for Record");
    form().cmdvoice.setTag("1");
    form().cmdvoice_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(form().cmdvoice.toolTipText(), "Click for Play or Record");
}

TEST_F(VoiceTest, loadingChoosesTheFileAndTheButtonsFromTheMarker)
{
    const int slot = addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        EXPECT_EQ(entry::entryState().Voice_Busy, 1);
        EXPECT_FALSE(w.play.isEnabled()) << "no memo: nothing to play";
        EXPECT_TRUE(w.record.isEnabled());
        EXPECT_FALSE(w.save.isEnabled());
        EXPECT_EQ(device.fileName, recording());
        EXPECT_EQ(device.deviceType, "WaveAudio");
        EXPECT_EQ(w.Slider1.max(), 100);
        w.Command1_Click();
    });
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);

    form().cmdvoice.setTag("1");
    useVoiceWindow([&](Voicefm& w) {
        EXPECT_TRUE(w.play.isEnabled());
        EXPECT_EQ(device.fileName, platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename))
            << "an existing person plays the own memo";
        w.Command1_Click();
    });
}

TEST_F(VoiceTest, aRecordingThatRunsOutIsSavedAndMarkedAndRegisteredWithThePerson)
{
    const int slot = addPerson("山田", "太郎");
    open();
    int ticks = 0;
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        EXPECT_EQ(w.mode(), 0);
        EXPECT_TRUE(w.save.isEnabled());
        EXPECT_FALSE(w.play.isEnabled());
        ticks = tickUntilClosed(w, 20);
    });
    EXPECT_EQ(ticks, 10) << "the tenth step ends the run";
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(device.commands, (std::vector<std::string>{"Open", "Record", "Save", "Close"}));
    EXPECT_TRUE(sameBytes(waiting(), device.recorded));
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);

    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename)),
              device.recorded);
}

// Another person's memo may have this person's memo name (an added family keeps its
// names): the registered recording takes a free name and that memo stays as it was.
TEST_F(VoiceTest, aRegisteredRecordingNeverOverwritesAnotherPersonsMemo)
{
    const int own = addPerson("山田", "太郎");
    const int other = addPerson("鈴木", "花子");
    person(other).Voice_filename = person(own).Voice_filename;
    person(other).Voice_index = 1;
    const std::string othersMemo = platform::joinPath(entry::voiceFolder(), person(other).Voice_filename);
    platform::makeDir(entry::voiceFolder());
    const std::string othersBytes = pcmWave(sineSamples(880, 0.05));
    platform::writeWholeFile(othersMemo, othersBytes);
    open();
    int shown = own;
    form().entryset(shown);
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        tickUntilClosed(w, 20);
    });
    form().CMDFUNC_Click(1);

    EXPECT_EQ(platform::readWholeFile(othersMemo), othersBytes);
    ASSERT_NE(person(own).Voice_filename, person(other).Voice_filename);
    EXPECT_EQ(person(own).Voice_index, 1);
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(entry::voiceFolder(), person(own).Voice_filename)),
              device.recorded);
}

// A person whose memo name is missing (a family file that leaves it empty or
// out) or names no file of the voice folder gets the slot's own name for a new
// memo, unless another person's memo has that name.
struct MemoNameCase {
    const char* name;
    std::string stored;      // the person's Voice_filename before
    bool slotNameTaken;      // another person's memo is "voice<slot>.wav"
    const char* registered;  // the name the memo gets, after "voice<slot>"
    friend std::ostream& operator<<(std::ostream& out, const MemoNameCase& c) { return out << c.name; }
};

class MemoNameTest : public VoiceTest, public ::testing::WithParamInterface<MemoNameCase> {};

TEST_P(MemoNameTest, aRecordingIsRegisteredUnderTheSlotsOwnName)
{
    const MemoNameCase& c = GetParam();
    const int slot = addPerson("山田", "太郎");
    const std::string slotName = "voice" + std::to_string(slot);
    person(slot).Voice_filename = c.stored;
    const std::string othersBytes = pcmWave(sineSamples(880, 0.05));
    const int other = addPerson("鈴木", "花子", 1);
    if (c.slotNameTaken) {
        person(other).Voice_filename = slotName + ".wav";
        person(other).Voice_index = 1;
        platform::makeDir(entry::voiceFolder());
        platform::writeWholeFile(memoFile(other), othersBytes);
    }
    open();
    ASSERT_EQ(model::runState().Cur_PerIdx, slot);
    recordAndSave();
    form().CMDFUNC_Click(1);

    EXPECT_TRUE(answers.shown().empty()) << answers.shownTexts().front();
    EXPECT_EQ(person(slot).Voice_filename, slotName + c.registered);
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), device.recorded));
    if (c.slotNameTaken) {
        EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(other)), othersBytes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, MemoNameTest,
    ::testing::Values(MemoNameCase{"empty", "", false, ".wav"},
                      MemoNameCase{"outsideTheFolder", "../memo.wav", false, ".wav"},
                      MemoNameCase{"emptyAndTheSlotsNameTaken", "", true, "_2.wav"}),
    [](const ::testing::TestParamInfo<MemoNameCase>& info) { return std::string(info.param.name); });

TEST_F(VoiceTest, saveEndsARecordingAtOnce)
{
    addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        w.Timer1.tick();
        w.save_Click();
    });
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(device.commands, (std::vector<std::string>{"Open", "Record", "Stop", "Save", "Close"}));
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
}

TEST_F(VoiceTest, exitClosesWithoutSavingAndKeepsTheMarker)
{
    addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        w.Command1_Click();
    });
    EXPECT_EQ(device.commands, (std::vector<std::string>{"Open", "Record", "stop", "close"}));
    EXPECT_EQ(form().cmdvoice.tag(), "0");
    EXPECT_FALSE(platform::fileExists(recording()));
}

TEST_F(VoiceTest, playingEndsByItselfWithoutTouchingTheMarker)
{
    addPerson("山田", "太郎");
    open();
    form().cmdvoice.setTag("1");
    int ticks = 0;
    useVoiceWindow([&](Voicefm& w) {
        w.play_Click();
        EXPECT_EQ(w.mode(), -1);
        EXPECT_FALSE(w.play.isEnabled());
        EXPECT_FALSE(w.record.isEnabled());
        EXPECT_FALSE(w.save.isEnabled());
        ticks = tickUntilClosed(w, 20);
    });
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(device.commands, (std::vector<std::string>{"Open", "Play", "Close"}));
    EXPECT_EQ(form().cmdvoice.tag(), "1");
}

struct FailureCase {
    const char* name;
    bool play;
    bool deviceUnable;
    const char* failing;
    const char* message;
    friend std::ostream& operator<<(std::ostream& out, const FailureCase& c) { return out << c.name; }
};

class VoiceFailureTest : public VoiceTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(VoiceFailureTest, aDeviceThatCannotDoItClosesTheWindowWithItsMessage)
{
    const FailureCase& c = GetParam();
    addPerson("山田", "太郎");
    open();
    form().cmdvoice.setTag("1");
    device.playable = !c.deviceUnable;
    device.recordable = !c.deviceUnable;
    device.failing = c.failing;
    answers.answerNext(platform::vbOK);
    useVoiceWindow([&](Voicefm& w) {
        if (c.play)
            w.play_Click();
        else
            w.record_Click();
    });
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, c.message);
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "1") << "the marker is not changed";
}

INSTANTIATE_TEST_SUITE_P(
    Failures, VoiceFailureTest,
    ::testing::Values(FailureCase{"cannotPlay", true, true, "", "Sound_card or Wav_file is Wrong ! "},
                      FailureCase{"playFails", true, false, "Play", "Sound_card or Wav_file is Wrong ! "},
                      FailureCase{"cannotRecord", false, true, "", "Sound_card or Wav_file is Wrong !"},
                      FailureCase{"openFails", false, false, "Open", "Sound_card or Wav_file is Wrong !"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(VoiceTest, theSliderMovedToItsEndBeforeARunMarksNothing)
{
    addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        w.Slider1.setValue(100);
        EXPECT_TRUE(w.isLoaded()) << "no run was started";
        w.Command1_Click();
    });
    EXPECT_EQ(form().cmdvoice.tag(), "0");
    EXPECT_EQ(device.commands, (std::vector<std::string>{"stop", "close"}));
}

TEST_F(VoiceTest, closingByTheFrameSendsNoCommandButReleasesTheDevice)
{
    addPerson("山田", "太郎");
    open();
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        w.unload();
    });
    EXPECT_EQ(device.commands, (std::vector<std::string>{"Open", "Record"}));
    EXPECT_GE(device.releases, 1) << "the device stops recording for a window that is gone";
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "0");
}

TEST_F(VoiceTest, theVoiceButtonUnloadsAWindowStillRegisteredAsOpen)
{
    addPerson("山田", "太郎");
    open();
    voice().load();
    entry::entryState().Voice_Busy = 1;
    bool reloaded = false;
    useVoiceWindow([&](Voicefm& w) {
        reloaded = true;
        EXPECT_EQ(entry::entryState().Voice_Busy, 1);
        w.Command1_Click();
    });
    EXPECT_TRUE(reloaded);
    EXPECT_GE(device.releases, 1) << "the old window was unloaded first";
}

TEST_F(VoiceTest, aSaveThatWroteNoFileIsReportedAndMarksNoMemo)
{
    const int slot = addPerson("山田", "太郎");
    open();
    device.failing = "Save";
    answers.answerNext(platform::vbOK);
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        w.save_Click();
    });
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::CannotRecordMessage});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "0");
    // A marker set all the same (no file behind it) gives the person no memo.
    form().cmdvoice.setTag("1");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Voice_index, -1);
}

// What a recording without sound data leaves: a header alone (the sizes left at
// zero or at a placeholder past the end, the format zero), an empty file, or
// samples that are all silence (a muted microphone).
struct SoundlessCase {
    const char* name;
    std::string bytes;
    bool runsOut; // the run ends by itself rather than by "save"
    friend std::ostream& operator<<(std::ostream& out, const SoundlessCase& c) { return out << c.name; }
};

class SoundlessRecordingTest : public VoiceTest, public ::testing::WithParamInterface<SoundlessCase> {};

TEST_P(SoundlessRecordingTest, isReportedUnmarkedAndLeavesTheRegisteredMemoAsItWas)
{
    const SoundlessCase& c = GetParam();
    const int slot = addPerson("山田", "太郎");
    const std::string memo = platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename);
    const std::string memoBytes = pcmWave(sineSamples(1000, 0.2));
    platform::makeDir(entry::voiceFolder());
    platform::writeWholeFile(memo, memoBytes);
    person(slot).Voice_index = 1;
    open();
    ASSERT_EQ(form().cmdvoice.tag(), "1") << "the person's memo waits to be played";
    device.recorded = c.bytes;
    answers.answerNext(platform::vbOK);
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        if (c.runsOut)
            tickUntilClosed(w, 20);
        else
            w.save_Click();
    });
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::CannotRecordMessage});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "1") << "the marker is not changed";
    EXPECT_TRUE(sameBytes(waiting(), memoBytes)) << "the memo still waits, and nothing without sound in its place";
    EXPECT_FALSE(takeLeft());

    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_EQ(platform::readWholeFile(memo), memoBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, SoundlessRecordingTest,
    ::testing::Values(SoundlessCase{"headerAlone", waveHeader(36, 1, 1, 44100, 16, 0), false},
                      SoundlessCase{"placeholderSizes", waveHeader(0xFFFFFFFF, 1, 2, 44100, 16, 0x7FFFFFFF), false},
                      SoundlessCase{"formatZero", waveHeader(0, 0, 0, 0, 0, 0), true},
                      SoundlessCase{"emptyFile", "", true},
                      SoundlessCase{"lessThanOneFrame", waveHeader(38, 1, 2, 44100, 16, 2) + "ab", false},
                      SoundlessCase{"silence", pcmWave(std::vector<int16_t>(22050, 0)), false},
                      SoundlessCase{"silence8BitRunsOut",
                                    waveHeader(36 + 800, 1, 1, 8000, 8, 800) + std::string(800, '\x80'), true}),
    [](const ::testing::TestParamInfo<SoundlessCase>& info) { return std::string(info.param.name); });

// A new recording that fails or is left unsaved, after one that waits to be
// registered for a new person.
struct AbandonedCase {
    const char* name;
    std::string recorded;
    bool deviceUnable;
    const char* failing;
    enum End { Save, RunOut, Exit, Frame } end;
    bool reported;
    friend std::ostream& operator<<(std::ostream& out, const AbandonedCase& c) { return out << c.name; }
};

class AbandonedRecordingTest : public VoiceTest, public ::testing::WithParamInterface<AbandonedCase> {};

TEST_P(AbandonedRecordingTest, leavesTheWaitingRecordingAndItsMark)
{
    const AbandonedCase& c = GetParam();
    open();
    ASSERT_EQ(model::runState().Entry_EditMode, 0) << "a new person's card";
    recordAndSave();
    const std::string first = device.recorded;
    ASSERT_TRUE(sameBytes(waiting(), first));
    ASSERT_EQ(form().cmdvoice.tag(), "1");

    device.recorded = c.recorded;
    device.recordable = !c.deviceUnable;
    device.failing = c.failing;
    if (c.reported)
        answers.answerNext(platform::vbOK);
    useVoiceWindow([&](Voicefm& w) {
        w.record_Click();
        if (!w.isLoaded())
            return;
        if (c.end == AbandonedCase::Save)
            w.save_Click();
        else if (c.end == AbandonedCase::RunOut)
            tickUntilClosed(w, 20);
        else if (c.end == AbandonedCase::Exit)
            w.Command1_Click();
        else
            w.unload();
    });
    EXPECT_EQ(answers.shownTexts(),
              c.reported ? std::vector<std::string>{entry::CannotRecordMessage} : std::vector<std::string>{});
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
    EXPECT_EQ(form().cmdvoice.tag(), "1") << "a recording still waits";
    EXPECT_TRUE(sameBytes(waiting(), first));
    EXPECT_FALSE(takeLeft());

    form().Text1[0].setText("山田");
    form().Text1[1].setText("花子");
    form().CMDFUNC_Click(1);
    ASSERT_EQ(person(1).Name, "花子");
    EXPECT_EQ(person(1).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(1)), first));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AbandonedRecordingTest,
    ::testing::Values(
        AbandonedCase{"soundlessSave", waveHeader(36, 1, 1, 44100, 16, 0), false, "", AbandonedCase::Save, true},
        AbandonedCase{"emptyRunOut", "", false, "", AbandonedCase::RunOut, true},
        AbandonedCase{"saveFails", pcmWave(sineSamples(880, 0.05)), false, "Save", AbandonedCase::Save, true},
        AbandonedCase{"cannotRecord", pcmWave(sineSamples(880, 0.05)), true, "", AbandonedCase::Save, true},
        AbandonedCase{"openFails", pcmWave(sineSamples(880, 0.05)), false, "Open", AbandonedCase::Save, true},
        AbandonedCase{"recordFails", pcmWave(sineSamples(880, 0.05)), false, "Record", AbandonedCase::Save, true},
        AbandonedCase{"exit", pcmWave(sineSamples(880, 0.05)), false, "", AbandonedCase::Exit, false},
        AbandonedCase{"frameClosed", pcmWave(sineSamples(880, 0.05)), false, "", AbandonedCase::Frame, false}),
    [](const ::testing::TestParamInfo<AbandonedCase>& info) { return std::string(info.param.name); });

// The mark of a person with a memo stays "1" through a new recording: the new
// recording is still input the card has not registered.
TEST_F(VoiceTest, aNewRecordingForAPersonWithAMemoIsAskedAboutBeforeTheCardIsLeft)
{
    const std::string memoBytes = pcmWave(sineSamples(1000, 0.1));
    const int slot = personWithMemo(memoBytes);
    addPerson("山田", "花子");
    open();
    ASSERT_EQ(model::runState().Cur_PerIdx, slot);
    ASSERT_EQ(form().cmdvoice.tag(), "1");
    recordAndSave();
    ASSERT_TRUE(sameBytes(waiting(), device.recorded));

    answers.answerNext(platform::vbCancel);
    form().CMDFUNC_Click(6);
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::UnregisteredInputQuestion});
    EXPECT_EQ(model::runState().Cur_PerIdx, slot) << "キャンセル stays with the card";
    EXPECT_TRUE(sameBytes(waiting(), device.recorded));
    answers.clearRecords();

    answers.answerNext(platform::vbYes);
    form().CMDFUNC_Click(6);
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::UnregisteredInputQuestion});
    EXPECT_NE(model::runState().Cur_PerIdx, slot);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), device.recorded)) << "はい registered the new recording";
}

// A register whose memo file cannot be written whole (a full disk) says so and
// leaves the person's registered memo as it was; the recording still waits, and
// the next register, with room again, stores it.
TEST_F(VoiceTest, aRegisterThatCannotStoreTheRecordingLeavesTheRegisteredMemoWhole)
{
    const std::string memoBytes = pcmWave(sineSamples(1000, 0.1));
    const int slot = personWithMemo(memoBytes);
    open();
    device.recorded = pcmWave(sineSamples(440, 2.0));
    recordAndSave();
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { form().CMDFUNC_Click(1); }, 32 * 1024);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text.rfind(entry::VoiceFileError, 0), 0u) << answers.shown()[0].text;
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), memoBytes));
    EXPECT_TRUE(sameBytes(waiting(), device.recorded));

    answers.clearRecords();
    form().CMDFUNC_Click(1);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_TRUE(sameBytes(platform::readWholeFile(memoFile(slot)), device.recorded));
}

// "Save" of a take that cannot be written (a full disk: here, files limited in
// size) names the file and why; the waiting recording and its mark stay.
TEST_F(VoiceTest, aSaveThatCannotWriteTheTakeNamesTheFileAndWhy)
{
    const std::string memoBytes = pcmWave(sineSamples(1000, 0.1));
    personWithMemo(memoBytes);
    open();
    device.recorded = pcmWave(sineSamples(440, 2.0));
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { recordAndSave(); }, 32 * 1024);
    const std::string take = platform::joinPath(entry::voiceFolder(), entry::VoiceRecordingName);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(entry::VoiceFileError) + "\r\n" + take + "\r\n（ファイルが大きすぎます）"});
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_TRUE(sameBytes(waiting(), memoBytes));
    EXPECT_FALSE(takeLeft());
}

TEST_F(VoiceTest, navigatingClosesTheVoiceWindow)
{
    addPerson("山田", "太郎");
    addPerson("山田", "花子", 1);
    open();
    voice().load();
    entry::entryState().Voice_Busy = 1;
    form().CMDFUNC_Click(6);
    EXPECT_FALSE(voice().isLoaded());
    EXPECT_EQ(entry::entryState().Voice_Busy, 0);
}

} // namespace
} // namespace entry_test
