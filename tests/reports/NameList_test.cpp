// The name list: which persons get a row, the table's geometry, what the rows draw,
// the paging of the printed list, and the window driven headless (its scroll bar
// for short and very long lists, printing through the PDF printer and on a printer
// queue, and the printer checks).

#include "ReportsFixture.h"

#include "LayoutFamilies.h"
#include "forms/Picture.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "forms/RecordingSurface.h"
#include "layout/chart_state.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/NameList.h"
#include "reports/nametb.h"
#include "reports/reports_state.h"
#include "support/PrivateCups.h"
#include "support/qt/PdfFile.h"
#include "support/qt/ScriptedDialogs.h"
#include "WheelTurn.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using reports_test::ReportsFixture;

class NameListTest : public ReportsFixture {
protected:
    void TearDown() override
    {
        if (nametb_form().isLoaded())
            nametb_form().unload();
        forms::resetCurrentPrinter();
        forms::resetPrinterList();
    }

    // The all-trees tab (tree_cnt + 1) lists everybody; the new-entry tab nobody.
    void showAllTreesTab()
    {
        layout::chart().tree_cnt = 0;
        layout::chart().sel_tree = 1;
    }
    void showNewEntryTab()
    {
        layout::chart().tree_cnt = 0;
        layout::chart().sel_tree = 0;
    }

    void addPersons(int count)
    {
        for (int i = 0; i < count; ++i)
            addPerson("姓" + std::to_string(i), "名", static_cast<int16_t>(i % 2));
    }

    static std::vector<std::string> printedTexts(const forms::RecordingSurface& surface)
    {
        std::vector<std::string> texts;
        for (const auto& call : surface.callsNamed("Print"))
            texts.push_back(call.text);
        return texts;
    }
};

TEST_F(NameListTest, GeometryRoundsEachEdgeBeforeTheNext)
{
    // 6375 / 16 = 398.4375; 15 * 6375 / 16 = 5976.5625; D = 5579;
    // 398 + 2D/9 = 1637.78; 1638 + D/9 = 2257.89; 2258 + D/3 = 4117.67; 6405 / 10 = 640.5.
    const reports::NameListGeometry g = reports::nameListGeometry(6375, 6405);
    EXPECT_EQ(g.x1, 398);
    EXPECT_EQ(g.x5, 5977);
    EXPECT_EQ(g.x2, 1638);
    EXPECT_EQ(g.x3, 2258);
    EXPECT_EQ(g.x4, 4118);
    EXPECT_EQ(g.top, 640);   // half to even
}

TEST_F(NameListTest, RowsAreThePersonsOnTheSelectedTreeInSlotOrder)
{
    layouttest::FamilyBuilder family;
    const int16_t first = family.couple();
    const int16_t child = family.person(layouttest::FamilyBuilder::Male);
    family.child(first, child);
    const int16_t second = family.couple();   // a family of its own: the second tree
    const int16_t loner = family.person(layouttest::FamilyBuilder::Female);
    layouttest::layOut(first);
    ASSERT_GE(layout::chart().tree_cnt, 2);

    auto listed = [] {
        std::vector<int> found;
        for (int slot = 1; slot <= model::LastSlot; ++slot) {
            if (reports::isOnNameList(slot))
                found.push_back(slot);
        }
        return found;
    };
    const auto& kou = model::tables().kou_buf;
    layout::chart().sel_tree = 0;
    EXPECT_EQ(listed(), (std::vector<int>{kou[first].kou_titi, kou[first].kou_haha, child}));
    layout::chart().sel_tree = 1;
    EXPECT_EQ(listed(), (std::vector<int>{kou[second].kou_titi, kou[second].kou_haha}));
    layout::chart().sel_tree = static_cast<int16_t>(layout::chart().tree_cnt + 1);
    EXPECT_EQ(listed().size(), 6u);
    EXPECT_EQ(listed().back(), loner);
    layout::chart().sel_tree = layout::chart().tree_cnt;
    EXPECT_TRUE(listed().empty());
}

TEST_F(NameListTest, FreeSlotsAreNeverListed)
{
    showAllTreesTab();
    addPerson("山田", "太郎", 0).InUse = model::SlotFree;
    EXPECT_FALSE(reports::isOnNameList(1));
    EXPECT_FALSE(reports::isOnNameList(0));
}

