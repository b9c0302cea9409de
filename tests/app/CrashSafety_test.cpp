// Nothing is lost when the program is killed. The real program (the main window with
// every other window installed) works on a family in a child process: it opens the
// family through File > Open, edits it the way the editors do (undo snapshot first,
// then the tables, then the chart rebuild that writes the autosave) and saves it
// through File > Save, until it is killed with SIGKILL at a random moment. Each time
// the family file must be the old or the new complete file, its bundle must match it,
// and the start-up recovery must offer the family as the last chart rebuild left it.
//
// TEVORA_CRASH_ROUNDS sets the number of rounds (40 by default).

#include "app/AppWindows.h"

#include "drawing/ChartRebuild.h"
#include "forms/CommonDialog.h"
#include "mainwindow/MainForm.h"
#include "model/PersonTable.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "document/WorkFolders.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"

#include "LayoutFamilies.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <random>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int DefaultRounds = 40;
constexpr const char* FamilyName = "family.KEZ";
constexpr const char* PictureName = "face1.bmp";
constexpr const char* MotherPictureName = "face2.bmp";
// The family of state 0: a father (slot 1), a mother (slot 2) and their son.
constexpr int BasePersons = 3;
constexpr int Mother = 2;
// Every third edit adds a person; once MostAdded were added, the next of these edits
// removes them all again, so the family stays within the tables however many edits
// the rounds make.
constexpr int AddEvery = 3;
constexpr int MostAdded = 40;
// The mother has a picture in the states of every other run of PictureRun edits: the
// media change, so a family file paired with an older bundle would be seen.
constexpr int PictureRun = 5;

// The father's picture: large enough that a save spends a while on the bundle.
const std::string& fatherPicture()
{
    static const std::string bytes = [] {
        std::string b = "BM picture of the father ";
        b.reserve(1 << 20);
        while (b.size() < (1u << 20))
            b += static_cast<char>('a' + b.size() % 26);
        return b;
    }();
    return bytes;
}

constexpr const char* MotherPictureBytes = "BM picture of the mother";

// The state an edit number stands for: every person carries the tag "v<k>" in its
// remarks, so a file that mixed two states would show two tags.
std::string tagOf(int k)
{
    return "v" + std::to_string(k);
}

int addedPersons(int k)
{
    return (k / AddEvery) % (MostAdded + 1);
}

int expectedPersons(int k)
{
    return BasePersons + addedPersons(k);
}

bool motherHasPicture(int k)
{
    return (k / PictureRun) % 2 == 1;
}

std::string facePath(const std::string& name)
{
    return platform::joinPath(model::mediaFolder(model::MediaPicture), name);
}

// Brings the family to state k from state k - 1.
void applyEdit(int k)
{
    model::Tables& t = model::tables();
    if (k > 0 && k % AddEvery == 0) {
        if (addedPersons(k) > 0) {
            (void)model::set_per_buf(-1, "追加" + std::to_string(k), "山田", 0, "");
        } else {
            for (int p = BasePersons + 1; p <= model::LastPersonSlot; ++p) {
                if (t.per_buf[p].InUse == model::SlotUsed)
                    (void)model::del_per_buf(p);
            }
        }
    }
    // The picture box of the person editor: a picture put into the work folder and
    // referred to, or the reference cleared.
    model::personal_data& mother = t.per_buf[Mother];
    if (motherHasPicture(k) && mother.Picture_index == -1) {
        platform::writeWholeFile(facePath(MotherPictureName), MotherPictureBytes);
        mother.Picture_filename = MotherPictureName;
        mother.Picture_index = 0;
        mother.Picture_mode = 1;
    } else if (!motherHasPicture(k)) {
        mother.Picture_filename.clear();
        mother.Picture_index = -1;
        mother.Picture_mode = -1;
    }
    for (int p = 1; p <= model::LastSlot; ++p) {
        if (t.per_buf[p].InUse == model::SlotUsed)
            t.per_buf[p].Biko = tagOf(k);
    }
    t.Data_Changed = 1;
}

