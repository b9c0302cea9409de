// The start-up of the main window: what Form_Load leaves behind for the era
// table, the printers, the settings file and hints, a save a killed run left under
// way, the recovery of an interrupted edit and a family named on the command line.

#include "MainWindowFixture.h"

#include "document/Snapshots.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "platform/Conversions.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "support/KilledSave.h"

#include <QWidget>

#include <sys/stat.h>

#include <functional>

namespace mainwindow_test {
namespace {

using StartUp = MainWindowTest;

TEST_F(StartUp, OpensWithAnEmptyUnchangedFamilyAndRemembersItsFirstSize)
{
    start();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().caption(), "");
    EXPECT_TRUE(personNames().empty());
    EXPECT_EQ(tables().Data_Changed, 0);
    EXPECT_EQ(tables().Cur_FilePath, "");
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(model::runState().DspOp_Person, 1);
    EXPECT_EQ(window().Text1.text(), "100");
    EXPECT_DOUBLE_EQ(window().Min_Width, window().width());
    EXPECT_DOUBLE_EQ(window().Min_Height, window().height());
    // The picture export draws on a second, hidden element of Picture3.
    ASSERT_TRUE(window().Picture3.exists(1));
    EXPECT_FALSE(window().Picture3[1].isVisible());
    EXPECT_FALSE(window().Image2.isVisible());
}

TEST_F(StartUp, MissingEraTableIsReportedWithItsFullPathAndTheWindowStillOpens)
{
    platform::deleteFile(home.file("\\nengo_tbl.mas"));
    answers.answerNext(platform::vbOK);
    start();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text,
              "年号ファイルがみつかりません：\r\n" + platform::joinPath(home.path(), "nengo_tbl.mas"));
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(answers.shown()[0].title, platform::AppTitle);
    EXPECT_TRUE(window().isVisible());
}

struct SettingsFileCase {
    const char* name;
    const char* initial; // null: no settings file
    bool hintsShown;
};

void PrintTo(const SettingsFileCase& c, std::ostream* os) { *os << c.name; }

class SettingsFile : public MainWindowTest, public ::testing::WithParamInterface<SettingsFileCase> {};

