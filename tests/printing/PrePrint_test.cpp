// The print preview window driven headless: opening with and without a printer,
// the scale and start-position boxes, the page pictures and their layout, the
// printer choice, printing to the PDF printer with and without printer errors,
// and the tables put back when the window closes.

#include "PrintingFixture.h"

#include "forms/ImageSurface.h"
#include "forms/Testing.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"
#include "support/SmallFilesOnly.h"
#include "support/qt/PdfFile.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using printing::PrePrintForm;
using printing::preprint_form;
using printing_test::PrintingFixture;

class PrePrintTest : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        model::tables() = model::Tables();
        model::tables().Cur_FilePath = home.path() + "/family.KEZ";
        pageW = forms::printer().scaleWidth();
        pageH = forms::printer().scaleHeight();
    }

    // A chart `across` pages wide and `down` pages high at 100 %.
    void recordChart(double across, double down)
    {
        addBox(1000, 1000, 1000 + across * pageW, 1500);
        addBox(1000, 1000, 1500, 1000 + down * pageH);
        addLine(1000, 1200, 1000 + across * pageW, 1200);
        addCaption("山田家", 2000, 2000, 3000, 600, 15);
    }

    PrePrintForm& open()
    {
        PrePrintForm& form = preprint_form();
        form.show();
        return form;
    }

    // Person 1 married to person 2 (marriage 1) and to person 3 (marriage 2): the
    // preview gives him a copy for the second marriage.
    static void marryTwice()
    {
        for (int k : {1, 2}) {
            model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(k)];
            m.InUse = model::SlotUsed;
            m.kou_mode = 0;
            m.kou_titi = 1;
            m.kou_haha = static_cast<int16_t>(k + 1);
        }
    }

    // True when a preview rebuild ran since the last call (it shows the hourglass).
    static bool rebuilt()
    {
        bool hourglass = false;
        for (const auto& change : forms::mousePointerChanges())
            hourglass = hourglass || change.pointer == forms::vbHourglass;
        forms::clearMousePointerChanges();
        return hourglass;
    }

    static void pressEnter(forms::TextBox& box)
    {
        int16_t key = 13;
        if (box.onKeyPress)
            box.onKeyPress(key);
    }

    double pageW = 0;
    double pageH = 0;
};

TEST_F(PrePrintTest, WithoutPrinterSaysSoAndClosesLeavingTheTablesAlone)
{
    forms::setPrinterList({});
    // A backup left over from an earlier use must not be copied over the family.
    layout::backupBufs().per_buf_bak[5].InUse = model::SlotUsed;
    layout::backupBufs().per_buf_bak[5].Name = "古い";
    answers.answerNext(platform::vbOK);
    preprint_form().show(forms::ShowMode::Modal);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, printing::NoPrinterMessage);
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_FALSE(preprint_form().isLoaded());
    EXPECT_FALSE(preprint_form().isHoldingTransforms());
    EXPECT_EQ(model::tables().per_buf[5].InUse, model::SlotFree);
}

struct ScaleCase {
    const char* name;
    float stored;
    const char* shown;
    float after;
};