// Answers every box and dialog of the program as an unattended user would.
class Unattended : public platform::Hooks, public forms::DialogResponder {
public:
    explicit Unattended(std::string family) : m_family(std::move(family))
    {
        platform::setHooks(this);
        forms::setDialogResponder(this);
    }

    int msgBox(const std::string&, int style, const std::string&) override
    {
        // No to the recovery question (the test checks recovery itself), OK to
        // every notice and to "discard the changes?".
        return (style & 0x7) == platform::vbYesNo ? platform::vbNo : platform::vbOK;
    }
    forms::DialogAnswer respond(const forms::DialogRequest& request) override
    {
        return request.kind == forms::DialogKind::Open ? forms::DialogAnswer::file(m_family)
                                                       : forms::DialogAnswer::cancelled();
    }

private:
    std::string m_family;
};

// What the child has done, one line per step, appended unbuffered so that each line
// is on disk when the next step starts.
class ProgressLog {
public:
    explicit ProgressLog(const std::string& path) : m_fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600)) {}
    void write(char step, int k)
    {
        const std::string line = std::string(1, step) + " " + std::to_string(k) + "\n";
        if (::write(m_fd, line.data(), line.size()) < 0) {
            // A line that cannot be written only makes the checks less strict.
        }
    }

private:
    int m_fd;
};

// The child: the program on the family, until it is killed.
[[noreturn]] void runProgram(const std::string& family, const std::string& logPath)
{
    Unattended user(family);
    ProgressLog log(logPath);
    // As main() does: the folder of the program killed in the round before is
    // taken over.
    if (!platform::claimProgramFolder())
        ::_exit(2);
    app::installProgram();
    main_form().show();
    log.write('B', 0);
    main_form().fileitem[1].choose();
    model::Tables& t = model::tables();
    const int opened = std::stoi(t.per_buf[1].Biko.substr(1));
    log.write('O', opened);
    for (int k = opened + 1;; ++k) {
        model::Save_Undo();
        applyEdit(k);
        log.write('E', k);
        drawing::Refresh_TabDisp();
        log.write('R', k);
        if (k % 2 == 0) {
            log.write('S', k);
            main_form().fileitem[2].choose();
            log.write('D', k);
        }
    }
}

// The steps of one round, as logged.
struct Progress {
    bool opening = false;  // File > Open began ('B')
    int opened = -1;       // the state File > Open brought ('O')
    int rebuilt = -1;      // the last state a chart rebuild completed ('O' or 'R')
    int editing = -1;      // a state whose rebuild was under way ('E' after the last rebuild)
    int saved = -1;        // the last state File > Save completed ('D')
    int saving = -1;       // a state whose save was under way ('S' after the last save)
};

Progress readProgress(const std::string& path)
{
    Progress p;
    std::istringstream lines(platform::fileExists(path) ? platform::readWholeFile(path) : std::string());
    char step = 0;
    int k = 0;
    while (lines >> step >> k) {
        switch (step) {
        case 'B': p.opening = true; break;
        case 'O': p.opened = p.rebuilt = k; break;
        case 'E': p.editing = k; break;
        case 'R': p.rebuilt = k; p.editing = -1; break;
        case 'S': p.saving = k; break;
        case 'D': p.saved = k; p.saving = -1; break;
        default: break;
        }
    }
    return p;
}

// Messages of a load, answered as the user would.
class RecordingUser : public platform::Hooks {
public:
    RecordingUser() { platform::setHooks(this); }
    ~RecordingUser() override { platform::setHooks(nullptr); }
    int msgBox(const std::string& text, int style, const std::string&) override
    {
        texts.push_back(text);
        return (style & 0x7) == platform::vbYesNo ? platform::vbYes : platform::vbOK;
    }
    std::vector<std::string> texts;
};