TEST_P(SettingsFile, IsCreatedOnlyWhenMissingAndDecidesTheHints)
{
    const std::string path = home.file("\\tvora.ini");
    if (GetParam().initial)
        platform::writeWholeFile(path, GetParam().initial);
    start();
    EXPECT_EQ(read(path), GetParam().initial ? GetParam().initial : "QAMODE,1\r\n");
    EXPECT_EQ(windows.count("showHints"), GetParam().hintsShown ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, SettingsFile,
                         ::testing::Values(SettingsFileCase{"Missing", nullptr, true},
                                           SettingsFileCase{"HintsOn", "QAMODE,1\r\n", true},
                                           SettingsFileCase{"HintsOff", "QAMODE,0\r\n", false},
                                           SettingsFileCase{"OtherValue", "QAMODE,2\r\n", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PrinterCase {
    const char* name;
    std::vector<std::string> printers;
};

void PrintTo(const PrinterCase& c, std::ostream* os) { *os << c.name; }

class PrintCommands : public MainWindowTest, public ::testing::WithParamInterface<PrinterCase> {};

TEST_P(PrintCommands, FollowTheInstalledPrintersWhileFullScreenStaysUsable)
{
    forms::setPrinterList(GetParam().printers);
    start();
    const bool printable = !GetParam().printers.empty();
    EXPECT_EQ(window().Command2[3].isEnabled(), printable);
    EXPECT_EQ(window().fileitem[11].isEnabled(), printable);
    EXPECT_TRUE(window().Command2[4].isEnabled());
}

// The printers arrive after the start (the system's are asked for in the
// background): the print commands follow the list whenever it changes.
TEST_F(StartUp, PrintCommandsFollowThePrinterListWhenItChanges)
{
    start();
    ASSERT_TRUE(window().Command2[3].isEnabled());
    forms::setPrinterList({});
    EXPECT_FALSE(window().Command2[3].isEnabled());
    EXPECT_FALSE(window().fileitem[11].isEnabled());
    forms::setPrinterList({"Tevora PDF"});
    EXPECT_TRUE(window().Command2[3].isEnabled());
    EXPECT_TRUE(window().fileitem[11].isEnabled());
}

INSTANTIATE_TEST_SUITE_P(MainWindow, PrintCommands,
                         ::testing::Values(PrinterCase{"NoPrinter", {}}, PrinterCase{"OnePrinter", {"Tevora PDF"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Recovery of an interrupted edit

class Recovery : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        commandLinePath = writeFamilyFile("cmd.kez", "鈴木");
        setCommandLine({commandLinePath.c_str()});
        // The interrupted edit: a family with its autosave copy and an undo snapshot.
        model::InitAllSetting();
        buildFamily("佐藤");
        ASSERT_TRUE(model::Save_Undo());
        ASSERT_TRUE(model::Save_Autosave());
        model::InitAllSetting();
        autosaveBytes = read(model::autosaveSnapshotPath());
    }

    bool snapshotsOnDisk() const
    {
        return platform::fileExists(model::autosaveSnapshotPath()) && platform::fileExists(model::undoSnapshotPath());
    }

    void expectRecoveryQuestion() const
    {
        ASSERT_GE(answers.shown().size(), 1u);
        EXPECT_EQ(answers.shown()[0].text, "編集途中のファイルがあります。読み込みますか？");
        EXPECT_EQ(answers.shown()[0].title, "ファイルのロード");
    }

    std::string commandLinePath;
    std::string autosaveBytes;
};

TEST_F(Recovery, NoKeepsBothSnapshotsAndStartsEmpty)
{
    setCommandLine({});
    answers.answerNext(platform::vbNo);
    start();
    expectRecoveryQuestion();
    EXPECT_TRUE(snapshotsOnDisk());
    EXPECT_EQ(read(model::autosaveSnapshotPath()), autosaveBytes);
    EXPECT_TRUE(personNames().empty());
}

// The family opened from the command line replaces the autosave copy with its own
// at its chart rebuild, as every rebuild does.
TEST_F(Recovery, NoOpensTheCommandLineFamily)
{
    answers.answerNext(platform::vbNo);
    start();
    expectRecoveryQuestion();
    EXPECT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));
    EXPECT_EQ(personNames(), familyOf("鈴木"));
    EXPECT_EQ(window().caption(), commandLinePath);
    EXPECT_EQ(tables().Cur_FilePath, commandLinePath);
    EXPECT_EQ(tables().Data_Changed, 0);
}

// The recovered edit was never saved: it is a changed family without a file of its
// own, and the autosave on disk holds it at once, so a second interruption loses
// nothing. The stale undo snapshot goes and the command line is ignored.
TEST_F(Recovery, YesBringsBackTheEditAsAChangedFamilyWithoutAFile)
{
    const std::string userFolder = platform::joinPath(home.path(), "mine");
    platform::makeDir(userFolder);
    platform::writeWholeFile(home.file("\\FilePath.ini"), userFolder + "\r\n");
    answers.answerNext(platform::vbYes);
    start();
    expectRecoveryQuestion();
    EXPECT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(personNames(), familyOf("佐藤"));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(tables().Cur_FilePath, "");
    EXPECT_EQ(window().caption(), "");
    EXPECT_EQ(read(home.file("\\FilePath.ini")), userFolder + "\r\n");
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath()));
    EXPECT_FALSE(window().CmdUndo.isEnabled());
    EXPECT_GE(windows.count("rebuildRelationLists"), 1);
    EXPECT_EQ(platform::listFiles(platform::joinPath(home.path(), "TMP"), "Recovered.*"), std::vector<std::string>{});

    // What a second interruption would leave: the autosave holds the recovered family.
    ASSERT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));
    const std::string copy = platform::joinPath(home.path(), "check.kez");
    platform::copyFile(model::autosaveSnapshotPath(), copy);
    ASSERT_TRUE(model::Unscramble_File(copy));
    model::InitAllSetting();
    ASSERT_TRUE(model::load_file(copy));
    EXPECT_EQ(personNames(), familyOf("佐藤"));
}