void PrintTo(const ScaleCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpeningScale : public PrePrintTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(OpeningScale, OutOfRangeScaleOpensAtFullSize)
{
    const ScaleCase& c = GetParam();
    model::settings().Print_Scale = c.stored;
    model::settings().Print_TateYoko = 3;
    PrePrintForm& form = open();
    EXPECT_EQ(form.Text1.text(), c.shown);
    EXPECT_EQ(model::settings().Print_Scale, c.after);
    EXPECT_EQ(model::settings().Print_TateYoko, 0);
    EXPECT_EQ(form.caption(), printing::PrePrintCaption);
}

INSTANTIATE_TEST_SUITE_P(Stored, OpeningScale,
                         ::testing::Values(ScaleCase{"zero", 0.0f, "100", 1.0f},
                                           ScaleCase{"negative", -0.5f, "100", 1.0f},
                                           ScaleCase{"aboveFive", 5.5f, "100", 1.0f},
                                           ScaleCase{"five", 5.0f, "500", 5.0f},
                                           ScaleCase{"half", 0.5f, "50", 0.5f}),
                         [](const auto& info) { return info.param.name; });

TEST_F(PrePrintTest, PagePicturesGrowAndShrinkWithThePageGrid)
{
    recordChart(1.6, 0.6);   // 2 x 1 at 100 %
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.PagesX, 2);
    ASSERT_EQ(form.grid.PagesY, 1);
    EXPECT_EQ(form.Picture3.indexes(), (std::vector<int>{1, 2}));

    // At 200 %: 3.2 pages across and 1.2 down -> 4 x 2.
    form.Text1.setText("200");
    pressEnter(form.Text1);
    EXPECT_TRUE(rebuilt());
    EXPECT_EQ(form.grid.OldPagesX, 2);
    EXPECT_EQ(form.grid.PagesX, 4);
    EXPECT_EQ(form.grid.PagesY, 2);
    EXPECT_EQ(form.Picture3.count(), 8);
    // Page (2, 3) is element 7, in the third column of the second row.
    EXPECT_DOUBLE_EQ(form.Picture3[7].left(), printing::pageLeft(form.grid, 3));
    EXPECT_DOUBLE_EQ(form.Picture3[7].top(), printing::pageTop(form.grid, 2));
    EXPECT_DOUBLE_EQ(form.Picture3[7].width(), form.grid.PrevPageW);
    for (int index : form.Picture3.indexes())
        EXPECT_TRUE(form.Picture3[index].isVisible()) << index;

    form.Text1.setText("25");
    pressEnter(form.Text1);
    EXPECT_EQ(form.grid.pageCount(), 1);
    EXPECT_EQ(form.Picture3.indexes(), (std::vector<int>{1}));
}

TEST_F(PrePrintTest, ScaleBoxClampsRefusesTextAndIgnoresTheSameValue)
{
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    rebuilt();

    // Typed and entered as the user does.
    form.Text1.setText("");
    QTest::keyClicks(form.Text1.widget(), "600");
    QTest::keyClick(form.Text1.widget(), Qt::Key_Return);
    EXPECT_EQ(form.Text1.text(), "500");
    EXPECT_EQ(model::settings().Print_Scale, 5.0f);
    EXPECT_TRUE(rebuilt());

    form.Text1.setText("10");
    form.Text1.onLostFocus();
    EXPECT_EQ(form.Text1.text(), "25");
    EXPECT_EQ(model::settings().Print_Scale, 0.25f);
    EXPECT_TRUE(rebuilt());

    form.Text1.setText("25");
    pressEnter(form.Text1);
    EXPECT_FALSE(rebuilt());

    answers.answerNext(platform::vbOK);
    form.Text1.setText("abc");
    pressEnter(form.Text1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, printing::ScaleMessage);
    EXPECT_EQ(form.Text1.selStart(), 0);
    EXPECT_EQ(form.Text1.selLength(), 3);
    EXPECT_EQ(model::settings().Print_Scale, 0.25f);
    EXPECT_FALSE(rebuilt());
    EXPECT_EQ(model::tables().Data_Changed, 0);
}

TEST_F(PrePrintTest, StartPositionIsClampedOnLeavingAndAppliedOnEnter)
{
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    rebuilt();
    const double originX = form.grid.OriginX;

    form.Text2[0].setText("150");
    form.Text2[0].onLostFocus();
    EXPECT_EQ(form.Text2[0].text(), "100");
    EXPECT_FALSE(rebuilt());
    EXPECT_EQ(form.grid.OriginX, originX);

    form.Text2[1].setText("-5");
    pressEnter(form.Text2[1]);
    EXPECT_EQ(form.Text2[1].text(), "0");
    EXPECT_TRUE(rebuilt());
    // The horizontal 100 % left earlier now takes effect: the chart starts one page in.
    EXPECT_DOUBLE_EQ(form.grid.OriginX, originX + pageW);
    EXPECT_EQ(form.grid.PagesX, 2);

    answers.answerNext(platform::vbOK);
    form.Text2[0].setText("x");
    pressEnter(form.Text2[0]);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, printing::StartPositionMessage);
    EXPECT_FALSE(rebuilt());
}