TEST_F(NameListTest, CellsJoinTheNamesAndNameTheSex)
{
    auto& man = addPerson("山田", "太郎", 0);
    man.B_day = "昭和10年01月02日";
    man.Death_day = "平成01年01月08日";
    addPerson("佐藤", "", 1);
    addPerson("鈴木", "x", 5);
    EXPECT_EQ(reports::nameListCells(1),
              (std::array<std::string, 4>{"山田太郎", "男", "昭和10年01月02日", "平成01年01月08日"}));
    EXPECT_EQ(reports::nameListCells(2), (std::array<std::string, 4>{"佐藤", "女", "", ""}));
    EXPECT_EQ(reports::nameListCells(3)[1], "女");
}

TEST_F(NameListTest, RowDrawsItsRulesAndTextsInsideItsColumns)
{
    addPerson("山田", "太郎", 0).B_day = "b";
    forms::RecordingSurface surface;
    const auto g = reports::nameListGeometry(6375, 6405);
    const double bottom = reports::drawNameListRow(surface, g, 1000, reports::ScreenNameList, 1);
    EXPECT_EQ(bottom, 1250);
    for (const auto& line : surface.callsNamed("Line")) {
        ASSERT_EQ(line.numbers.size(), 4u);
        for (double x : {line.numbers[0], line.numbers[2]})
            EXPECT_TRUE(x >= g.x1 && x <= g.x5) << x;
        for (double y : {line.numbers[1], line.numbers[3]})
            EXPECT_TRUE(y >= 1000 && y <= 1250) << y;
    }
    EXPECT_EQ(surface.callsNamed("Line").size(), 6u);   // x1, x5, x2, x3, x4, bottom
    EXPECT_EQ(printedTexts(surface), (std::vector<std::string>{"山田太郎", "男", "b", ""}));
    // Texts start a tenth into their columns, an eighth of a row below its top.
    EXPECT_EQ(surface.callsNamed("CurrentX").size(), 4u);
    const auto xs = surface.callsNamed("CurrentX");
    const auto ys = surface.callsNamed("CurrentY");
    EXPECT_DOUBLE_EQ(xs[0].numbers.at(0), g.x1 + (g.x2 - g.x1) / 10.0);
    EXPECT_DOUBLE_EQ(xs[3].numbers.at(0), g.x4 + (g.x5 - g.x4) / 10.0);
    EXPECT_DOUBLE_EQ(ys[0].numbers.at(0), 1000 + 250.0 / 8);
}

// Pages of the printed list for a number of listed persons: the persons on each
// page, in order, and the page count.
struct PagingCase {
    int persons;
    std::vector<int> perPage;
};

std::ostream& operator<<(std::ostream& os, const PagingCase& c) { return os << c.persons << " persons"; }

class NameListPaging : public NameListTest, public ::testing::WithParamInterface<PagingCase> {};

TEST_P(NameListPaging, PrintsTwentyNinePersonsAPageAndNoEmptyPage)
{
    const PagingCase& c = GetParam();
    showAllTreesTab();
    addPersons(c.persons);
    forms::RecordingSurface page;
    std::vector<size_t> breaks;   // index into the recorded calls where each new page starts
    const int pages = reports::printNameListPages(page, [&] { breaks.push_back(page.calls().size()); });
    EXPECT_EQ(pages, static_cast<int>(c.perPage.size()));
    ASSERT_EQ(breaks.size(), c.perPage.size() - 1);

    // Count the person rows on each page by their sex cell.
    std::vector<int> perPage(1, 0);
    size_t next = 0;
    for (size_t i = 0; i < page.calls().size(); ++i) {
        if (next < breaks.size() && i == breaks[next]) {
            perPage.push_back(0);
            ++next;
        }
        const auto& call = page.calls()[i];
        if (call.name == "Print" && (call.text == "男" || call.text == "女"))
            ++perPage.back();
    }
    EXPECT_EQ(perPage, c.perPage);

    // The title once, at 15 pt, before everything else at 12 pt.
    const auto texts = printedTexts(page);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "名                簿");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), texts[0]), 1);
    const auto sizes = page.callsNamed("FontSize");
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].numbers.at(0), 15);
    EXPECT_EQ(sizes.back().numbers.at(0), 12);

    // The list ends with the heavy closing line under the last row.
    const auto lines = page.callsNamed("Line");
    const auto g = reports::nameListGeometry(page.scaleWidth(), page.scaleHeight());
    const double lastBottom = g.top + 400.0 * (1 + c.perPage.back());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().numbers, (std::vector<double>{double(g.x1), lastBottom, double(g.x5), lastBottom}));
    EXPECT_EQ(page.drawWidth(), 2);
}

