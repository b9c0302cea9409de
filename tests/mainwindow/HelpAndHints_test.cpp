// The Help menu and the hints window FrmQA, with hints files written into a
// fresh program folder.

#include "MainWindowFixture.h"

#include "forms/Application.h"
#include "forms/ImageSurface.h"
#include "forms/Picture.h"
#include "forms/Testing.h"
#include "forms/WindowFunctions.h"
#include "mainwindow/FrmDebug.h"
#include "mainwindow/FrmQA.h"
#include "model/Utilities.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "support/SmallFilesOnly.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <regex>
#include <set>

namespace mainwindow_test {
namespace {

// ---------------------------------------------------------------------------
// Help menu

using HelpMenu = MainWindowTest;

TEST_F(HelpMenu, ManualAndWebPagesAreOpenedWithTheShell)
{
    start();
    for (int item : {1, 5, 7, 8})
        window().helpitem[item].choose();
    ASSERT_EQ(answers.shellOpens().size(), 4u);
    EXPECT_EQ(answers.shellOpens()[0], platform::appFile("\\man\\index.html"));
    const std::string site = answers.shellOpens()[1];
    EXPECT_EQ(site.rfind("https://", 0), 0u);
    EXPECT_EQ(answers.shellOpens()[2], site + "faq.html");
    EXPECT_EQ(answers.shellOpens()[3], site + "support.html");
    EXPECT_TRUE(answers.shown().empty());
}

// A manual the desktop cannot open, or one that is not there, is named in a message.
TEST_F(HelpMenu, AManualThatCannotBeOpenedIsNamedInAMessage)
{
    start();
    const std::string manual = platform::appFile("\\man\\index.html");
    ASSERT_TRUE(platform::fileExists(manual));
    answers.setShellOpenResult(false);
    answers.answerNext(platform::vbOK);
    window().helpitem[1].choose();
    ASSERT_EQ(answers.shownTexts().size(), 1u);
    EXPECT_NE(answers.shownTexts()[0].find(manual), std::string::npos) << answers.shownTexts()[0];

    answers.setShellOpenResult(true);
    platform::deleteFile(manual);
    answers.answerNext(platform::vbOK);
    window().helpitem[1].choose();
    ASSERT_EQ(answers.shownTexts().size(), 2u);
    EXPECT_NE(answers.shownTexts()[1].find(manual), std::string::npos) << answers.shownTexts()[1];
    EXPECT_EQ(answers.shellOpens().size(), 1u) << "a missing manual is not handed to the desktop";
}

// The user's side of the desktop: boxes answered from the script, and the shell's
// open carried out by the program's own opener.
class DesktopOpener : public ScriptedResponder {
public:
    void shellOpen(const std::string& target, const std::function<void()>& failed) override
    {
        ScriptedResponder::shellOpen(target, {});
        forms::openWithDesktop(target, failed);
    }
};

// A stand-in for the desktop's opener, xdg-open, first on the PATH: it records
// each target when it starts and when it ends. While the file "fail" lies beside
// it, it fails as xdg-open does on a desktop without a browser (a message, then a
// non-zero exit status); while the file "hold" lies there, it keeps running, as
// xdg-open does while the browser it started in the foreground is open.
class StandInOpener {
public:
    explicit StandInOpener(const std::string& folder) : m_folder(folder), m_path(qgetenv("PATH"))
    {
        platform::makeDir(folder);
        const std::string script = platform::joinPath(folder, "xdg-open");
        platform::writeWholeFile(script, "#!/bin/sh\n"
                                         "echo \"$1\" >> \"" + file("opened") + "\"\n"
                                         "while [ -f \"" + file("hold") + "\" ]; do sleep 0.05; done\n"
                                         "echo \"$1\" >> \"" + file("ended") + "\"\n"
                                         "if [ -f \"" + file("fail") + "\" ]; then\n"
                                         "  echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                                         "  exit 3\n"
                                         "fi\n");
        QFile::setPermissions(QString::fromStdString(script), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QByteArray::fromStdString(folder) + ":" + m_path);
    }
    ~StandInOpener()
    {
        setHolding(false);
        qputenv("PATH", m_path);
    }
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    void setFailing(bool failing) { setMarker("fail", failing); }
    void setHolding(bool holding) { setMarker("hold", holding); }
    // The targets of the openers started, and of those that ended, one a line.
    std::string opened() const { return record("opened"); }
    std::string ended() const { return record("ended"); }

private:
    std::string file(const char* name) const { return platform::joinPath(m_folder, name); }
    void setMarker(const char* name, bool on) const
    {
        if (on)
            platform::writeWholeFile(file(name), "");
        else if (platform::fileExists(file(name)))
            platform::deleteFile(file(name));
    }
    std::string record(const char* name) const
    {
        return platform::fileExists(file(name)) ? platform::readWholeFile(file(name)) : std::string();
    }