TEST_F(PrePrintTest, SmallGridIsCentredAndAWideOneScrolls)
{
    recordChart(1.5, 0.5);
    PrePrintForm& form = open();   // showing the window lays it out
    EXPECT_FALSE(form.HScroll1.isVisible());
    EXPECT_FALSE(form.VScroll1.isVisible());
    EXPECT_DOUBLE_EQ(form.Picture2.left(), (form.Picture1.width() - form.Picture2.width()) / 2);
    EXPECT_DOUBLE_EQ(form.Picture2.top(), (form.Picture1.height() - form.Picture2.height()) / 2);

    form.Text1.setText("500");
    pressEnter(form.Text1);
    ASSERT_GT(form.Picture2.width(), form.Picture1.width());
    EXPECT_TRUE(form.HScroll1.isVisible());
    EXPECT_EQ(form.HScroll1.max(), printing::scrollMax(form.Picture2.width(), form.Picture1.width()));
    EXPECT_EQ(form.Picture2.left(), 0);
    form.HScroll1.setValue(3);
    EXPECT_EQ(form.Picture2.left(), -300);
}

TEST_F(PrePrintTest, PrintingAsksWhereThePdfGoesAndWritesEveryPageThere)
{
    recordChart(2.5, 0.5);   // three pages
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.pageCount(), 3);
    platform::writeWholeFile(home.path() + "/family.pdf", "an earlier print");
    const std::string chosen = home.path() + "/chosen.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(chosen));
    form.CMDFUNC[1].click();

    // Offered beside the family file, named after it, overwriting only when confirmed.
    ASSERT_EQ(dialogs.requests().size(), 1u);
    const forms::DialogRequest& asked = dialogs.requests()[0];
    EXPECT_EQ(asked.kind, forms::DialogKind::Save);
    EXPECT_EQ(asked.fileName, "family.pdf");
    EXPECT_EQ(asked.startDirectory, home.path());
    EXPECT_NE(asked.flags & forms::cdlOFNOverwritePrompt, 0);
    EXPECT_EQ(support::pdfPageSizes(chosen), std::vector<std::string>(3, support::PdfA4Portrait));
    EXPECT_EQ(platform::readWholeFile(home.path() + "/family.pdf"), "an earlier print");
    EXPECT_FALSE(platform::fileExists(chosen + ".part"));
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_DOUBLE_EQ(form.icon.Width, layout::chart().icon_w / 8);
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
    EXPECT_TRUE(answers.shown().empty());
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

// A print that takes its time shows the pages begun of all, with ｷｬﾝｾﾙ; the
// delay is cut to nothing so that this small chart counts as a long print.
TEST_F(PrePrintTest, LongPrintShowsItsPagesAndCancelLeavesNoPdf)
{
    recordChart(3.5, 0.5);   // four pages
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.pageCount(), 4);
    forms::setPrintProgressDelay(0);
    const std::string chosen = home.path() + "/chosen.pdf";

    // Watched to the end: every sheet after the first is counted, and the PDF is whole.
    std::vector<std::string> texts;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&texts] {
        if (QProgressDialog* dialog = shownProgress())
            texts.push_back(dialog->labelText().toStdString());
    });
    watcher.start(0);
    dialogs.answerNext(forms::DialogAnswer::file(chosen));
    form.CMDFUNC[1].click();
    watcher.stop();
    ASSERT_FALSE(texts.empty()) << "no progress window";
    EXPECT_EQ(texts.front(), "印刷しています　2 / 4 ページ");
    EXPECT_EQ(texts.back(), "印刷しています　4 / 4 ページ");
    EXPECT_EQ(support::pdfPageSizes(chosen).size(), 4u);
    EXPECT_EQ(shownProgress(), nullptr) << "the window goes with the print";
    platform::deleteFile(chosen);

    // ｷｬﾝｾﾙ pressed as soon as the window shows: nothing is left and nothing is said.
    bool pressed = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&pressed] {
        QProgressDialog* dialog = shownProgress();
        if (!dialog || pressed)
            return;
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == QString::fromUtf8("ｷｬﾝｾﾙ")) {
                QTest::mouseClick(button, Qt::LeftButton);
                pressed = true;
            }
        }
    });
    canceller.start(0);
    dialogs.answerNext(forms::DialogAnswer::file(chosen));
    form.CMDFUNC[1].click();
    canceller.stop();
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(platform::fileExists(chosen));
    EXPECT_EQ(QDir(QString::fromStdString(home.path())).entryList({"*.pdf*"}, QDir::Files), QStringList());
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
    EXPECT_EQ(shownProgress(), nullptr);
}

