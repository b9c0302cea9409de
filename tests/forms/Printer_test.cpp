// The Printer object printing to PDF files in a temporary folder: jobs, sheets,
// abandoned jobs, unwritable targets, page set-up, the choice of the current
// printer and the look of patterned lines on paper. No real printer is needed.

#include "forms/ImageSurface.h"
#include "forms/Picture_p.h"
#include "forms/Printer.h"
#include "forms/Printers.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/qt/PdfFile.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using forms::Printer;

using support::pdfPageCount;

class PrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        forms::setPrinterList({forms::PdfPrinterName, "Office Printer"});
        forms::resetCurrentPrinter();
    }
    void TearDown() override
    {
        forms::setPropertiesDialogHandler(nullptr);
        forms::resetCurrentPrinter();
        forms::resetPrinterList();
    }

    std::string path(const std::string& name) const { return folder.path().toStdString() + "/" + name; }

    QTemporaryDir folder;
};

TEST_F(PrinterTest, JobWritesOnePdfPageForEverySheet)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("chart.pdf"));
    EXPECT_FALSE(printer.isJobOpen());
    printer.line(100, 100, 2000, 2000);
    EXPECT_EQ(printer.page(), 1);
    printer.newPage();
    printer.print("二枚目");
    printer.newPage();
    EXPECT_EQ(printer.page(), 3);
    EXPECT_FALSE(platform::fileExists(path("chart.pdf")));   // written only when the job ends
    printer.endDoc();

    EXPECT_FALSE(printer.isJobOpen());
    EXPECT_EQ(printer.lastJobPageCount(), 3);
    ASSERT_TRUE(platform::fileExists(path("chart.pdf")));
    EXPECT_EQ(platform::readWholeFile(path("chart.pdf")).substr(0, 4), "%PDF");
    EXPECT_EQ(pdfPageCount(path("chart.pdf")), 3);
    EXPECT_FALSE(platform::fileExists(path("chart.pdf.part")));
}

// A PDF file chosen through a symbolic link is written where the link leads; the link
// stays and no temporary file is left beside either.
TEST_F(PrinterTest, APdfThroughALinkWritesTheFileItLeadsTo)
{
    platform::writeWholeFile(path("real.pdf"), "older print");
    ASSERT_EQ(::symlink("real.pdf", path("link.pdf").c_str()), 0);
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("link.pdf"));
    printer.line(100, 100, 2000, 2000);
    printer.endDoc();

    EXPECT_EQ(platform::readWholeFile(path("real.pdf")).substr(0, 4), "%PDF");
    struct stat st {};
    ASSERT_EQ(::lstat(path("link.pdf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
    EXPECT_FALSE(platform::fileExists(path("link.pdf.part")));
    EXPECT_FALSE(platform::fileExists(path("real.pdf.part")));
}

// The PDF is written under its own partial file alone: no partial file of a partial
// file is made (a folder stands where one would go), and the file it replaces keeps
// its permission bits.
TEST_F(PrinterTest, APdfIsWrittenUnderItsOwnPartialFileAndKeepsThePermissionsOfTheFileItReplaces)
{
    platform::writeWholeFile(path("chart.pdf"), "older print");
    ASSERT_EQ(::chmod(path("chart.pdf").c_str(), 0604), 0);
    platform::makeDir(platform::partialFileName(platform::partialFileName(path("chart.pdf"))));
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("chart.pdf"));
    printer.line(100, 100, 2000, 2000);
    printer.endDoc();

    EXPECT_EQ(platform::readWholeFile(path("chart.pdf")).substr(0, 4), "%PDF");
    struct stat st {};
    ASSERT_EQ(::stat(path("chart.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_FALSE(platform::fileExists(path("chart.pdf.part")));
}

TEST_F(PrinterTest, EndDocWithoutAJobWritesNothing)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("none.pdf"));
    printer.setForeColor(0xFF);
    printer.setClipRect({0, 0, 10, 10});   // kept for the next job, not a job of its own
    printer.endDoc();
    EXPECT_FALSE(platform::fileExists(path("none.pdf")));
    EXPECT_EQ(printer.lastJobPageCount(), 0);
}

TEST_F(PrinterTest, KillDocLeavesTheEarlierPrintWhole)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("chart.pdf"));
    printer.line(0, 0, 1000, 1000);
    printer.endDoc();
    const std::string first = platform::readWholeFile(path("chart.pdf"));

    printer.setOutputFileName(path("chart.pdf"));
    printer.line(0, 0, 500, 500);
    printer.newPage();
    printer.killDoc();
    EXPECT_FALSE(printer.isJobOpen());
    EXPECT_EQ(platform::readWholeFile(path("chart.pdf")), first);
    EXPECT_FALSE(platform::fileExists(path("chart.pdf.part")));
}