    std::string m_folder;
    QByteArray m_path;
};

// How long a test lets the stand-in opener take at most; it answers in a moment.
constexpr int OpenerPatienceMs = 20000;

// True while the program holds an opener it has not heard the end of: it keeps
// each one as a process of the application until the opener's answer is in.
bool openersRunning()
{
    return !QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
}

// The lines of a record or the texts of the boxes shown, in no order: openers
// started together run side by side and end in any order.
std::multiset<std::string> inAnyOrder(const std::vector<std::string>& texts)
{
    return {texts.begin(), texts.end()};
}
std::multiset<std::string> linesInAnyOrder(const std::string& record)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = record.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(record.substr(start, end - start));
    return inAnyOrder(lines);
}

// The desktop's opener says by its exit status whether it showed the manual or a
// page: each one it could not show is named in a message of its own, one it
// showed is not, however the openers running side by side end.
TEST_F(HelpMenu, TheOpenersFailureNamesTheManualAndThePages)
{
    start();
    const std::string manual = platform::appFile("\\man\\index.html");
    StandInOpener opener(platform::joinPath(platform::GetAppPath(), "bin"));
    DesktopOpener user;

    opener.setFailing(true);
    user.answerNext(platform::vbOK);
    user.answerNext(platform::vbOK);
    window().helpitem[1].choose();
    window().helpitem[5].choose();
    ASSERT_EQ(user.shellOpens().size(), 2u);
    const std::string site = user.shellOpens()[1];
    ASSERT_TRUE(openersRunning()) << "the program holds no opener to hear the end of";
    ASSERT_TRUE(QTest::qWaitFor([] { return !openersRunning(); }, OpenerPatienceMs));
    EXPECT_EQ(linesInAnyOrder(opener.ended()), (std::multiset<std::string>{manual, site}));
    EXPECT_EQ(inAnyOrder(user.shownTexts()), (std::multiset<std::string>{"マニュアルを開けません\r\n" + manual,
                                                                         "ページを開けません\r\n" + site}));

    opener.setFailing(false);
    user.clearRecords();
    window().helpitem[1].choose();
    window().helpitem[7].choose();
    ASSERT_TRUE(QTest::qWaitFor([] { return !openersRunning(); }, OpenerPatienceMs));
    EXPECT_EQ(linesInAnyOrder(opener.ended()),
              (std::multiset<std::string>{manual, site, manual, site + "faq.html"}));
    // Every opener's answer has reached the program by now.
    EXPECT_TRUE(user.shown().empty()) << "a shown page needs no message";
}

// An opener that keeps running (xdg-open with a browser in the foreground) does not
// hold the program: the command returns while the opener runs, the windows go on
// answering, and when the opener ends with a failure the manual is named all the same.
TEST_F(HelpMenu, TheProgramAnswersWhileTheOpenerRunsAndNamesItsLateFailure)
{
    start();
    const std::string manual = platform::appFile("\\man\\index.html");
    StandInOpener opener(platform::joinPath(platform::GetAppPath(), "bin"));
    DesktopOpener user;
    opener.setFailing(true);
    opener.setHolding(true);

    // The event loop lets the opener go once it runs: a program that waits for the
    // opener lets it go only after giving up on it.
    bool heldWhileRunning = false;
    QTimer::singleShot(0, [&] {
        heldWhileRunning = QTest::qWaitFor([&] { return !opener.opened().empty(); }, OpenerPatienceMs)
                           && opener.ended().empty();
        opener.setHolding(false);
    });
    window().helpitem[1].choose();
    EXPECT_TRUE(opener.ended().empty()) << "the menu command returned only after the opener ended";

    user.answerNext(platform::vbOK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !user.shown().empty(); }, OpenerPatienceMs))
        << "the opener's failure was never named";
    EXPECT_TRUE(heldWhileRunning);
    EXPECT_EQ(opener.ended(), manual + "\n");
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{"マニュアルを開けません\r\n" + manual}));
}

