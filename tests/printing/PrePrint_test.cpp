// The print preview window driven headless: opening with and without a printer,
// the scale and start-position boxes, the page pictures and their layout, the
// printer choice, printing to the PDF printer with and without printer errors,
// and the tables put back when the window closes.

#include "PrintingFixture.h"

#include "forms/ImageSurface.h"
#include "forms/Testing.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "printing/FrmPrnSet.h"
#include "printing/PrePrint.h"

#include <QTest>

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

TEST_F(PrePrintTest, PrintingWritesEveryPageBesideTheFamily)
{
    recordChart(2.5, 0.5);   // three pages
    PrePrintForm& form = open();
    ASSERT_EQ(form.grid.pageCount(), 3);
    form.CMDFUNC[1].click();

    const std::string pdf = home.path() + "/family.pdf";
    EXPECT_EQ(printing::pdfPathForFamily(), pdf);
    EXPECT_TRUE(platform::fileExists(pdf));
    EXPECT_EQ(forms::printer().lastJobPageCount(), 3);
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_EQ(model::settings().Print_Flag, 0);
    EXPECT_DOUBLE_EQ(form.icon.Width, layout::chart().icon_w / 8);
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
    EXPECT_TRUE(answers.shown().empty());
}

// Answers like the scripted responder and notes the printing flag at each question.
class FlagSpy : public support::ScriptedResponder {
public:
    int msgBox(const std::string& text, int style, const std::string& title) override
    {
        flagsAtQuestions.push_back(model::settings().Print_Flag);
        return ScriptedResponder::msgBox(text, style, title);
    }
    std::vector<int16_t> flagsAtQuestions;
};

TEST_F(PrePrintTest, PrinterErrorAnsweredNoAbandonsTheJob)
{
    layout::chart().icon_w = 800;
    recordChart(1.5, 0.5);
    model::tables().Cur_FilePath = home.path() + "/gone/family.KEZ";   // the PDF cannot be written
    PrePrintForm& form = open();
    FlagSpy spy;
    spy.answerNext(platform::vbNo);
    form.CMDFUNC[1].click();

    ASSERT_EQ(spy.shown().size(), 1u);
    EXPECT_EQ(spy.shown()[0].text, printing::PrinterErrorQuestion);
    EXPECT_EQ(spy.shown()[0].style, platform::vbYesNo);
    EXPECT_EQ(spy.shown()[0].title, printing::PrinterErrorTitle);
    EXPECT_EQ(spy.flagsAtQuestions, (std::vector<int16_t>{1}));   // asked from inside the loop
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_EQ(model::settings().Print_Flag, 0);
    EXPECT_EQ(forms::screen().mousePointer(), forms::vbDefault);
    EXPECT_DOUBLE_EQ(form.icon.Width, 800);   // full size until the next set-up
}

TEST_F(PrePrintTest, PrinterErrorAnsweredYesGoesOnToTheEnd)
{
    recordChart(1.5, 0.5);
    model::tables().Cur_FilePath = home.path() + "/gone/family.KEZ";
    PrePrintForm& form = open();
    // Every step that needs the job fails again; each is asked about and passed
    // over: the start of the job and the second sheet.
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbYes);
    form.CMDFUNC[1].click();
    EXPECT_EQ(answers.shown().size(), 2u);
    EXPECT_FALSE(forms::printer().isJobOpen());
    EXPECT_EQ(model::settings().Print_Flag, 0);
    EXPECT_FALSE(platform::fileExists(home.path() + "/gone/family.pdf"));
}

TEST_F(PrePrintTest, ClosingPutsTheTablesBackAsTheyWere)
{
    for (int slot : {1, 2, 3})
        addPerson(slot, "山田", std::to_string(slot));
    for (int k : {1, 2}) {
        model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(k)];
        m.InUse = model::SlotUsed;
        m.kou_mode = 0;
        m.kou_titi = 1;
        m.kou_haha = static_cast<int16_t>(k + 1);
    }
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