TEST_F(Recovery, ExitAfterARecoveryAsksAndSaveAsksForANameInTheUsersFolder)
{
    const std::string userFolder = platform::joinPath(home.path(), "mine");
    platform::makeDir(userFolder);
    platform::writeWholeFile(platform::joinPath(userFolder, "other.kez"), "x");
    platform::writeWholeFile(home.file("\\FilePath.ini"), userFolder + "\r\n");
    answers.answerNext(platform::vbYes);
    start();

    answers.answerNext(platform::vbCancel);
    window().fileitem[16].choose();
    EXPECT_EQ(answers.shownTexts().back(), "データが変更されています。終了しますか?");
    EXPECT_FALSE(answers.programEnded());
    EXPECT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));

    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[2].choose();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].kind, forms::DialogKind::Save);
    EXPECT_EQ(dialogs.requests()[0].startDirectory, userFolder);
}

// The autosave may be all there is of the user's latest work: one the reader refuses
// is kept as a family file, its text unscrambled, under a name with the date and time,
// with its bundle beside it; the user is told why and where it is kept, and no family
// from the command line is opened. No later autosave and no clean-up at the end
// touches it.
TEST_F(Recovery, UnreadableAutosaveIsKeptAsAFamilyFileThatOutlivesLaterAutosavesAndTheEnd)
{
    platform::writeWholeFile(model::autosaveSnapshotPath(), DamagedFamilyText);
    ASSERT_TRUE(model::Scramble_File(model::autosaveSnapshotPath()));
    const std::string bundleBytes = "media of the interrupted edit";
    platform::writeWholeFile(model::kedFileName(model::autosaveSnapshotPath()), bundleBytes);
    answers.setNow(platform::DateSerial(2026, 12, 7) + (9 * 60 + 30) / 1440.0);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    start();
    expectRecoveryQuestion();
    const std::string kept = platform::joinPath(home.path(), "TMP/Unrecovered-20261207-0930.kez");
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[1].text,
              "なんらかの障害によりファイルが開けません\r\n値が項目の範囲を超えています：fontsize=99999999（2 行目）");
    EXPECT_EQ(answers.shown()[2].text, std::string(model::RecoveryFailedMessage) + "\r\n" + model::RecoveryKeptMessage
                                           + "\r\n" + kept);
    EXPECT_EQ(read(kept), DamagedFamilyText);
    EXPECT_EQ(read(model::kedFileName(kept)), bundleBytes);
    EXPECT_FALSE(platform::fileExists(model::autosaveSnapshotPath()));
    EXPECT_TRUE(personNames().empty());
    EXPECT_EQ(window().caption(), "");
    EXPECT_TRUE(window().isVisible());

    // A family opened and rebuilt writes its own autosave; ending the program cleans up.
    dialogs.answerNext(forms::DialogAnswer::file(commandLinePath));
    window().fileitem[1].choose();
    ASSERT_EQ(personNames(), familyOf("鈴木"));
    EXPECT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));
    window().fileitem[16].choose();
    ASSERT_TRUE(answers.programEnded());
    EXPECT_FALSE(platform::fileExists(model::autosaveSnapshotPath()));
    EXPECT_EQ(read(kept), DamagedFamilyText);
    EXPECT_EQ(read(model::kedFileName(kept)), bundleBytes);
}