// The shipped hints and manual send the user only to commands the main window
// shows: a menu item by its menu and caption, a button by its glyph and, in
// brackets, its pop-up hint.
TEST_F(HelpMenu, ShippedHelpTextsNameCommandsTheWindowOffers)
{
    start();
    MainForm& w = window();
    std::map<std::string, std::set<std::string>> menus;
    auto addMenu = [&menus](const forms::Menu& menu, const forms::ControlArray<forms::Menu>& items) {
        std::set<std::string>& shown = menus[menu.caption()];
        items.forEach([&shown](forms::Menu& item) {
            if (item.isVisible())
                shown.insert(item.caption());
        });
    };
    addMenu(w.filemenu, w.fileitem);
    addMenu(w.scrmenu, w.scritem);
    addMenu(w.setmenu, w.setitem);
    addMenu(w.helpmenu, w.helpitem);
    std::set<std::string> hints;
    auto addButton = [&hints](forms::CommandButton& button) {
        if (button.isVisible())
            hints.insert(button.toolTipText());
    };
    w.Command2.forEach(addButton);
    w.cmdChdMov.forEach(addButton);
    for (forms::CommandButton* button : {&w.cmdEzCtrl, &w.cmdChDel, &w.cmdDispOp, &w.CmdUndo, &w.cmdCategory})
        addButton(*button);

    const std::string shipped = TEVORA_SHIPPED_APPDIR;
    const std::vector<std::pair<std::string, std::string>> texts{
        {"qa/qatext.txt", platform::decodeCp932(platform::readWholeFile(shipped + "/qa/qatext.txt"))},
        {"man/index.html", platform::readWholeFile(shipped + "/man/index.html")}};
    // Wide characters, so that the bracket classes see whole characters.
    auto wide = [](const std::string& utf8) { return QString::fromStdString(utf8).toStdWString(); };
    auto utf8 = [](const std::wstring& text) { return QString::fromStdWString(text).toStdString(); };
    const std::wregex menuItem(wide("(?:「([^」]+)」|(ファイル|表示|設定))メニューの「([^」]+)」"));
    const std::wregex button(wide("「([^」]+)」ボタン(（(.+?)）[^）])?"));
    int named = 0;
    for (const auto& [file, utf8Text] : texts) {
        const std::wstring text = wide(utf8Text);
        for (std::wsregex_iterator m(text.begin(), text.end(), menuItem), end; m != end; ++m, ++named) {
            const std::string menu = utf8((*m)[1].matched ? (*m)[1].str() : (*m)[2].str());
            EXPECT_EQ(menus[menu].count(utf8((*m)[3].str())), 1u) << file << ": " << utf8(m->str());
        }
        for (std::wsregex_iterator m(text.begin(), text.end(), button), end; m != end; ++m, ++named) {
            ASSERT_TRUE((*m)[2].matched) << file << ": " << utf8(m->str()) << " names no button hint";
            EXPECT_EQ(hints.count(utf8((*m)[3].str())), 1u) << file << ": " << utf8(m->str());
        }
    }
    EXPECT_GE(named, 8);
}

TEST_F(HelpMenu, VersionBoxShowsNameAndVersionOnTwoLines)
{
    start();
    answers.answerNext(platform::vbOK);
    window().helpitem[2].choose();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "Tevora\n\rVersion 6.00-SR1 Build04-08-09");
    EXPECT_EQ(answers.shown()[0].style, platform::vbInformation);
    EXPECT_EQ(answers.shown()[0].title, "Version");
}

TEST_F(HelpMenu, HiddenDebugItemShowsTheDebugWindowModally)
{
    start();
    EXPECT_FALSE(window().helpitem[0].isVisible());
    bool shownModal = false;
    forms::onShown("DbgMenu", [&shownModal](forms::Form& form) {
        shownModal = form.isShownModal();
        dbgmenu_form().Command1.onClick();
    });
    window().helpitem[0].choose();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(dbgmenu_form().isLoaded());
}