TEST_F(PrinterTest, FileIsChosenForOneJobOnly)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("chart.pdf"));
    printer.line(0, 0, 1000, 1000);
    printer.endDoc();
    EXPECT_EQ(pdfPageCount(path("chart.pdf")), 1);
    EXPECT_EQ(printer.outputFileName(), "");

    // A second job without a file of its own goes nowhere rather than over the first.
    const std::string first = platform::readWholeFile(path("chart.pdf"));
    EXPECT_THROW(printer.startDoc(), platform::RuntimeError);
    EXPECT_FALSE(printer.isJobOpen());
    EXPECT_EQ(platform::readWholeFile(path("chart.pdf")), first);
}

TEST_F(PrinterTest, UnwritableTargetIsAPrinterErrorAndLeavesNoFile)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("missing-folder/chart.pdf"));
    try {
        printer.startDoc();
        FAIL() << "a job into a missing folder began";
    } catch (const platform::RuntimeError& error) {
        EXPECT_EQ(error.number, platform::err::PrinterError);
    }
    EXPECT_FALSE(printer.isJobOpen());
    EXPECT_THROW(printer.line(0, 0, 10, 10), platform::RuntimeError);
    EXPECT_FALSE(platform::dirExists(path("missing-folder")));
}

TEST_F(PrinterTest, PageSetUpDecidesThePrintableArea)
{
    Printer printer(forms::PdfPrinterName);
    EXPECT_DOUBLE_EQ(printer.twipsPerPixelX(), 2.4);
    const double portraitW = printer.scaleWidth();
    const double portraitH = printer.scaleHeight();
    // A4 less the margins: a little under 8.27 x 11.69 inches.
    EXPECT_GT(portraitW, 9000);
    EXPECT_LT(portraitW, 11906);
    EXPECT_GT(portraitH, portraitW);

    printer.setOrientation(forms::vbPRORLandscape);
    EXPECT_GT(printer.scaleWidth(), printer.scaleHeight());
    EXPECT_NEAR(printer.scaleWidth(), portraitH, 2 * 2.4 * 100);

    printer.setOrientation(forms::vbPRORPortrait);
    printer.setPaperSize(forms::vbPRPSA3);
    EXPECT_GT(printer.scaleWidth(), portraitW * 1.3);

    EXPECT_THROW(printer.setPaperSize(77), platform::RuntimeError);
    EXPECT_THROW(printer.setOrientation(0), platform::RuntimeError);
    EXPECT_EQ(printer.paperSize(), forms::vbPRPSA3);
}

TEST_F(PrinterTest, PageSetUpChangedInsideAJobWaitsForTheNextJob)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("chart.pdf"));
    const double width = printer.scaleWidth();
    printer.line(0, 0, 10, 10);
    printer.setOrientation(forms::vbPRORLandscape);
    EXPECT_DOUBLE_EQ(printer.scaleWidth(), width);
    printer.endDoc();
    EXPECT_GT(printer.scaleWidth(), printer.scaleHeight());
}

TEST_F(PrinterTest, CurrentPrinterIsTheFirstOfTheListUntilOneIsChosen)
{
    EXPECT_EQ(forms::printer().deviceName(), forms::PdfPrinterName);
    forms::setCurrentPrinter("Office Printer");
    EXPECT_EQ(forms::printer().deviceName(), "Office Printer");
    // A name the print service does not know is no PDF file: a job on it is
    // refused, naming the printer, and nothing is written.
    EXPECT_FALSE(forms::printer().isPdfPrinter());
    forms::printer().setOutputFileName(path("office.pdf"));
    try {
        forms::printer().line(0, 0, 10, 10);
        ADD_FAILURE() << "the job began";
    } catch (const forms::PrintSystemError& error) {
        EXPECT_EQ(error.printer, "Office Printer");
        EXPECT_EQ(error.number, platform::err::PrinterError);
    }
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_FALSE(platform::fileExists(path("office.pdf")));

    forms::resetCurrentPrinter();
    forms::setPrinterList({});
    EXPECT_EQ(forms::printer().deviceName(), forms::PdfPrinterName);
}