// A second failure in the same minute does not replace the first one kept.
TEST_F(Recovery, ASecondUnreadableAutosaveInTheSameMinuteIsKeptBesideTheFirst)
{
    const std::string first = platform::joinPath(home.path(), "TMP/Unrecovered-20261207-0930.kez");
    platform::writeWholeFile(first, "kept before");
    platform::writeWholeFile(model::autosaveSnapshotPath(), DamagedFamilyText);
    ASSERT_TRUE(model::Scramble_File(model::autosaveSnapshotPath()));
    answers.setNow(platform::DateSerial(2026, 12, 7) + (9 * 60 + 30) / 1440.0);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    start();
    const std::string second = platform::joinPath(home.path(), "TMP/Unrecovered-20261207-0930-2.kez");
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[2].text, std::string(model::RecoveryFailedMessage) + "\r\n" + model::RecoveryKeptMessage
                                           + "\r\n" + second);
    EXPECT_EQ(read(first), "kept before");
    EXPECT_EQ(read(second), DamagedFamilyText);
}

// ---------------------------------------------------------------------------
// Command line

TEST_F(StartUp, QuotedCommandLinePathWithACommaAndBlanksIsOpenedWhole)
{
    const std::string path = writeFamilyFile("my, family file.kez");
    setCommandLine({path.c_str()});
    start();
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(window().caption(), path);
    EXPECT_EQ(tables().Cur_FilePath, path);
}

TEST_F(StartUp, BlankCommandLineOpensNothing)
{
    setCommandLine({"   "});
    start();
    EXPECT_TRUE(personNames().empty());
    EXPECT_TRUE(answers.shown().empty());
}

// Saves a killed run left under way are settled at the start, before any family is
// read: the family of the command line, killed between its two renames (the bundle
// renamed, the family file not), is completed and opens whole with its picture and no
// message; a Save As to a new name, killed before its renames, leaves no file. No
// partial file is left.
TEST_F(StartUp, SavesAKilledRunLeftUnderWayAreSettledBeforeAFamilyIsRead)
{
    const std::string path = writeFamilyFile("family.kez", "佐藤");
    model::InitAllSetting();
    const int father = tables().kou_buf[buildFamily("鈴木")].kou_titi;
    platform::writeWholeFile(platform::joinPath(home.path(), "face/f.bmp"), "the father's face");
    tables().per_buf[father].Picture_filename = "f.bmp";
    tables().per_buf[father].Picture_index = 0;
    support::saveKilledAt(path, 3);
    support::saveKilledAt(platform::joinPath(home.path(), "other.kez"), 1);
    ASSERT_FALSE(platform::listFiles(home.path(), "*.part").empty());
    model::InitAllSetting();
    platform::deleteFile(platform::joinPath(home.path(), "face/f.bmp"));
    setCommandLine({path.c_str()});

    start();

    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
    EXPECT_EQ(personNames(), familyOf("鈴木"));
    EXPECT_EQ(read(platform::joinPath(home.path(), "face/f.bmp")), "the father's face");
    EXPECT_EQ(tables().Cur_FilePath, path);
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty());
    EXPECT_TRUE(platform::listFiles(home.path(), "other.*").empty());
}

// A command-line family that cannot be read is named with why, and start-up goes on
// with an empty family: a missing file, and a named pipe (given by a file association
// or a script), which is refused at once rather than waited on for a writer.
struct CommandLineCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* message; // before the path
    const char* reason;
};

void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLineNotRead : public MainWindowTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLineNotRead, IsReportedAndStartUpGoesOnEmpty)
{
    const std::string path = platform::joinPath(home.path(), "named.kez");
    GetParam().make(path);
    setCommandLine({path.c_str()});
    answers.answerNext(platform::vbOK);
    start();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, GetParam().message + ("\r\n" + path) + "\r\n（" + GetParam().reason + "）");
    EXPECT_TRUE(personNames().empty());
    EXPECT_EQ(window().caption(), "");
    EXPECT_TRUE(window().isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, CommandLineNotRead,
    ::testing::Values(CommandLineCase{"AMissingFile", [](const std::string&) {}, " ファイルを読込めません", "ファイルがありません"},
                      CommandLineCase{"ANamedPipe",
                                      [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
                                      "なんらかの障害によりファイルが開けません", "通常のファイルではありません"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mainwindow_test
