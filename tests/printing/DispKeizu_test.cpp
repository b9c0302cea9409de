// The chart display window: the same page grid and printing as the print
// preview, with page (1, 1) always at the chart's top-left corner.

#include "PrintingFixture.h"

#include "platform/FileSystem.h"
#include "printing/DispKeizu.h"
#include "printing/PrePrint.h"
#include "support/qt/PdfFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using printing::dispkeizu_form;
using printing::preprint_form;
using printing_test::PrintingFixture;

class DispKeizuTest : public PrintingFixture {
protected:
    void SetUp() override
    {
        PrintingFixture::SetUp();
        pageW = forms::printer().scaleWidth();
        // A chart 0.8 pages wide starting at x = 3000.
        addBox(3000, 2000, 3000 + 0.8 * pageW, 2600);
    }
    double pageW = 0;
};

TEST_F(DispKeizuTest, StartPositionOfThePreviewDoesNotMoveItsPages)
{
    printing::PrePrintForm& preview = preprint_form();
    preview.show();
    preview.Text2[0].setText("50");
    int16_t enter = 13;
    preview.Text2[0].onKeyPress(enter);
    EXPECT_EQ(preview.grid.PagesX, 2);   // shifted half a page, the chart needs two
    preview.CMDEND.click();

    printing::DispKeizuForm& display = dispkeizu_form();
    display.show();
    EXPECT_EQ(display.caption(), printing::DispKeizuCaption);
    EXPECT_EQ(display.grid.PagesX, 1);
    EXPECT_EQ(display.grid.PagesY, 1);
    EXPECT_DOUBLE_EQ(display.grid.OriginX, -3000);
    EXPECT_DOUBLE_EQ(display.grid.OriginY, -2000);
    EXPECT_EQ(display.Picture3.indexes(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(display.Picture3[0].isVisible());
}

TEST_F(DispKeizuTest, SharesTheScaleWithThePreviewAndPrintsItsPages)
{
    printing::DispKeizuForm& display = dispkeizu_form();
    display.show();
    EXPECT_EQ(display.Text1.text(), "100");
    display.Text1.setText("300");
    int16_t enter = 13;
    display.Text1.onKeyPress(enter);
    EXPECT_EQ(model::settings().Print_Scale, 3.0f);
    EXPECT_EQ(display.grid.PagesX, 3);   // 2.4 pages across
    EXPECT_EQ(display.Picture3.indexes(), (std::vector<int>{0, 1, 2, 3}));

    const std::string pdf = home.path() + "/family.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(pdf));
    display.CMDFUNC[1].click();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].fileName, "family.pdf");
    EXPECT_EQ(support::pdfPageCount(pdf), 3);
    display.CMDEND.click();
    EXPECT_FALSE(display.isLoaded());

    preprint_form().show();
    EXPECT_EQ(preprint_form().Text1.text(), "300");
}

} // namespace
