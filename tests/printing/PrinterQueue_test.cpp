// The print preview and the printer choice against printer queues of a print
// service the test starts itself (a private CUPS scheduler whose queues store
// every job they receive): a cancelled print sends nothing, a job the service
// refuses or never receives asks whether to go on and names the printer and why
// (yes tries again), a service that hangs is named as not answering within a few
// seconds while the windows keep painting and a job is never sent twice, the
// paper chosen in the printer's own properties dialog is the paper printed on and
// the one it opens on again (a size typed in too), the chart's dotted lines reach
// the printer as dots, the desktop's default printer is the current one (a print
// made before the service named it asks rather than going to a PDF file), and
// the printer list is asked for when the choice window opens, which shows it once
// it arrives.

#include "PrintingFixture.h"

#include "forms/Testing.h"
#include "platform/FileSystem.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"
#include "printing/printing_state.h"
#include "support/PrivateCups.h"
#include "support/qt/PdfFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using printing::FrmPrnSetForm;
using printing::frmprnset_form;
using printing::PrePrintForm;
using printing::preprint_form;
using printing_test::PrintingFixture;
using support::PrivateCups;

// The longest the system's printers may take to arrive in the printer choice: a
// service that hangs is given up on within a few seconds.
constexpr int ListArrivalCeilingMs = 15000;

class PrinterQueueTest : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        model::tables() = model::Tables();
        model::tables().Cur_FilePath = home.path() + "/family.KEZ";
        // The temporary files of the jobs go to a folder of the test's own, so
        // that it can tell whether one was left behind.
        ASSERT_TRUE(temporary.isValid());
        m_previousTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", temporary.path().toUtf8());
    }

    void TearDown() override
    {
        PrintingFixture::TearDown();
        cups.reset();
        qputenv("TMPDIR", m_previousTemp);
    }

    // Starts the print service with these queues; the program then sees the
    // system's printer list, read afresh, and no printer chosen yet.
    void startService(const std::vector<PrivateCups::Queue>& queues, const std::string& defaultQueue = {})
    {
        cups = std::make_unique<PrivateCups>(queues, defaultQueue);
        forms::resetPrinterList();
        forms::resetCurrentPrinter();
    }

    // The current printer once the desktop's default printer is known: the service
    // is asked for it in the background.
    static const forms::Printer& defaultPrinterOnceKnown()
    {
        forms::printer();
        EXPECT_TRUE(QTest::qWaitFor([] { return forms::Printers().knowsDefault(); }, ListArrivalCeilingMs));
        return forms::printer();
    }

    // A chart `across` pages wide and half a page high at 100 % on the current printer.
    void recordChart(double across)
    {
        const double pageW = forms::printer().scaleWidth();
        addBox(1000, 1000, 1000 + across * pageW, 1500);
        addLine(1000, 1200, 1000 + across * pageW, 1200);
        addCaption("山田家", 2000, 2000, 3000, 600, 15);
    }

    PrePrintForm& openPreview()
    {
        PrePrintForm& form = preprint_form();
        form.show();
        return form;
    }

    // The files left in the temporary folder (a job's drawing that was not removed).
    QStringList leftInTemporaryFolder() const
    {
        return QDir(temporary.path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<PrivateCups> cups;
    QTemporaryDir temporary;

private:
    QByteArray m_previousTemp;
};

// What the printer choice lists.
std::vector<std::string> listed(const FrmPrnSetForm& form)
{
    std::vector<std::string> names;
    for (int i = 0; i < form.Combo1.listCount(); ++i)
        names.push_back(form.Combo1.list(i));
    return names;
}

// What the printer choice lists once it lists `expected`, or after the ceiling:
// the system's printers arrive after it opens.
std::vector<std::string> listedOnceArrived(const FrmPrnSetForm& form, const std::vector<std::string>& expected)
{
    static_cast<void>(QTest::qWaitFor([&] { return listed(form) == expected; }, ListArrivalCeilingMs));
    return listed(form);
}

// The progress window of the print, when one shows.
QProgressDialog* shownProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Acts once, as soon as the progress window of the print shows.
class WhenProgressShows {
public:
    explicit WhenProgressShows(std::function<void(QProgressDialog&)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QProgressDialog* dialog = shownProgress()) {
                m_timer.stop();
                m_act(*dialog);
                acted = true;
            }
        });
        m_timer.start(0);
    }
    bool acted = false;