TEST_F(PrePrintTest, UnsavedFamilyIsOfferedInTheProgramFolderAndCancelPrintsNothing)
{
    model::tables().Cur_FilePath.clear();
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    form.CMDFUNC[1].click();

    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].fileName, "Tevora.pdf");
    EXPECT_EQ(dialogs.requests()[0].startDirectory, platform::GetAppPath());
    EXPECT_FALSE(platform::fileExists(platform::GetAppPath() + "/Tevora.pdf"));
    EXPECT_EQ(forms::printer().lastJobPageCount(), 0);
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_DOUBLE_EQ(form.icon.Width, layout::chart().icon_w / 8);
    EXPECT_TRUE(answers.shown().empty());
}

// A PDF file that cannot be written is named with why, whether its folder is missing,
// the pages do not fit (files that cannot grow, as on a full disk) or the name is a
// folder's.
TEST_F(PrePrintTest, FailedPrintSaysSoOnceNamingTheFileAndWhyAndLeavesNoFile)
{
    layout::chart().icon_w = 800;
    recordChart(1.5, 0.5);
    PrePrintForm& form = open();
    const auto failedWrite = [](const std::string& file, const char* reason) {
        return std::vector<std::string>{std::string(forms::PrinterErrorMessage) + "\r\n" + file + "\r\n（" + reason + "）"};
    };

    // A folder that does not exist: the job cannot begin.
    answers.answerNext(platform::vbOK);
    const std::string gone = home.path() + "/gone/family.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(gone));
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), failedWrite(gone, "フォルダーがありません"));
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_FALSE(platform::dirExists(home.path() + "/gone"));

    // Files that cannot grow: the pages are cut short, and the older print stays.
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    const std::string full = home.path() + "/full.pdf";
    platform::writeWholeFile(full, "older print");
    dialogs.answerNext(forms::DialogAnswer::file(full));
    support::withSmallFilesOnly([&] { form.CMDFUNC[1].click(); });
    EXPECT_EQ(answers.shownTexts(), failedWrite(full, "ファイルが大きすぎます"));
    EXPECT_EQ(platform::readWholeFile(full), "older print");
    EXPECT_FALSE(platform::fileExists(full + ".part"));

    // A name that is a folder: the pages are written, the file cannot take them.
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    const std::string folder = home.path() + "/taken.pdf";
    platform::makeDirs(folder);
    dialogs.answerNext(forms::DialogAnswer::file(folder));
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shownTexts(), failedWrite(folder, "書き込み先がフォルダーです"));
    EXPECT_FALSE(platform::fileExists(folder + ".part"));

    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
    EXPECT_DOUBLE_EQ(form.icon.Width, 100);   // back to one eighth
}