INSTANTIATE_TEST_SUITE_P(Counts, NameListPaging,
                         ::testing::Values(PagingCase{0, {0}}, PagingCase{1, {1}}, PagingCase{28, {28}},
                                           PagingCase{29, {29}}, PagingCase{30, {29, 1}},
                                           PagingCase{58, {29, 29}}, PagingCase{59, {29, 29, 1}}),
                         [](const auto& info) { return "Persons" + std::to_string(info.param.persons); });

TEST_F(NameListTest, SlotBelowTheBlankPartnerIsTheLastOnPaper)
{
    showAllTreesTab();
    model::personal_data& blank = model::tables().per_buf[model::BlankPartner];
    blank.InUse = model::SlotUsed;
    blank.Sex = 0;
    forms::RecordingSurface page;
    reports::printNameListPages(page, [] {});
    const auto texts = printedTexts(page);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string("男")), 0);
    EXPECT_TRUE(reports::isOnNameList(model::BlankPartner));
}

class NametbWindowTest : public NameListTest {
protected:
    NametbForm& form() { return nametb_form(); }

    support::ScriptedDialogs dialogs;
};

TEST_F(NametbWindowTest, ShortListLeavesTheScrollBarOff)
{
    showNewEntryTab();
    addPersons(30);   // in the family, but not on the tab
    form().load();
    EXPECT_EQ(form().caption(), "名簿画面");
    EXPECT_FALSE(form().VScroll1.isEnabled());
    // The first height counts every person of the family.
    EXPECT_DOUBLE_EQ(form().Picture2.height(), 32 * 250 + 6405 / 10.0);
    EXPECT_EQ(form().rowBottom, form().geometry.top + 250);   // the heading row only
}

TEST_F(NametbWindowTest, LongListScrollsTwipByTwip)
{
    showAllTreesTab();
    addPersons(40);
    form().load();
    ASSERT_TRUE(form().VScroll1.isEnabled());
    const double content = 640 + 41 * 250 + 6405 / 18.0;
    EXPECT_NEAR(form().Picture2.height(), content, 15);   // heights keep whole pixels
    EXPECT_EQ(form().VScroll1.max(), static_cast<int>(form().Picture2.height() - 6405));
    EXPECT_EQ(form().VScroll1.smallChange(), 100);
    EXPECT_EQ(form().VScroll1.largeChange(), 500);
    form().VScroll1.setValue(300);
    EXPECT_NEAR(form().Picture2.top(), -300, 15);
}

// The wheel over the list scrolls it three rows a notch.
TEST_F(NametbWindowTest, TheWheelScrollsTheListThreeRowsANotch)
{
    showAllTreesTab();
    addPersons(40);
    form().show();
    ASSERT_TRUE(form().VScroll1.isEnabled());
    turnWheelOver(form().Picture2, form().Picture1, 1);
    EXPECT_EQ(form().VScroll1.value(), 3 * 250);
    EXPECT_NEAR(form().Picture2.top(), -3 * 250, 15);
    turnWheelOver(form().Picture2, form().Picture1, -5);
    EXPECT_EQ(form().VScroll1.value(), 0);
    form().unload();
}

TEST_F(NametbWindowTest, VeryLongListReachesItsLastRowBeyondTheScrollRange)
{
    showAllTreesTab();
    addPersons(1000);
    form().load();
    ASSERT_TRUE(form().VScroll1.isEnabled());
    const double excess = form().Picture2.height() - 6405;
    ASSERT_GT(excess, 32767);
    EXPECT_EQ(form().VScroll1.max(), 32767);
    EXPECT_DOUBLE_EQ(form().scrollStep, excess / 32767);
    form().VScroll1.setValue(32767);
    EXPECT_NEAR(form().Picture2.top(), -excess, 15);
    // The last row lies inside the frame when scrolled to the end.
    EXPECT_LE(form().rowBottom + form().Picture2.top(), 6405);
}