private:
    std::function<void(QProgressDialog&)> m_act;
    QTimer m_timer;
};

// Presses ｷｬﾝｾﾙ in the progress window.
void pressCancel(QProgressDialog& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == QString::fromUtf8(forms::PrintProgressCancel))
            QTest::mouseClick(button, Qt::LeftButton);
    }
}

// Answers the printer's real properties dialog when it shows: notes the paper it
// opened on (the entry of its paper list and the size in its width and height
// boxes), does what `act` does there and presses OK, or ｷｬﾝｾﾙ where `act` could
// not do it.
class PropertiesDialogAnswer {
public:
    explicit PropertiesDialogAnswer(std::function<bool(QPageSetupDialog&)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QPageSetupDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            auto* papers = dialog->findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
            auto* width = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"));
            auto* height = dialog->findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"));
            if (!papers || !width || !height) {
                dialog->reject();
                return;
            }
            shownPaper = papers->currentText().toStdString();
            shownSize = (width->text() + QStringLiteral(" x ") + height->text()).toStdString();
            for (int i = 0; i < papers->count(); ++i)
                offered.push_back(papers->itemText(i).toStdString());
            if (!m_act(*dialog)) {
                dialog->reject();
                return;
            }
            answered = true;
            dialog->accept();
        });
        m_timer.start(0);
    }
    // Picks the paper named `choose` (none: keeps the paper shown).
    explicit PropertiesDialogAnswer(const QString& choose)
        : PropertiesDialogAnswer([choose](QPageSetupDialog& dialog) {
              auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
              if (choose.isEmpty())
                  return true;
              const int index = papers->findText(choose);
              papers->setCurrentIndex(index);
              return index >= 0;
          })
    {
    }
    std::string shownPaper;
    std::string shownSize;
    std::vector<std::string> offered;
    bool answered = false;

private:
    std::function<bool(QPageSetupDialog&)> m_act;
    QTimer m_timer;
};

// Types a paper of one's own size into the dialog, in millimetres, as a user does:
// the unit, the paper list's entry for a size typed in, then width and height.
std::function<bool(QPageSetupDialog&)> typeInPaper(double widthMm, double heightMm)
{
    return [=](QPageSetupDialog& dialog) {
        auto* units = dialog.findChild<QComboBox*>(QStringLiteral("unitCombo"));
        const int millimetres = units->findData(QVariant::fromValue(QPageLayout::Millimeter));
        for (int keys = 0; keys < units->count() && units->currentIndex() > millimetres; ++keys)
            QTest::keyClick(units, Qt::Key_Up);
        auto* papers = dialog.findChild<QComboBox*>(QStringLiteral("pageSizeCombo"));
        const int typedIn = papers->findData(QVariant());
        papers->setCurrentIndex(typedIn);
        dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pageWidth"))->setValue(widthMm);
        dialog.findChild<QDoubleSpinBox*>(QStringLiteral("pageHeight"))->setValue(heightMm);
        return typedIn >= 0 && units->currentIndex() == millimetres;
    };
}

// Turns the page to landscape and leaves the paper as the dialog shows it.
bool turnToLandscape(QPageSetupDialog& dialog)
{
    auto* landscape = dialog.findChild<QRadioButton*>(QStringLiteral("landscape"));
    QTest::mouseClick(landscape, Qt::LeftButton, {}, QPoint(landscape->height() / 2, landscape->height() / 2));
    return landscape->isChecked();
}

// Picks the printer named `name` in the printer choice.
void pickPrinter(FrmPrnSetForm& choice, const std::string& name)
{
    for (int i = 0; i < choice.Combo1.listCount(); ++i) {
        if (choice.Combo1.list(i) == name)
            choice.Combo1.setListIndex(i);
    }
}