// Every person slot in use: the husband's second marriage gets no copy. The preview
// opens without a word (the chart's rebuild names what it leaves out), leaves out
// the same marriage as the chart while it is open, and gives the tables back.
TEST_F(PrePrintTest, ExpansionOutOfPersonSlotsLeavesTheSameMarriageOutOfThePreview)
{
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        addPerson(slot, "山田", std::to_string(slot));
    marryTwice();
    const model::Tables before = model::tables();
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();

    EXPECT_TRUE(answers.shown().empty());
    ASSERT_TRUE(form.isLoaded());
    EXPECT_EQ(model::tables().kou_buf[1].kou_titi, 1);
    EXPECT_EQ(model::tables().kou_buf[2].InUse, model::SlotFree);
    form.CMDEND.click();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_TRUE(model::tables().kou_buf == before.kou_buf);
    EXPECT_TRUE(model::tables().per_buf == before.per_buf);
}

TEST_F(PrePrintTest, TypedScaleGivingTooManyPagesIsNotTaken)
{
    model::settings().Print_Scale = 0.25f;
    recordChart(40.5, 40.5);   // 11 x 11 pages at 25 %
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.pageCount(), 121);
    rebuilt();

    answers.answerNext(platform::vbOK);
    form.Text1.setText("200");   // 82 x 82 pages
    pressEnter(form.Text1);
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{printing::TooManyPagesMessage});
    EXPECT_EQ(form.Text1.text(), "25");
    EXPECT_EQ(model::settings().Print_Scale, 0.25f);
    EXPECT_EQ(form.grid.pageCount(), 121);
    EXPECT_EQ(form.Picture3.count(), 121);
    EXPECT_TRUE(form.isLoaded());
}

TEST_F(PrePrintTest, StoredScaleGivingTooManyPagesOpensAtFullSize)
{
    model::settings().Print_Scale = 5.0f;
    recordChart(10.5, 10.5);   // 53 x 53 pages at 500 %, 11 x 11 at 100 %
    answers.answerNext(platform::vbOK);
    PrePrintForm& form = open();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{printing::TooManyPagesMessage});
    EXPECT_EQ(form.Text1.text(), "100");
    EXPECT_EQ(model::settings().Print_Scale, 1.0f);
    EXPECT_EQ(form.grid.pageCount(), 121);
}

TEST_F(PrePrintTest, ChartTooLargeEvenAtFullSizeIsNotOpened)
{
    addPerson(1, "山田", "太郎");
    recordChart(50.5, 50.5);   // 51 x 51 pages at 100 %
    const model::Tables before = model::tables();
    answers.answerNext(platform::vbOK);
    preprint_form().show(forms::ShowMode::Modal);
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{printing::TooManyPagesMessage});
    EXPECT_FALSE(preprint_form().isLoaded());
    EXPECT_FALSE(preprint_form().isHoldingTransforms());
    EXPECT_EQ(model::tables().per_buf[1].Name, "太郎");
}

TEST_F(PrePrintTest, PagePicturesAreDrawnWhenTheyComeIntoView)
{
    // A line through twelve pages, 1600 twips down: row 13 of every page picture.
    addBox(0, 0, 11.5 * pageW, 100);
    addLine(800, 1600, 11.4 * pageW, 1600);
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.PagesX, 12);
    const auto lineShows = [&](int index) {
        const forms::Picture picture = form.Picture3[index].image();
        forms::ImageSurface copy(picture.widthPixels(), picture.heightPixels());
        copy.paintPicture(picture, 0, 0);
        return copy.point(picture.widthPixels() / 5 * 15.0, 13 * 15.0) == 0;
    };
    EXPECT_TRUE(lineShows(1));
    ASSERT_TRUE(form.HScroll1.isVisible());
    EXPECT_FALSE(lineShows(12));   // beyond the viewport: not made yet

    form.HScroll1.setValue(form.HScroll1.max());
    EXPECT_TRUE(lineShows(12));
}

TEST_F(PrePrintTest, ClosingPutsTheTablesBackAsTheyWere)
{
    for (int slot : {1, 2, 3})
        addPerson(slot, "山田", std::to_string(slot));
    marryTwice();
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    // The husband of two marriages has a copy for the second one while the window is open.
    EXPECT_TRUE(form.isHoldingTransforms());
    EXPECT_EQ(model::tables().per_buf[4].InUse, model::SlotUsed);
    EXPECT_EQ(model::tables().kou_buf[2].kou_titi, 4);

    form.CMDEND.click();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(model::tables().per_buf[4].InUse, model::SlotFree);
    EXPECT_EQ(model::tables().kou_buf[2].kou_titi, 1);
}