// ---------------------------------------------------------------------------
// Hints window

class HintsWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (frmqa_form().isLoaded())
            frmqa_form().unload();
    }

    void writeHints(const std::string& utf8) const
    {
        platform::writeWholeFile(home.file("\\qa\\qatext.txt"), platform::encodeCp932(utf8));
    }

    std::string settingsFile() const { return platform::readWholeFile(home.file("\\tvora.ini")); }

    static FrmQAForm& hints() { return frmqa_form(); }

    TempHome home{TempHome::Contents::ProgramData};
    ScriptedResponder answers;
};

TEST_F(HintsWindow, ThreeHintsAreSteppedThroughWithNextAndBack)
{
    writeHints("@L0\r\n最初\r\n@L1\r\n二番目\r\n@L2\r\n三番目\r\n");
    hints().show();
    ASSERT_TRUE(hints().isLoaded());
    EXPECT_TRUE(forms::isKeptInFront(hints()));
    EXPECT_EQ(hints().lastHint(), 2);
    EXPECT_EQ(hints().Label1.caption(), "最初\r\n");
    EXPECT_TRUE(hints().Command1.isEnabled());
    EXPECT_FALSE(hints().Command2.isEnabled());

    hints().Command1.click();
    EXPECT_TRUE(hints().Command2.isEnabled());
    EXPECT_TRUE(hints().Command1.isEnabled());
    hints().Command1.click();
    EXPECT_EQ(hints().currentHint(), 2);
    EXPECT_EQ(hints().Label1.caption(), "三番目\r\n");
    EXPECT_FALSE(hints().Command1.isEnabled());

    hints().Command2.click();
    hints().Command2.click();
    EXPECT_EQ(hints().currentHint(), 0);
    EXPECT_FALSE(hints().Command2.isEnabled());
    EXPECT_TRUE(hints().Command1.isEnabled());
}

TEST_F(HintsWindow, OneHintDisablesNextAtTheFirstClick)
{
    writeHints("@L0\r\nただ一つ\r\n");
    hints().show();
    EXPECT_TRUE(hints().Command1.isEnabled());
    hints().Command1.click();
    EXPECT_FALSE(hints().Command1.isEnabled());
    EXPECT_EQ(hints().currentHint(), 0);
    EXPECT_EQ(hints().Label1.caption(), "ただ一つ\r\n");
}

TEST_F(HintsWindow, FileRulesKeepBlankLinesTrimPicturesAndSkipWhatBelongsToNoHint)
{
    writeHints("前書き\r\n@L 0\r\n一行目\r\n\r\n  \r\n三行目\r\n@P  pic1.bmp  \r\n@l1\r\n@L101\r\n番号外\r\n");
    hints().show();
    EXPECT_EQ(hints().hintText(0), "一行目\r\n\r\n  \r\n三行目\r\n@l1\r\n");
    EXPECT_EQ(hints().hintPicture(0), "pic1.bmp");
    EXPECT_EQ(hints().lastHint(), 0) << "a number outside 0..100 starts no hint";
    EXPECT_EQ(hints().hintText(1), "");
}

TEST_F(HintsWindow, PictureOfTheHintIsShownAndAMissingOneLeavesTheImageEmpty)
{
    platform::makeDir(home.file("\\QA"));
    forms::ImageSurface surface(8, 8);
    surface.cls();
    surface.savePicture(home.file("\\QA\\pic1.bmp"));
    writeHints("@L0\r\nあり\r\n@P pic1.bmp\r\n@L1\r\nなし\r\n@P gone.bmp\r\n@L2\r\n絵なし\r\n");
    hints().show();
    EXPECT_FALSE(hints().Image1.picture().isEmpty());
    hints().Command1.click();
    EXPECT_TRUE(hints().Image1.picture().isEmpty());
    hints().Command1.click();
    EXPECT_TRUE(hints().Image1.picture().isEmpty());
    EXPECT_TRUE(answers.shown().empty());
}