TEST_F(PrinterTest, PropertiesChosenForAPrinterStayWithItsName)
{
    std::string shownFor;
    forms::setPropertiesDialogHandler([&](Printer& printer) {
        shownFor = printer.deviceName();
        printer.setOrientation(forms::vbPRORLandscape);
        printer.setPaperSize(forms::vbPRPSB5);
    });
    forms::showPrinterProperties("Office Printer", 0);
    EXPECT_EQ(shownFor, "Office Printer");
    // The current printer was another one and keeps its set-up.
    EXPECT_EQ(forms::printer().orientation(), forms::vbPRORPortrait);

    forms::setCurrentPrinter("Office Printer");
    EXPECT_EQ(forms::printer().orientation(), forms::vbPRORLandscape);
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSB5);

    // On the current printer the dialog changes that very object.
    forms::setPropertiesDialogHandler([](Printer& printer) { printer.setOrientation(forms::vbPRORPortrait); });
    forms::showPrinterProperties("Office Printer", 0);
    EXPECT_EQ(forms::printer().orientation(), forms::vbPRORPortrait);
}

// The pixels a drawing inks (darker than mid-grey), from the top left of the ink.
std::vector<std::pair<int, int>> inkedPixels(const QImage& image)
{
    std::vector<std::pair<int, int>> inked;
    int left = image.width();
    int top = image.height();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                inked.emplace_back(x, y);
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
    }
    for (auto& pixel : inked)
        pixel = {pixel.first - left, pixel.second - top};
    std::sort(inked.begin(), inked.end());
    return inked;
}

// Patterned lines print as the dots the screen shows: every dot is ink of its own
// on the page, never a line of no length (which a printing chain drops), dot for
// dot where an image surface of the printer's resolution puts it.
TEST_F(PrinterTest, PatternedLinesPrintAsTheDotsTheScreenShows)
{
    Printer printer(forms::PdfPrinterName);
    printer.setOutputFileName(path("dots.pdf"));
    forms::ImageSurface screen(600, 520, forms::PrinterDotsPerInch);
    const double dot = printer.twipsPerPixelX();
    for (forms::Surface* surface : std::vector<forms::Surface*>{&printer, &screen}) {
        for (int style = forms::DrawStyle::Dash; style <= forms::DrawStyle::DashDotDot; ++style) {
            surface->setDrawStyle(style);
            surface->line(10 * dot, (20 + 20 * style) * dot, 400 * dot, (20 + 20 * style) * dot);
            surface->line((420 + 20 * style) * dot, 10 * dot, (420 + 20 * style) * dot, 400 * dot);
            surface->line(10 * dot, (150 + 40 * style) * dot, 400 * dot, (300 + 40 * style) * dot);
        }
        surface->line(50 * dot, 420 * dot, 300 * dot, 480 * dot, 0, forms::LineShape::Box);
    }
    printer.endDoc();

    if (!support::canRenderPdfPages())
        GTEST_SKIP() << "pdftoppm (poppler) is not installed: the page cannot be seen";
    const QImage page = support::renderPdfPage(path("dots.pdf"), forms::PrinterDotsPerInch, 800, 700);
    ASSERT_FALSE(page.isNull());
    for (const std::string& drawing : support::pdfPageDrawings(path("dots.pdf")))
        EXPECT_EQ(support::pdfShortSegments(drawing, 0.1), 0);
    const auto onScreen = inkedPixels(forms::pictureImage(screen.image()));
    EXPECT_GT(onScreen.size(), 1000u);
    EXPECT_TRUE(inkedPixels(page) == onScreen) << inkedPixels(page).size() << " pixels inked on the page, "
                                                << onScreen.size() << " on the screen";
}

} // namespace