// The family in the tables after a load: its state number, or -1 when its persons do
// not all carry the tag of one state with that state's persons and pictures.
int stateOfTables()
{
    const model::Tables& t = model::tables();
    const std::string tag = t.per_buf[1].Biko;
    if (tag.size() < 2 || tag[0] != 'v')
        return -1;
    const int k = std::atoi(tag.c_str() + 1);
    int persons = 0;
    for (int p = 1; p <= model::LastSlot; ++p) {
        if (t.per_buf[p].InUse != model::SlotUsed)
            continue;
        ++persons;
        if (t.per_buf[p].Biko != tagOf(k))
            return -1;
    }
    const bool motherPictured = t.per_buf[Mother].Picture_index != -1;
    return persons == expectedPersons(k) && motherPictured == motherHasPicture(k) ? k : -1;
}

// The pictures came out of the bundle as they went in: the father's always, the
// mother's when her record refers to it.
bool pictureRestored()
{
    const auto restored = [](const char* name, const std::string& bytes) {
        return platform::fileExists(facePath(name)) && platform::readWholeFile(facePath(name)) == bytes;
    };
    const model::personal_data& mother = model::tables().per_buf[Mother];
    return restored(PictureName, fatherPicture()) && model::tables().per_buf[1].Picture_index != -1
           && (mother.Picture_index == -1 || restored(MotherPictureName, MotherPictureBytes));
}

// Once the next start has settled what the kill left, beside the family only its two
// files, and no record of a save under way: no partial file outlives the next start.
void expectNoLitter(const std::string& folder, int round)
{
    const std::vector<std::string> allowed{FamilyName, "family.KED"};
    for (const std::string& name : platform::listFiles(folder, "*family*")) {
        EXPECT_TRUE(std::find(allowed.begin(), allowed.end(), name) != allowed.end())
            << "round " << round << ": " << name << " beside the family";
    }
    EXPECT_TRUE(platform::listFiles(platform::joinPath(folder, "TMP"), "Saving-*").empty()) << "round " << round;
    for (const std::string& journal : platform::listFiles(platform::joinPath(folder, "TMP"), "Partials-*"))
        EXPECT_EQ(platform::fileLength(platform::joinPath(folder, "TMP/" + journal)), 0) << "round " << round;
    EXPECT_TRUE(platform::listFiles(folder, "*.part").empty()) << "round " << round;
}

class CrashSafety : public ::testing::Test {
protected:
    std::string family() const { return platform::joinPath(home.path(), FamilyName); }
    std::string logPath() const { return platform::joinPath(home.path(), "progress.log"); }

    // State 0, saved by the program's writer with its bundle.
    void writeFirstFamily()
    {
        model::InitAllSetting();
        layouttest::FamilyBuilder builder;
        const int16_t kou = builder.couple();
        builder.child(kou, builder.person(layouttest::FamilyBuilder::Male));
        model::tables().kou_buf[kou].dsp_start = 1;
        platform::writeWholeFile(facePath(PictureName), fatherPicture());
        model::tables().per_buf[1].Picture_filename = PictureName;
        model::tables().per_buf[1].Picture_index = 0;
        applyEdit(0);
        ASSERT_TRUE(model::save_file(family()));
    }

    // The family file after a kill, once the next start has settled a save the kill
    // left under way: complete, matching its bundle, and the state of the last save or
    // of the save under way, never a mix of the two.
    void checkFamilyFile(const Progress& p, int previousSaved, int round)
    {
        const int lastSaved = p.saved >= 0 ? p.saved : previousSaved;
        platform::settleInterruptedReplacements();
        model::InitAllSetting();
        RecordingUser user;
        ASSERT_TRUE(model::load_file(family())) << "round " << round;
        EXPECT_EQ(model::fileStore().EndOfDataF, -1) << "round " << round;
        const int state = stateOfTables();
        EXPECT_TRUE(state == lastSaved || (p.saving >= 0 && state == p.saving))
            << "round " << round << ": the file holds state " << state << ", saved " << lastSaved << ", saving "
            << p.saving;
        if (p.saving >= 0 && state == p.saving)
            ++m_completedByTheSave;
        EXPECT_TRUE(user.texts.empty()) << "round " << round << ": " << user.texts.front();
        EXPECT_FALSE(model::fileStore().loadDamaged) << "round " << round;
        EXPECT_TRUE(pictureRestored()) << "round " << round << ": the bundle does not match the family file";
        m_saved = state;
    }