// The hints pictures are optional: a hint without one shows its text across the
// whole window, where the picture would stand too; a hint with one keeps the text
// beside it.
TEST_F(HintsWindow, HintWithoutAPictureGivesItsTextTheWholeWidth)
{
    platform::makeDir(home.file("\\QA"));
    forms::ImageSurface surface(8, 8);
    surface.cls();
    surface.savePicture(home.file("\\QA\\pic1.bmp"));
    writeHints("@L0\r\n絵あり\r\n@P pic1.bmp\r\n@L1\r\n■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■\r\n");
    hints().show();
    QWidget* window = forms::formWidget(hints());
    ASSERT_NE(window, nullptr);
    // Dark pixels in the left half of the hint area, where the picture stands.
    auto darkOnTheLeft = [&] {
        const QImage shot = window->grab().toImage();
        QWidget* image = hints().Image1.widget();
        const QRect leftHalf(image->mapTo(window, QPoint(0, 0)), image->size());
        int dark = 0;
        for (int y = leftHalf.top(); y <= leftHalf.bottom(); ++y)
            for (int x = leftHalf.left(); x <= leftHalf.right(); ++x)
                dark += qGray(shot.pixel(x, y)) < 96 ? 1 : 0;
        return dark;
    };
    EXPECT_TRUE(hints().Image1.isVisible());
    EXPECT_DOUBLE_EQ(hints().Label1.left(), 4440);

    hints().Command1.click();
    EXPECT_FALSE(hints().Image1.isVisible());
    EXPECT_DOUBLE_EQ(hints().Label1.left(), hints().Image1.left());
    EXPECT_DOUBLE_EQ(hints().Label1.left() + hints().Label1.width(), 8160);
    EXPECT_GT(darkOnTheLeft(), 100) << "the text starts at the left edge";

    hints().Command2.click();
    EXPECT_TRUE(hints().Image1.isVisible());
    EXPECT_DOUBLE_EQ(hints().Label1.left(), 4440) << "beside the picture again";
}

TEST_F(HintsWindow, ClosingWritesTheStartUpChoice)
{
    platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,1\r\n");
    writeHints("@L0\r\nヒント\r\n");
    hints().show();
    EXPECT_EQ(hints().Check1.value(), forms::vbChecked) << "ticked from QAMODE";
    hints().Check1.setValue(forms::vbUnchecked);
    hints().Command3.click();
    EXPECT_FALSE(hints().isLoaded());
    EXPECT_EQ(settingsFile(), "QAMODE,0\r\n");
    EXPECT_EQ(model::Get_QAMode(), 0);

    hints().show();
    EXPECT_EQ(hints().Check1.value(), forms::vbUnchecked);
    hints().Check1.setValue(forms::vbChecked);
    EXPECT_TRUE(hints().unloadWithMode(forms::vbFormControlMenu));
    EXPECT_EQ(settingsFile(), "QAMODE,1\r\n");
}

// A choice that cannot be kept (files that cannot grow, as on a full disk) is not
// dropped without a word: the message names the settings file and why.
TEST_F(HintsWindow, AChoiceThatCannotBeWrittenNamesTheSettingsFileAndWhy)
{
    platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,1\r\n");
    writeHints("@L0\r\nヒント\r\n");
    hints().show();
    hints().Check1.setValue(forms::vbUnchecked);
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { hints().Command3.click(); }, 4);
    EXPECT_FALSE(hints().isLoaded());
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"ファイルが書き込めません\r\n" + home.file("\\tvora.ini")
                                                             + "\r\n（ファイルが大きすぎます）"});
    EXPECT_EQ(settingsFile(), "QAMODE,1\r\n");
}

TEST_F(HintsWindow, MissingHintsFileIsReportedAndTheWindowCloses)
{
    platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,1\r\n");
    platform::deleteFile(home.file("\\qa\\qatext.txt"));
    answers.answerNext(platform::vbOK);
    hints().show();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"ヒントファイルが見つかりません"});
    EXPECT_FALSE(hints().isLoaded());
    EXPECT_EQ(settingsFile(), "QAMODE,1\r\n") << "written on that close like on any other";
}

TEST_F(HintsWindow, TheLibrarysOwnHintsRequestShowsTheWindow)
{
    writeHints("@L0\r\nヒント\r\n");
    mainwindow::OtherWindows defaults;
    defaults.showHints();
    EXPECT_TRUE(hints().isLoaded());
    EXPECT_TRUE(hints().isVisible());
}

} // namespace
} // namespace mainwindow_test