TEST_F(PrePrintTest, PrinterChoiceRebuildsWithTheNewPage)
{
    forms::setPrinterList({forms::PdfPrinterName, "Landscape Printer"});
    forms::setPropertiesDialogHandler([](forms::Printer& p) { p.setOrientation(forms::vbPRORLandscape); });
    forms::showPrinterProperties("Landscape Printer", 0);
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    ASSERT_LT(form.grid.PageW, form.grid.PageH);
    rebuilt();

    forms::onShown("frmPrnSet", [](forms::Form& shown) {
        auto& choice = static_cast<printing::FrmPrnSetForm&>(shown);
        choice.Combo1.setListIndex(1);
        choice.Command2.click();
    });
    form.CMDFUNC[0].click();
    EXPECT_EQ(forms::printer().deviceName(), "Landscape Printer");
    EXPECT_TRUE(rebuilt());
    EXPECT_GT(form.grid.PageW, form.grid.PageH);
}

TEST_F(PrePrintTest, PreviewPagesShowTheirPartOfTheChart)
{
    // A line across the first page only, 1600 twips down: 200 twips (row 13) on
    // the page picture. The second page shows nothing of it.
    addBox(0, 0, 1.5 * pageW, 100);
    addLine(800, 1600, 0.9 * pageW, 1600);
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.PagesX, 2);
    const auto darkPixelsInRow = [&](int index, int row) {
        const forms::Picture picture = form.Picture3[index].image();
        forms::ImageSurface copy(picture.widthPixels(), picture.heightPixels());
        copy.paintPicture(picture, 0, 0);
        int dark = 0;
        for (int x = 0; x < picture.widthPixels(); ++x)
            dark += copy.point(x * 15.0, row * 15.0) == 0 ? 1 : 0;
        return dark;
    };
    EXPECT_GT(darkPixelsInRow(1, 13), 40);
    EXPECT_EQ(darkPixelsInRow(1, 30), 0);
    EXPECT_EQ(darkPixelsInRow(2, 13), 0);
}

TEST_F(PrePrintTest, FaceIconHolderIsFullSizeOnlyWhilePrinting)
{
    layout::chart().icon_w = 800;
    layout::chart().icon_h = 960;
    model::settings().Print_Scale = 2.0f;
    recordChart(0.5, 0.5);
    PrePrintForm& form = open();
    EXPECT_DOUBLE_EQ(form.Image1.width(), 200);
    EXPECT_DOUBLE_EQ(form.icon.Height, 240);
    EXPECT_FALSE(form.Image1.isVisible());
    dialogs.answerNext(forms::DialogAnswer::file(home.path() + "/family.pdf"));
    form.CMDFUNC[1].click();
    EXPECT_DOUBLE_EQ(form.Image1.width(), 200);
    EXPECT_DOUBLE_EQ(form.icon.Width, 200);
}

TEST_F(PrePrintTest, CoordinateClampFollowsThePageSetUp)
{
    PrePrintForm& form = open();
    EXPECT_EQ(form.CvR(1e7), printing::CoordinateLimit);
    EXPECT_EQ(form.CvR(-1e7), -printing::CoordinateLimit);
    EXPECT_EQ(form.CvR(1234.5), 1234.5);
}

TEST_F(PrePrintTest, ModalWindowOpensForTheCallerAndCloses)
{
    recordChart(0.5, 0.5);
    bool seen = false;
    forms::onShown("PrePrint", [&](forms::Form& shown) {
        seen = true;
        auto& form = static_cast<PrePrintForm&>(shown);
        EXPECT_TRUE(form.isShownModal());
        EXPECT_EQ(form.Picture3.count(), 1);
        form.CMDEND.click();
    });
    preprint_form().show(forms::ShowMode::Modal);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(preprint_form().isLoaded());
}

} // namespace