TEST_F(NametbWindowTest, ScreenTableIsRuledRowByRowOnTheWhiteSurface)
{
    showAllTreesTab();
    addPersons(2);
    form().load();
    const double top = form().geometry.top;
    EXPECT_EQ(form().rowBottom, top + 3 * 250);
    const std::string bmp = home.path() + "/list.bmp";
    forms::SavePicture(form().Picture2.image(), bmp);
    const QImage image(QString::fromStdString(bmp));
    ASSERT_FALSE(image.isNull());
    const auto dark = [&](double xTwips, double yTwips) {
        const QColor c = image.pixelColor(static_cast<int>(xTwips / 15), static_cast<int>(yTwips / 15));
        return c.lightness() < 128;
    };
    const double middle = (form().geometry.x1 + form().geometry.x5) / 2.0;
    for (int row = 0; row <= 3; ++row)
        EXPECT_TRUE(dark(middle, top + row * 250)) << "rule under row " << row;
    EXPECT_FALSE(dark(middle, top + 3 * 250 + 120));   // nothing below the closing line
    EXPECT_FALSE(dark(form().geometry.x5 + 150, top + 300));   // nothing right of the table
}

// A name longer than its column stops at the column's rule, on screen as on
// paper: the strip of the sex column before its text stays white.
TEST_F(NametbWindowTest, LongNameIsCutAtItsColumn)
{
    showAllTreesTab();
    addPerson("寿限無寿限無五劫の擦り切れ", "海砂利水魚の水行末雲来末風来末", 0);
    form().load();
    const std::string bmp = home.path() + "/list.bmp";
    forms::SavePicture(form().Picture2.image(), bmp);
    const QImage image(QString::fromStdString(bmp));
    ASSERT_FALSE(image.isNull());
    const reports::NameListGeometry& g = form().geometry;
    const int rowTop = (g.top + 250) / 15 + 2;
    const int rowBottom = (g.top + 500) / 15 - 2;
    auto darkPixels = [&](int fromX, int toX) {
        int dark = 0;
        for (int y = rowTop; y <= rowBottom; ++y)
            for (int x = fromX; x <= toX; ++x)
                dark += image.pixelColor(x, y).lightness() < 160 ? 1 : 0;
        return dark;
    };
    EXPECT_GT(darkPixels(g.x1 / 15 + 2, g.x2 / 15 - 2), 50) << "the name is drawn in its own column";
    const int sexTextLeft = static_cast<int>((g.x2 + (g.x3 - g.x2) / 10.0) / 15);
    EXPECT_EQ(darkPixels(g.x2 / 15 + 2, sexTextLeft - 1), 0) << "the name ran into the sex column";
}

TEST_F(NametbWindowTest, NoPrinterDisablesPrintingWithAMessage)
{
    forms::setPrinterList({});
    answers.answerNext(platform::vbOK);
    form().load();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "プリンタとの通信が不正です。印刷出来ません。");
    EXPECT_FALSE(form().CMDFUNC[4].isEnabled());
}

TEST_F(NametbWindowTest, PrintButtonPrintsEveryPageOnA4AndGivesThePrinterItsSetUpBack)
{
    forms::setPrinterList({forms::PdfPrinterName});
    showAllTreesTab();
    addPersons(35);
    model::tables().Cur_FilePath = home.path() + "/山田家.KEZ";
    forms::printer().setPaperSize(forms::vbPRPSA3);
    forms::printer().setOrientation(forms::vbPRORLandscape);
    form().load();
    ASSERT_TRUE(form().CMDFUNC[4].isEnabled());
    const std::string pdf = home.path() + "/山田家_名簿.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(pdf));
    form().CMDFUNC[4].onClick();

    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].fileName, "山田家_名簿.pdf");
    EXPECT_EQ(dialogs.requests()[0].startDirectory, home.path());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(support::pdfPageSizes(pdf), std::vector<std::string>(2, support::PdfA4Portrait));
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSA3);
    EXPECT_EQ(forms::printer().orientation(), forms::vbPRORLandscape);
}