// The desktop's locale for one test.
class DesktopLocale {
public:
    explicit DesktopLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DesktopLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

// ｷｬﾝｾﾙ while the pages are drawn: the queue gets no job, nothing is said, and the
// job's drawing is not left behind.
TEST_F(PrinterQueueTest, CancelledPrintSendsNothingToThePrinter)
{
    startService({{"office"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    recordChart(5.5);   // six pages
    PrePrintForm& form = openPreview();
    ASSERT_EQ(form.grid.pageCount(), 6);
    forms::setPrintProgressDelay(0);

    WhenProgressShows cancel(pressCancel);
    form.CMDFUNC[1].click();
    EXPECT_TRUE(cancel.acted);
    EXPECT_EQ(cups->jobCount("office"), 0);
    EXPECT_TRUE(cups->storedJobs(0, std::chrono::milliseconds(500)).empty());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
    EXPECT_FALSE(forms::printer().isJobOpen());

    // Printed to the end, the same print is one job of six pages.
    forms::setPrintProgressDelay(-1);
    form.CMDFUNC[1].click();
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageCount(jobs[0].document), 6);
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
    EXPECT_TRUE(answers.shown().empty());
}

// A queue that refuses jobs, one deleted while chosen and a stopped print service:
// the preview asks whether to go on, naming the printer and why; yes tries again,
// no prints nothing. Nothing reaches a queue, and nothing is left behind.
TEST_F(PrinterQueueTest, AJobThePrintServiceRefusesAsksWhetherToGoOnNamingThePrinterAndWhy)
{
    startService({{"office"}, {"laser"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    const auto question = [](const std::string& printer, const std::string& why) {
        return std::string(printing::PrinterFailureQuestion) + "\r\n" + printer + "\r\n（" + why + "）";
    };
    recordChart(0.5);
    PrePrintForm& form = openPreview();

    forms::setCurrentPrinter("office");
    cups->rejectJobs("office");
    answers.answerNext(platform::vbYes);   // still refused: asked again
    answers.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();
    const std::string refused = question("office", "プリンタが印刷を受け付けていません");
    ASSERT_EQ(answers.shownTexts(), (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo);
    EXPECT_EQ(answers.shown()[0].title, printing::PrinterFailureTitle);
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);

    answers.clearRecords();
    forms::setCurrentPrinter("laser");
    cups->deleteQueue("laser");
    answers.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{question("laser", "プリンタが見つかりません")}));

    EXPECT_EQ(cups->jobCount("office"), 0);
    cups->stop();
    answers.clearRecords();
    forms::setCurrentPrinter("office");
    answers.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{question("office", "印刷システムに接続できません")}));

    EXPECT_TRUE(cups->storedJobs(0, std::chrono::milliseconds(200)).empty());
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
    EXPECT_FALSE(forms::printer().isJobOpen());
}

// Answers message boxes from the script, doing something first each time (what
// the user does about the printer before answering).
class ActingResponder : public support::ScriptedResponder {
public:
    std::function<void(int box)> beforeAnswer;
    int msgBox(const std::string& text, int style, const std::string& title) override
    {
        if (beforeAnswer)
            beforeAnswer(m_boxes);
        ++m_boxes;
        return ScriptedResponder::msgBox(text, style, title);
    }

private:
    int m_boxes = 0;
};

// ｷｬﾝｾﾙ pressed while the last sheet is drawn counts too: the finished drawing is
// not sent. A job that goes out keeps the page set-up it was drawn with.
TEST_F(PrinterQueueTest, CancelOnTheLastSheetSendsNothingAndAJobKeepsTheSetUpItWasDrawnWith)
{
    startService({{"office"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    PrePrintForm& form = openPreview();
    forms::setPrintProgressDelay(0);
    const auto drawSheets = [](bool cancelOnTheLast) {
        return [cancelOnTheLast](forms::Printer& page) {
            for (int sheet = 1; sheet <= 3; ++sheet) {
                if (sheet > 1)
                    page.newPage();
                page.line(1000, 1000, 3000, 3000);
                if (sheet == 3 && cancelOnTheLast) {
                    ASSERT_NE(shownProgress(), nullptr);
                    pressCancel(*shownProgress());
                }
            }
        };
    };

    EXPECT_FALSE(forms::printDocument(form, std::string(), drawSheets(true), 3));
    EXPECT_EQ(cups->jobCount("office"), 0);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());

    // Without ｷｬﾝｾﾙ the same drawing is one job of three sheets. A page set-up
    // changed while it is drawn waits for the next job: this one goes out on the
    // paper and in the orientation it was drawn in.
    EXPECT_TRUE(forms::printDocument(form, std::string(), [&](forms::Printer& page) {
        drawSheets(false)(page);
        page.setOrientation(forms::vbPRORLandscape);
    }, 3));
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageSizes(jobs[0].document), std::vector<std::string>(3, support::PdfA4Portrait));
    EXPECT_EQ(jobs[0].options.find("landscape"), std::string::npos) << jobs[0].options;
    EXPECT_NE(jobs[0].options.find("media=A4"), std::string::npos) << jobs[0].options;
}

// A queue that stops taking jobs while the pages are drawn refuses the finished
// job: the preview asks, and each yes sends the same pages again, until the queue
// takes them: one job, whole, and nothing left behind.
TEST_F(PrinterQueueTest, AFinishedJobTheQueueRefusedIsSentAgainOnYes)
{
    startService({{"office"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    recordChart(3.5);   // four pages
    PrePrintForm& form = openPreview();
    forms::setPrintProgressDelay(0);
    WhenProgressShows rejecter([this](QProgressDialog&) { cups->rejectJobs("office"); });

    ActingResponder user;
    user.beforeAnswer = [this](int box) {
        if (box == 1)
            cups->acceptJobs("office");   // put right before the second yes
    };
    user.answerNext(platform::vbYes);
    user.answerNext(platform::vbYes);
    form.CMDFUNC[1].click();
    EXPECT_TRUE(rejecter.acted);
    const std::string refused = std::string(printing::PrinterFailureQuestion)
                                + "\r\noffice\r\n（プリンタが印刷を受け付けていません）";
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{refused, refused}));
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageCount(jobs[0].document), 4);
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
}

// The paper chosen in 詳細設定 is the paper of the job, also one the program has no
// number of its own for; the dialog opens again on the paper in use, and a queue
// set to JIS B4 starts on it.
TEST_F(PrinterQueueTest, ThePaperChosenInThePropertiesDialogIsThePaperPrintedOn)
{
    startService({{"office", "B4"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    EXPECT_EQ(defaultPrinterOnceKnown().deviceName(), "office");
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSB4);

    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    {
        PropertiesDialogAnswer keep{QString()};
        choice.Command1.click();
        ASSERT_TRUE(keep.answered);
        EXPECT_EQ(keep.shownPaper, "JIS B4");
    }
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSB4);
    {
        PropertiesDialogAnswer pickA2{QStringLiteral("A2")};
        choice.Command1.click();
        ASSERT_TRUE(pickA2.answered) << "offered: " << ::testing::PrintToString(pickA2.offered);
    }
    {
        PropertiesDialogAnswer again{QString()};
        choice.Command1.click();
        ASSERT_TRUE(again.answered);
        EXPECT_EQ(again.shownPaper, "A2");
    }
    choice.Command2.click();

    recordChart(0.5);
    PrePrintForm& form = openPreview();
    form.CMDFUNC[1].click();
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].options.find("media=A2"), std::string::npos) << jobs[0].options;
    EXPECT_EQ(support::pdfPageSizes(jobs[0].document),
              (std::vector<std::string>{"0 0 1191.000000 1684.000000"}));
    EXPECT_TRUE(answers.shown().empty());
}

// A paper typed in (200 x 250 mm) on a printer queue and on the PDF printer: the
// page set-up dialog opens again on it, also once the printer is picked afresh
// and the dialog shows the desktop's inches, and OK there to turn only the page
// keeps the paper exactly.
TEST_F(PrinterQueueTest, APaperTypedInIsThePaperTheDialogOpensOnAgainAndOkKeeps)
{
    startService({{"office"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    DesktopLocale inches(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::string file = home.path() + "/family.pdf";
    ASSERT_EQ(defaultPrinterOnceKnown().deviceName(), "office");
    recordChart(0.5);
    for (const std::string& printerName : {std::string("office"), std::string(forms::PdfPrinterName)}) {
        SCOPED_TRACE(printerName);
        PrePrintForm& form = openPreview();
        std::string shownPaper;
        std::string shownSize;
        forms::onShown("frmPrnSet", [&](forms::Form& shown) {
            auto& choice = static_cast<FrmPrnSetForm&>(shown);
            pickPrinter(choice, printerName);
            {
                PropertiesDialogAnswer typeIn(typeInPaper(200, 250));
                choice.Command1.click();
                EXPECT_TRUE(typeIn.answered) << ::testing::PrintToString(typeIn.offered);
            }
            pickPrinter(choice, printerName == "office" ? forms::PdfPrinterName : "office");
            pickPrinter(choice, printerName);
            PropertiesDialogAnswer reopened(turnToLandscape);
            choice.Command1.click();
            EXPECT_TRUE(reopened.answered);
            shownPaper = reopened.shownPaper;
            shownSize = reopened.shownSize;
            choice.Command2.click();
        });
        form.CMDFUNC[0].click();
        EXPECT_EQ(shownPaper, "Custom");
        EXPECT_EQ(shownSize, "7.87in x 9.84in");

        if (printerName == forms::PdfPrinterName)
            dialogs.answerNext(forms::DialogAnswer::file(file));
        form.CMDFUNC[1].click();
        form.CMDEND.click();
        std::string printed = file;
        if (printerName == "office") {
            const auto jobs = cups->storedJobs(1);
            ASSERT_EQ(jobs.size(), 1u);
            EXPECT_NE(jobs[0].options.find("media=Custom.200x250mm"), std::string::npos) << jobs[0].options;
            printed = jobs[0].document;
        }
        EXPECT_EQ(support::pdfPageSizes(printed), (std::vector<std::string>{"0 0 709.000000 567.000000"}));
    }
    EXPECT_TRUE(answers.shown().empty());
}

// On the PDF printer, too: Legal, ISO B4, an envelope and A2 chosen in its
// properties dialog are the papers of the PDF file.
TEST_F(PrinterQueueTest, ThePaperChosenForThePdfPrinterIsThePaperOfTheFile)
{
    forms::setPrinterList({forms::PdfPrinterName});
    forms::resetCurrentPrinter();
    const std::string file = home.path() + "/family.pdf";
    std::vector<std::string> printed;
    for (const char* paper : {"Legal", "B4", "Envelope C5", "A2"}) {
        FrmPrnSetForm& choice = frmprnset_form();
        choice.show();
        PropertiesDialogAnswer pick{QString::fromUtf8(paper)};
        choice.Command1.click();
        EXPECT_TRUE(pick.answered) << paper << " offered: " << ::testing::PrintToString(pick.offered);
        choice.Command2.click();
        drawing::resetDrawingLists();
        recordChart(0.5);
        PrePrintForm& form = openPreview();
        dialogs.answerNext(forms::DialogAnswer::file(file));
        form.CMDFUNC[1].click();
        form.CMDEND.click();
        const auto sizes = support::pdfPageSizes(file);
        printed.push_back(sizes.empty() ? std::string() : sizes.front());
    }
    EXPECT_EQ(printed, (std::vector<std::string>{"0 0 612.000000 1008.000000", "0 0 709.000000 1001.000000",
                                                 "0 0 459.000000 649.000000", "0 0 1191.000000 1684.000000"}));
}

// The chart's dotted line reaches a printer queue as dots of ink, never as lines
// of no length, which a chain that converts the job (to PostScript, say) drops.
TEST_F(PrinterQueueTest, TheChartsDottedLineReachesThePrinterWithoutLinesOfNoLength)
{
    startService({{"office"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    addLine(1000, 1500, 4000, 1500, -1);
    PrePrintForm& form = openPreview();
    form.CMDFUNC[1].click();
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    const auto drawings = support::pdfPageDrawings(jobs[0].document);
    ASSERT_EQ(drawings.size(), 1u);
    EXPECT_EQ(support::pdfShortSegments(drawings[0], 0.1), 0);
}

// The current printer starts as the desktop's default one: the PDF printer while
// there is none; once a queue is the default, that queue, and the print goes to it
// with no PDF file asked for.
TEST_F(PrinterQueueTest, TheDesktopsDefaultPrinterIsTheCurrentOne)
{
    startService({{"office"}, {"laser"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    EXPECT_EQ(defaultPrinterOnceKnown().deviceName(), forms::PdfPrinterName);

    // The next run of the program, after "laser" became the default.
    cups->setDefault("laser");
    forms::resetPrinterList();
    forms::resetCurrentPrinter();
    EXPECT_EQ(defaultPrinterOnceKnown().deviceName(), "laser");
    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    EXPECT_EQ(choice.Combo1.text(), "laser");
    choice.Command2.click();

    recordChart(0.5);
    PrePrintForm& form = openPreview();
    form.CMDFUNC[1].click();
    EXPECT_EQ(cups->storedJobs(1).size(), 1u);
    EXPECT_EQ(cups->jobCount("laser"), 1);
    EXPECT_EQ(cups->jobCount("office"), 0);
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_TRUE(answers.shown().empty());
}

// The printer choice asks for the list each time it opens: a queue added since
// shows once the list arrives, one deleted since is gone from it. A printer chosen before it was deleted
// stays current and is named as gone, in the choice and when printing to it.
TEST_F(PrinterQueueTest, ThePrinterListIsReadWhenTheChoiceWindowOpens)
{
    startService({{"office"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    EXPECT_EQ(listedOnceArrived(choice, {forms::PdfPrinterName, "office"}),
              (std::vector<std::string>{forms::PdfPrinterName, "office"}));
    choice.Combo1.setListIndex(1);
    choice.Command2.click();

    cups->addQueue({"new"});
    cups->deleteQueue("office");
    choice.show();
    const std::string gone = "office（プリンタが見つかりません）";
    EXPECT_EQ(listedOnceArrived(choice, {forms::PdfPrinterName, "new", gone}),
              (std::vector<std::string>{forms::PdfPrinterName, "new", gone}));
    EXPECT_EQ(choice.Combo1.text(), gone);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    // Its entry stands for it: picked again after another printer, it is current again.
    choice.Combo1.setListIndex(1);
    EXPECT_EQ(forms::printer().deviceName(), "new");
    choice.Combo1.setListIndex(2);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    choice.Command2.click();

    recordChart(0.5);
    PrePrintForm& form = openPreview();
    answers.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{std::string(printing::PrinterFailureQuestion)
                                                              + "\r\noffice\r\n（プリンタが見つかりません）"}));
    EXPECT_TRUE(dialogs.requests().empty()) << "a printer that has gone does not print to a PDF file";
}

// The printer choice opens at once while the service hangs, with the printers
// known so far: the PDF printer, current while the desktop's default printer is
// not known. Once the service answers, it lists the queues and shows the default
// one as the current printer, which a print then uses.
TEST_F(PrinterQueueTest, ThePrinterChoiceOpensWithoutWaitingAndFollowsTheListWhenItArrives)
{
    startService({{"office"}, {"laser"}}, "laser");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    cups->pause();
    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    EXPECT_EQ(listed(choice), (std::vector<std::string>{forms::PdfPrinterName}));
    EXPECT_EQ(choice.Combo1.text(), forms::PdfPrinterName);

    cups->resume();
    EXPECT_EQ(listedOnceArrived(choice, {forms::PdfPrinterName, "laser", "office"}),
              (std::vector<std::string>{forms::PdfPrinterName, "laser", "office"}));
    EXPECT_EQ(choice.Combo1.text(), "laser");
    choice.Command2.click();
    EXPECT_EQ(forms::printer().deviceName(), "laser");
}

// The list changes while the printer picked in the printer choice is being made
// current (the service is asked about it, the windows painting meanwhile): the
// choice shows the printer picked, not the one before it.
TEST_F(PrinterQueueTest, ThePrinterPickedIsShownWhenTheListChangesWhileItIsMadeCurrent)
{
    startService({{"office"}, {"laser"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    const std::vector<std::string> printers{forms::PdfPrinterName, "laser", "office"};
    ASSERT_EQ(listedOnceArrived(choice, printers), printers);
    ASSERT_EQ(choice.Combo1.text(), "office");

    // The service answers again once the list has changed, which happens while
    // the service is asked about the printer picked.
    cups->pause();
    QTimer::singleShot(0, [this, &printers] {
        forms::setPrinterList(printers);
        cups->resume();
    });
    choice.Combo1.setListIndex(1);
    EXPECT_EQ(forms::printer().deviceName(), "laser");
    EXPECT_EQ(choice.Combo1.text(), "laser");
    choice.Command2.click();
}

// Counts the turns of the event loop while a test waits on the program: a timer
// that fires only when the windows' events are being handled.
class EventLoopTurns {
public:
    EventLoopTurns()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { ++count; });
        m_timer.start(20);
    }
    int count = 0;

private:
    QTimer m_timer;
};

// The longest a call may take on a print service that hangs before the test
// takes it for a hang of the program: the program gives up after a few seconds.
constexpr qint64 HangCeilingMs = 15000;

// A print service that hangs (it takes connections and answers nothing): the
// preview asks whether to go on within a few seconds, naming the printer and
// that the service does not answer, and the windows kept handling their events
// meanwhile; no sends nothing. Once the service answers again, yes prints the
// chart once.
TEST_F(PrinterQueueTest, AHungPrintServiceIsNamedWithinSecondsWhileTheWindowsKeepAnswering)
{
    startService({{"office"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    recordChart(0.5);
    PrePrintForm& form = openPreview();
    const std::string silent = std::string(printing::PrinterFailureQuestion)
                               + "\r\noffice\r\n（印刷システムが応答しません）";

    cups->pause();
    EventLoopTurns turns;
    QElapsedTimer clock;
    qint64 askedAfter = -1;
    int turnsBeforeAsked = 0;
    ActingResponder user;
    user.beforeAnswer = [&](int box) {
        if (box == 0) {
            askedAfter = clock.elapsed();
            turnsBeforeAsked = turns.count;
        } else {
            cups->resume();   // put right before the second answer
        }
    };
    user.answerNext(platform::vbNo);
    clock.start();
    form.CMDFUNC[1].click();
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{silent}));
    EXPECT_GE(askedAfter, 0);
    EXPECT_LT(askedAfter, HangCeilingMs);
    EXPECT_GT(turnsBeforeAsked, 0) << "the windows' events waited for the print service";
    EXPECT_FALSE(forms::printer().isJobOpen());

    user.answerNext(platform::vbYes);
    form.CMDFUNC[1].click();
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{silent, silent}));
    const auto jobs = cups->storedJobs(1);
    EXPECT_EQ(jobs.size(), 1u);
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
}

// The service hangs while the pages are drawn, after the queue said it takes
// jobs: the finished job goes whole and no answer comes. The preview asks; yes,
// once the service answers again, waits for the answer to that job instead of
// sending it a second time: one job, whole.
TEST_F(PrinterQueueTest, AJobSentWholeToAHungServiceIsNeverSentTwice)
{
    startService({{"office"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    recordChart(3.5);   // four pages
    PrePrintForm& form = openPreview();
    forms::setPrintProgressDelay(0);
    WhenProgressShows pauser([this](QProgressDialog&) { cups->pause(); });

    ActingResponder user;
    user.beforeAnswer = [this](int) { cups->resume(); };
    user.answerNext(platform::vbYes);
    QElapsedTimer clock;
    clock.start();
    form.CMDFUNC[1].click();
    EXPECT_LT(clock.elapsed(), 2 * HangCeilingMs);
    EXPECT_TRUE(pauser.acted) << "the print ended before its progress showed";
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{std::string(printing::PrinterFailureQuestion)
                                                           + "\r\noffice\r\n（印刷システムが応答しません）"}));
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageCount(jobs[0].document), 4);
    EXPECT_TRUE(cups->storedJobs(2, std::chrono::milliseconds(1000)).size() == 1u) << "the job was sent twice";
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
}

// 印刷 while the service hangs before it said which printer is the desktop's
// default: the print asks it again and, once it is given up on, the preview asks
// whether to go on, naming the default printer as not answering, rather than
// printing to a PDF file; no prints nothing. Yes, once the service answers again,
// prints on the default printer, the pages laid out anew on its Letter paper.
TEST_F(PrinterQueueTest, APrintBeforeTheServiceNamedTheDefaultPrinterAsksAndNeverGoesToAFile)
{
    startService({{"office", "Letter"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    cups->pause();
    recordChart(0.5);
    PrePrintForm& form = openPreview();
    const double pageKnownSoFar = form.grid.PageW;
    const std::string silent = std::string(printing::PrinterFailureQuestion) + "\r\n" + forms::DefaultPrinterName
                               + "\r\n（印刷システムが応答しません）";

    ActingResponder user;
    user.beforeAnswer = [this](int box) {
        if (box == 1)
            cups->resume();   // put right before the second answer
    };
    user.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{silent}));
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";

    user.answerNext(platform::vbYes);
    form.CMDFUNC[1].click();
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{silent, silent}));
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].options.find("media=Letter"), std::string::npos) << jobs[0].options;
    EXPECT_EQ(cups->jobCount("office"), 1);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    EXPECT_NE(form.grid.PageW, pageKnownSoFar);
    EXPECT_EQ(form.grid.PageW, forms::printer().scaleWidth());
    EXPECT_EQ(leftInTemporaryFolder(), QStringList());
}

// The printer choice opened from the preview while the service hangs shows the
// printer standing in for the desktop's default one; its properties dialog is
// open when the service answers again. The default printer takes the current
// printer's place meanwhile, and the paper chosen in the dialog stays with the
// printer the dialog showed; the print goes to the default printer on its own
// paper.
TEST_F(PrinterQueueTest, TheDefaultPrinterArrivesWhileThePrinterStandingInForItShowsItsPropertiesDialog)
{
    startService({{"office", "Letter"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    cups->pause();
    recordChart(0.5);
    PrePrintForm& form = openPreview();
    std::string shownFor;
    bool arrived = false;
    forms::setPropertiesDialogHandler([&](forms::Printer& shown) {
        shownFor = shown.deviceName();
        cups->resume();
        arrived = QTest::qWaitFor([] { return forms::currentPrinterName() == "office"; }, ListArrivalCeilingMs);
        shown.setPaperSize(forms::vbPRPSA5);
    });
    forms::onShown("frmPrnSet", [](forms::Form& shown) {
        auto& choice = static_cast<FrmPrnSetForm&>(shown);
        choice.Command1.click();   // 詳細設定
        choice.Command2.click();
    });
    form.CMDFUNC[0].click();
    EXPECT_EQ(shownFor, forms::PdfPrinterName);
    EXPECT_TRUE(arrived);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSLetter);
    EXPECT_EQ(form.grid.PageW, forms::printer().scaleWidth());

    form.CMDFUNC[1].click();
    const auto jobs = cups->storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].options.find("media=Letter"), std::string::npos) << jobs[0].options;
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";
    EXPECT_TRUE(answers.shown().empty());

    forms::setCurrentPrinter(forms::PdfPrinterName);
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSA5) << "the paper chosen for the printer the dialog showed";
}

// The printer choice while the service hangs: picking a listed printer, opening
// the window again (the list cannot be read: once the service is given up on, the
// current printer is named as not answering) and picking the PDF printer each end
// within seconds, the windows handling their events meanwhile.
TEST_F(PrinterQueueTest, ThePrinterChoiceKeepsAnsweringWhileTheServiceHangs)
{
    startService({{"office"}, {"laser"}});
    SKIP_WITHOUT_PRINT_SERVICE(*cups);
    forms::setCurrentPrinter("office");
    FrmPrnSetForm& choice = frmprnset_form();
    choice.show();
    ASSERT_EQ(listedOnceArrived(choice, {forms::PdfPrinterName, "laser", "office"}),
              (std::vector<std::string>{forms::PdfPrinterName, "laser", "office"}));

    cups->pause();
    EventLoopTurns turns;
    QElapsedTimer clock;
    clock.start();
    choice.Combo1.setListIndex(1);
    EXPECT_LT(clock.elapsed(), HangCeilingMs);
    EXPECT_EQ(forms::printer().deviceName(), "laser");
    choice.Command2.click();

    clock.restart();
    choice.show();
    EXPECT_LT(clock.elapsed(), HangCeilingMs);
    const std::string silent = "laser（印刷システムが応答しません）";
    ASSERT_EQ(listedOnceArrived(choice, {forms::PdfPrinterName, silent}),
              (std::vector<std::string>{forms::PdfPrinterName, silent}));
    EXPECT_EQ(choice.Combo1.text(), silent);

    clock.restart();
    choice.Combo1.setListIndex(0);
    EXPECT_LT(clock.elapsed(), HangCeilingMs);
    EXPECT_EQ(forms::printer().deviceName(), forms::PdfPrinterName);
    EXPECT_GT(turns.count, 0) << "the windows' events waited for the print service";
    choice.Command2.click();
    cups->resume();
}

} // namespace