    // The recovery the next start offers: the state of the last completed chart
    // rebuild, or of the rebuild under way. A kill before the family was opened may
    // leave no autosave (or that of the family as the open began).
    void checkRecovery(const Progress& p, int round)
    {
        const bool exists = platform::fileExists(model::autosaveSnapshotPath());
        if (p.opened < 0 && !exists)
            return;
        ASSERT_TRUE(exists) << "round " << round << ": no autosave after a rebuild";
        model::InitAllSetting();
        RecordingUser user;
        int state = -2;
        bool pictureOk = false;
        const model::Recovery recovery = model::recoverAutosave([&](model::StagedFamily& recovered) {
            model::takeOverFamily(recovered);
            state = stateOfTables();
            pictureOk = pictureRestored();
        });
        ASSERT_EQ(recovery, model::Recovery::Recovered) << "round " << round;
        EXPECT_EQ(user.texts, std::vector<std::string>{model::AutosaveQuestion}) << "round " << round;
        if (p.opened < 0) {
            EXPECT_GE(state, 0) << "round " << round;
        } else {
            EXPECT_TRUE(state == p.rebuilt || (p.editing >= 0 && state == p.editing))
                << "round " << round << ": recovery offers state " << state << ", last rebuilt " << p.rebuilt
                << ", rebuilding " << p.editing;
        }
        EXPECT_TRUE(pictureOk) << "round " << round << ": the autosave's bundle does not match it";
        // The recovered edit is handled: the next start opens the family file.
        model::Kill_AutosaveFiles();
    }

    TempHome home{TempHome::Contents::ProgramData};
    int m_saved = 0;
    int m_completedByTheSave = 0;
};

TEST_F(CrashSafety, AKilledProgramLeavesTheOldOrTheNewFamilyAndRecoversTheLastRebuild)
{
    const char* configured = std::getenv("TEVORA_CRASH_ROUNDS");
    const int rounds = configured && std::atoi(configured) > 0 ? std::atoi(configured) : DefaultRounds;
    writeFirstFamily();
    std::mt19937 random(20240607u);
    // Kills fall anywhere from the start-up to some dozens of edits into the run;
    // every fifth round, within the start-up and the open.
    std::uniform_int_distribution<int> delayMs(0, 1000);
    std::uniform_int_distribution<int> startUpDelayMs(0, 80);

    const auto began = std::chrono::steady_clock::now();
    int killedBeforeOpening = 0;
    int killedWhileSaving = 0;
    int killedWhileRebuilding = 0;
    for (int round = 1; round <= rounds && !HasFatalFailure(); ++round) {
        platform::deleteFile(logPath());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                runProgram(family(), logPath());
            } catch (...) {
            }
            ::_exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 5 == 0 ? startUpDelayMs(random) : delayMs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the program ended before it was killed";

        const Progress p = readProgress(logPath());
        killedBeforeOpening += p.opened < 0 ? 1 : 0;
        killedWhileSaving += p.saving >= 0 ? 1 : 0;
        killedWhileRebuilding += p.editing >= 0 ? 1 : 0;
        checkFamilyFile(p, m_saved, round);
        checkRecovery(p, round);
        expectNoLitter(home.path(), round);
    }
    std::cout << "[ crash    ] " << rounds << " rounds; killed before the family was open " << killedBeforeOpening
              << " times, during a save " << killedWhileSaving
              << " times, during an edit and its rebuild " << killedWhileRebuilding << " times; last saved state "
              << m_saved << "; a save under way left its new family " << m_completedByTheSave << " times; "
              << std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - began).count()
              << " s\n";
}

} // namespace