TEST_F(NametbWindowTest, CancelledFileChoicePrintsNothing)
{
    forms::setPrinterList({forms::PdfPrinterName});
    showAllTreesTab();
    addPersons(3);
    form().load();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    form().PrintNameList();
    EXPECT_EQ(forms::printer().lastJobPageCount(), 0);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSA4);
}

TEST_F(NametbWindowTest, PrinterThatCannotWriteShowsThePrinterError)
{
    forms::setPrinterList({forms::PdfPrinterName});
    showAllTreesTab();
    addPersons(3);
    form().load();
    const std::string file = home.path() + "/no such folder/names.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(file));
    answers.answerNext(platform::vbOK);
    form().PrintNameList();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "プリンタのエラーです\r\n" + file + "\r\n（フォルダーがありません）");
    EXPECT_FALSE(forms::printer().isJobOpen());
}

// On a printer queue of a print service the test starts itself: the list goes to
// the queue as one job of every page on A4; a job the service refuses, never
// receives or never answers says the printer error, naming the printer and why.
TEST_F(NametbWindowTest, PrintOnAPrinterQueueGoesToItOrSaysWhyNot)
{
    support::PrivateCups cups({{"office", "B4"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(cups);
    forms::resetPrinterList();
    forms::resetCurrentPrinter();
    showAllTreesTab();
    addPersons(35);
    form().load();
    form().CMDFUNC[4].click();
    const auto jobs = cups.storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageSizes(jobs[0].document), std::vector<std::string>(2, support::PdfA4Portrait));
    EXPECT_NE(jobs[0].options.find("media=A4"), std::string::npos) << jobs[0].options;
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSB4);   // the queue's paper, given back

    const auto printerError = [](const std::string& why) { return "プリンタのエラーです\r\noffice\r\n（" + why + "）"; };
    cups.rejectJobs("office");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    cups.deleteQueue("office");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    // A service that hangs is given up on within seconds (15 s would be a hang).
    cups.pause();
    QElapsedTimer clock;
    clock.start();
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    EXPECT_LT(clock.elapsed(), 15000);
    cups.resume();
    cups.stop();
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    ASSERT_EQ(answers.shownTexts(), (std::vector<std::string>{printerError("プリンタが印刷を受け付けていません"),
                                                              printerError("プリンタが見つかりません"),
                                                              printerError("印刷システムが応答しません"),
                                                              printerError("印刷システムに接続できません")}));
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(cups.storedJobs(2, std::chrono::milliseconds(200)).size(), 1u);
    EXPECT_FALSE(forms::printer().isJobOpen());
}

// Printed while the print service hangs before it said which printer is the
// desktop's default: the printer error names the default printer as not
// answering, and no PDF file is asked for. Once the service answers, the list
// goes to the default printer on A4, which keeps its own paper.
TEST_F(NametbWindowTest, APrintBeforeTheServiceNamedTheDefaultPrinterSaysSoAndNeverGoesToAFile)
{
    support::PrivateCups cups({{"office", "B4"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(cups);
    forms::resetPrinterList();
    forms::resetCurrentPrinter();
    cups.pause();
    showAllTreesTab();
    addPersons(3);
    form().load();
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{std::string("プリンタのエラーです\r\n")
                                                              + forms::DefaultPrinterName
                                                              + "\r\n（印刷システムが応答しません）"}));
    EXPECT_TRUE(dialogs.requests().empty()) << "the print asked for a PDF file";

    cups.resume();
    form().CMDFUNC[4].click();
    const auto jobs = cups.storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].options.find("media=A4"), std::string::npos) << jobs[0].options;
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(forms::printer().deviceName(), "office");
    EXPECT_EQ(forms::printer().paperSize(), forms::vbPRPSB4);
}

TEST_F(NametbWindowTest, BackButtonCloses)
{
    form().load();
    form().CMDEND.onClick();
    EXPECT_FALSE(form().isLoaded());
}

} // namespace
