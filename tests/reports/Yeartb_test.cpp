// The chronology window driven headless: its open flag and the person card it
// closes, the tree layout's bars, grid and heading, the step box, the sheet that
// grows and scrolls, the order button with both line lists and its refusal, the
// person card and printer buttons, printing through the PDF printer and on a
// printer queue, the controls and their stacking the commands leave, and the bars
// on screen in and below view.

#include "ChronologyFixture.h"

#include "forms/Printer.h"
#include "forms/Printers.h"
#include "layout/LayoutGrid.h"
#include "model/run_state.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/reports_state.h"
#include "reports/yeartb.h"
#include "support/qt/LabelOnScreen.h"
#include "support/PrivateCups.h"
#include "support/qt/PdfFile.h"
#include "support/qt/ScriptedDialogs.h"
#include "WheelTurn.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

using reports_test::ChronologyFixture;
using reports_test::RecordingChronologyWindows;

class YeartbTest : public ChronologyFixture {
protected:
    void TearDown() override
    {
        if (form().isLoaded())
            form().unload();
        forms::resetCurrentPrinter();
        forms::resetPrinterList();
    }

    YeartbForm& form() { return yeartb_form(); }

    support::ScriptedDialogs dialogs;

    // Husband 1900-1950, wife 1950-living, their son 1949-living, and a second
    // family in a tree of its own (1880-1930, 1885-living); the chart lists all
    // five. Returns the first marriage.
    int16_t twoFamilies()
    {
        const int16_t first = family.couple();
        const int16_t son = family.person(layouttest::FamilyBuilder::Male);
        family.child(first, son);
        const int16_t second = family.couple();
        const auto& kou = model::tables().kou_buf;
        dates(kou[first].kou_titi, "1900/02/03", "1950/01/01");
        dates(kou[first].kou_haha, "1950/07/07");
        dates(son, "1949/12/31");
        dates(kou[second].kou_titi, "1880", "1930");
        dates(kou[second].kou_haha, "1885");
        layOut(first);
        chartPersons({kou[first].kou_titi, kou[first].kou_haha, son, kou[second].kou_titi, kou[second].kou_haha});
        return first;
    }

    // A line of descent of twenty couples, each generation born five years after
    // the last, so every person needs a line of the sheet. Returns the first
    // marriage; *last, when asked for, the marriage of the twentieth son.
    int16_t lineOfDescent(int16_t* last = nullptr)
    {
        int16_t kou = family.couple();
        const int16_t start = kou;
        for (int generation = 0; generation < 20; ++generation) {
            const auto& k = model::tables().kou_buf[kou];
            dates(k.kou_titi, std::to_string(1800 + generation * 5));
            dates(k.kou_haha, std::to_string(1801 + generation * 5));
            const int16_t son = family.person(layouttest::FamilyBuilder::Male);
            family.child(kou, son);
            kou = family.marry(son, family.person(layouttest::FamilyBuilder::Female));
        }
        if (last)
            *last = kou;
        return start;
    }

    std::vector<int> treeBars() const
    {
        std::vector<int> bars;
        for (int index : yeartb_form().Label3.indexes()) {
            if (index >= 3)
                bars.push_back(index);
        }
        return bars;
    }

    RecordingChronologyWindows windows;

    // The sheet as it is drawn on screen.
    QImage sheet() const { return yeartb_form().Picture2.widget()->grab().toImage(); }

    // The pixels of colour along the middle row of a label on the sheet.
    static int colourAcross(const QImage& image, const forms::Label& label, long colour)
    {
        const QRect r = label.widget()->geometry();
        const QColor wanted(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                            static_cast<int>((colour >> 16) & 0xFF));
        int count = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            count += image.pixelColor(x, r.center().y()) == wanted ? 1 : 0;
        return count;
    }

    // The visible year labels, left to right, with the index of their grid line.
    std::vector<int> shownYearLabels() const
    {
        std::vector<int> shown;
        for (int index : yeartb_form().Label1.indexes()) {
            if (index >= 3 && yeartb_form().Label1[index].isVisible())
                shown.push_back(index);
        }
        return shown;
    }

    // Every shown year label is centred on its grid line and keeps clear of the next.
    void expectYearLabelsCentredAndApart() const
    {
        const YeartbForm& f = yeartb_form();
        const std::vector<int> shown = shownYearLabels();
        double lastRight = -1e9;
        for (int index : shown) {
            const forms::Label& label = f.Label1[index];
            const double centre = label.left() + label.width() / 2;
            EXPECT_NEAR(centre, f.Picture1.left() + f.Line1[index].x1(), 15) << label.caption();
            QWidget* widget = label.widget();
            const double text = widget->fontMetrics().horizontalAdvance(QString::fromStdString(label.caption())) * 15.0;
            EXPECT_GT(centre - text / 2, lastRight + 15) << label.caption() << " touches the label before it";
            lastRight = centre + text / 2;
        }
    }
};

TEST_F(YeartbTest, LoadingMarksTheWindowOpenAndUnloadingClosesTheCard)
{
    twoFamilies();
    selectTree(0);
    form().load();
    EXPECT_EQ(form().caption(), "年表画面");
    EXPECT_EQ(model::runState().YTbl_Open, -1);
    EXPECT_EQ(form().CMDFUNC[2].caption(), "家系順");
    EXPECT_EQ(form().YOrderFlag, 0);

    windows.cardOpen = true;
    form().CMDEND.onClick();
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(model::runState().YTbl_Open, 0);
    EXPECT_EQ(windows.closes, 1);
    EXPECT_FALSE(windows.cardOpen);
}

TEST_F(YeartbTest, TreeLayoutShowsThePersonsOfTheSelectedTree)
{
    twoFamilies();
    selectTree(0);
    form().load();
    EXPECT_EQ(form().Label5.caption(), "　木0年表");
    const std::vector<int> bars = treeBars();
    ASSERT_EQ(bars.size(), 3u);
    // 1900-1950 and 1950-living share line 0; the son born 1949 has line 1.
    const forms::Label& husband = form().Label3[3];
    const forms::Label& wife = form().Label3[4];
    const forms::Label& son = form().Label3[5];
    EXPECT_EQ(husband.caption(), "姓1名");
    EXPECT_EQ(husband.backColor(), reports::TreeBarMale);
    EXPECT_EQ(wife.backColor(), reports::TreeBarFemale);
    EXPECT_NEAR(husband.top(), 120, 15);
    EXPECT_NEAR(wife.top(), 120, 15);
    EXPECT_NEAR(son.top(), 495, 15);
    EXPECT_NEAR(husband.left(), 120, 15);
    EXPECT_NEAR(wife.left(), husband.left() + husband.width(), 30);
    EXPECT_LE(son.left(), wife.left());
    EXPECT_EQ(husband.toolTipText(), "　:　姓1名 1900/02/03～1950/01/01");
    EXPECT_TRUE(husband.isVisible());
    // The extent is 1900..2026: grid years 1900, 1910, ... 2020 with their labels.
    EXPECT_EQ(form().extent.YMinYear, 1900);
    EXPECT_EQ(form().extent.YMaxYear, ThisYear);
    ASSERT_TRUE(form().Label1.exists(3));
    EXPECT_EQ(form().Label1[3].caption(), "1900");
    EXPECT_EQ(form().Label1.uBound(), 2 + 13);
    EXPECT_EQ(form().Line1.uBound(), 2 + 13);
    EXPECT_EQ(form().Line1[3].borderStyle(), 3);
}

TEST_F(YeartbTest, AllTreesTabStartsEveryTreeOnItsOwnLineEarliestFirst)
{
    twoFamilies();
    selectAllTrees();
    form().load();
    EXPECT_EQ(form().Label5.caption(), "　木0　木1　年表");
    ASSERT_EQ(treeBars().size(), 5u);
    // Tree 1 (born 1880) comes before tree 0 (born 1900) and takes lines 0 and 1.
    EXPECT_EQ(form().Label3[3].caption(), "姓4名");
    EXPECT_NEAR(form().Label3[3].top(), 120, 15);
    EXPECT_NEAR(form().Label3[4].top(), 495, 15);
    EXPECT_NEAR(form().Label3[5].top(), 870, 15);
    EXPECT_EQ(form().Label3[5].caption(), "姓1名");
}

TEST_F(YeartbTest, EmptyOrLetterStepBoxFallsBackToTenAtTheNextBuild)
{
    twoFamilies();
    selectTree(0);
    form().load();
    for (const char* text : {"", "abc", "0", "-3"}) {
        form().Text2.setText(text);
        form().Command1.onClick();
        EXPECT_EQ(form().Text2.text(), "10") << text;
        EXPECT_EQ(form().Label1[3].caption(), "1900") << text;
        EXPECT_EQ(form().Label1[4].caption(), "1910") << text;
    }
    form().Text2.setText("25");
    form().Command1.onClick();
    EXPECT_EQ(form().Label1[3].caption(), "1900");
    EXPECT_EQ(form().Label1[4].caption(), "1925");
    EXPECT_EQ(form().Label1.uBound(), 2 + 6);   // 1900 .. 2025
}

TEST_F(YeartbTest, StepTooFineForTheCenturiesIsWidenedAndShown)
{
    const int16_t kou = family.couple();
    dates(model::tables().kou_buf[kou].kou_titi, "1000/01/01", "1050/01/01");
    dates(model::tables().kou_buf[kou].kou_haha, "1700/01/01");
    layOut(kou);
    selectTree(0);
    form().load();
    form().Text2.setText("1");
    form().Command1.onClick();
    EXPECT_EQ(form().Text2.text(), "10");
    EXPECT_LE(form().Line1.uBound() - 2, reports::MaxGridLines);
    EXPECT_EQ(form().Line1.uBound() - 2, 103);   // 1000, 1010, ... 2020
    EXPECT_EQ(form().Label1[3].caption(), "1000");
}

TEST_F(YeartbTest, RebuildReplacesTheBarsWithoutLeavingOldOnes)
{
    twoFamilies();
    selectTree(0);
    form().load();
    form().Command1.onClick();
    EXPECT_EQ(treeBars().size(), 3u);
    EXPECT_EQ(form().printout.bars.size(), 3u);
}

TEST_F(YeartbTest, TabWithoutPersonsHasNoBarsAndNoYears)
{
    twoFamilies();
    selectTree(layout::chart().tree_cnt);
    layout::chart().tab_buf[static_cast<size_t>(layout::chart().tree_cnt)].caption = "新規";
    form().load();
    EXPECT_TRUE(treeBars().empty());
    EXPECT_EQ(form().Label1.uBound(), 2);
    EXPECT_EQ(form().Label5.caption(), "　新規年表");
    // Nothing to print: no job, no message.
    forms::setPrinterList({forms::PdfPrinterName});
    form().YPrint();
    EXPECT_EQ(forms::printer().lastJobPageCount(), 0);
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(YeartbTest, SheetGrowsWithItsBarsAndScrollsToItsBottom)
{
    // Forty couples married in a line of descent, each generation overlapping the
    // next, so every person needs a line of its own.
    int16_t kou = -1;
    const int16_t start = lineOfDescent(&kou);
    dates(model::tables().kou_buf[kou].kou_titi, "1900");
    dates(model::tables().kou_buf[kou].kou_haha, "1901");
    layOut(start);
    selectTree(0);
    form().load();
    const std::vector<int> bars = treeBars();
    ASSERT_EQ(bars.size(), 42u);
    const forms::Label& last = form().Label3[bars.back()];
    EXPECT_NEAR(form().Picture2.height(), last.top() + last.height(), 15);
    EXPECT_TRUE(form().vsc.isEnabled());
    EXPECT_EQ(form().vsc.max(), 32767);
    EXPECT_EQ(form().vsc.smallChange(), 375);
    EXPECT_EQ(form().vsc.largeChange(), 1125);
    form().vsc.setValue(32767);
    EXPECT_NEAR(form().Picture2.top() + form().Picture2.height(), form().Picture1.height(), 15);
    form().vsc.setValue(0);
    EXPECT_NEAR(form().Picture2.top(), 0, 15);
}

// The wheel over the sheet moves it three lines a notch.
TEST_F(YeartbTest, TheWheelScrollsTheSheetThreeLinesANotch)
{
    layOut(lineOfDescent());
    selectTree(0);
    form().show();
    ASSERT_TRUE(form().vsc.isEnabled());
    const double top = form().Picture2.top();
    turnWheelOver(form().Picture2, form().Picture1, 1);
    EXPECT_GT(form().vsc.value(), 0);
    EXPECT_NEAR(form().Picture2.top(), top - 3 * 375, 30);
    turnWheelOver(form().Picture2, form().Picture1, -1);
    EXPECT_EQ(form().vsc.value(), 0);
    form().unload();
}

TEST_F(YeartbTest, OrderButtonSwitchesBetweenBirthAndFamilyOrder)
{
    twoFamilies();
    selectTree(0);
    model::tables().PerCount = 99;
    form().load();
    form().CMDFUNC[2].onClick();
    EXPECT_EQ(form().CMDFUNC[2].caption(), "生年順");
    EXPECT_EQ(model::settings().Nenpyo_SortMode, 0);
    EXPECT_EQ(form().YOrderFlag, -1);
    EXPECT_EQ(model::tables().PerCount, 5);   // the used slots, whatever the count said
    EXPECT_EQ(form().YCurLine, 1);
    // Birth order: 1880, 1885, 1900, 1949, 1950.
    EXPECT_EQ(form().Label2[1].caption(), "姓4名");
    EXPECT_EQ(form().Label2[5].caption(), "姓2名");
    EXPECT_TRUE(form().Label2[5].isVisible());
    // The tree layout's controls have made way for the lines.
    EXPECT_EQ(form().Label3.uBound(), 5);
    EXPECT_EQ(form().Line1.uBound(), 1);

    form().CMDFUNC[2].onClick();
    EXPECT_EQ(form().CMDFUNC[2].caption(), "家系順");
    EXPECT_EQ(model::settings().Nenpyo_SortMode, 1);
    EXPECT_EQ(form().YOrderFlag, 0);
    EXPECT_EQ(form().Label2[1].caption(), "姓1名");   // the chart's order
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(YeartbTest, FamilyOrderWithoutChartPersonsIsRefused)
{
    addPerson("甲", "一", 0).B_day = "1950";
    form().load();
    form().CMDFUNC[2].onClick();   // birth order
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[2].onClick();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "家族ではありません");
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(form().CMDFUNC[2].caption(), "生年順");
    EXPECT_EQ(model::settings().Nenpyo_SortMode, 0);
    EXPECT_EQ(form().YOrderFlag, -1);
}

TEST_F(YeartbTest, LineListsPaintBarsOnTheYearAxis)
{
    auto& a = addPerson("甲", "一", 0);
    a.B_day = "1930/01/01";
    auto& b = addPerson("乙", "二", 1);
    b.B_day = "1950/01/01";
    addPerson("丙", "三", 0);   // no birth date: name, but no bar
    form().load();
    form().CMDFUNC[2].onClick();
    // Lines: 丙 (no birth), 甲 1930, 乙 1950.
    EXPECT_EQ(form().Label2[1].caption(), "丙三");
    EXPECT_FALSE(form().Label3[1].isVisible());
    EXPECT_TRUE(form().Label3[2].isVisible());
    EXPECT_EQ(form().Label3[2].backColor(), reports::LineBarMale);
    EXPECT_EQ(form().Label3[3].backColor(), reports::LineBarFemale);
    // The axis: the rightmost label is this year, the leftmost at or before 1930.
    const int cells = form().axis.cells;
    ASSERT_GE(cells, 2);
    EXPECT_EQ(form().Label1[cells].caption(), std::to_string(ThisYear));
    EXPECT_LE(std::stoi(form().Label1[1].caption()), 1930);
    EXPECT_NEAR(form().Picture2.width(), form().Label2[1].left() + form().Label2[1].width() + 200 + cells * 630, 15);
    // A bar runs from the centre of its birth year to this year.
    const double origin = form().Label2[1].left() + form().Label2[1].width() + 200 + 187.5;
    const double first = std::stoi(form().Label1[1].caption());
    EXPECT_NEAR(form().Label3[2].left(), origin + (1930 - first) * form().axis.scale, 15);
    EXPECT_NEAR(form().Label3[2].left() + form().Label3[2].width(), origin + (ThisYear - first) * form().axis.scale,
                30);
    EXPECT_FALSE(form().vsc.isEnabled());   // three lines fit
    EXPECT_EQ(form().Label2[1].backColor(), reports::NameLabelColour);
}

// Each year label shows its whole year with the window's own font, centred on the
// year's place on the axis; a person born this year and still living has a bar.
TEST_F(YeartbTest, YearLabelsShowTheirWholeYearAndEveryBarIsVisible)
{
    addPerson("甲", "一", 0).B_day = "1900/01/01";
    addPerson("乙", "二", 1).B_day = std::to_string(ThisYear) + "/01/01";
    form().show();
    form().CMDFUNC[2].onClick();
    const double yearPlace = form().Picture1.left() + form().Label2[1].left() + form().Label2[1].width() + 200 + 187.5;
    for (int i = 1; i <= form().axis.cells; ++i) {
        const forms::Label& label = form().Label1[i];
        QWidget* shown = label.widget();
        ASSERT_NE(shown, nullptr);
        const int textPixels = shown->fontMetrics().horizontalAdvance(QString::fromStdString(label.caption()));
        EXPECT_LE(textPixels, shown->contentsRect().width()) << label.caption();
        EXPECT_NEAR(label.left() + label.width() / 2, yearPlace + (i - 1) * 630, 15) << label.caption();
    }
    ASSERT_TRUE(form().Label3[2].isVisible());
    EXPECT_GE(form().Label3[2].width(), 15);
}

// The narrowest bars, a person born this year and living, one whose death was
// recorded before the birth and one born in the future, show their colour and their
// names on screen.
TEST_F(YeartbTest, EveryBarShowsItsColourAndItsName)
{
    const int16_t kou = family.couple();
    const auto& k = model::tables().kou_buf[kou];
    dates(k.kou_titi, "1900/01/01", "1980/01/01");
    dates(k.kou_haha, "1990/01/01", "1950/01/01");   // died before her birth
    const int16_t baby = family.person(layouttest::FamilyBuilder::Male);
    family.child(kou, baby);
    dates(baby, std::to_string(ThisYear) + "/03/03");
    const int16_t future = family.person(layouttest::FamilyBuilder::Female);
    family.child(kou, future);
    dates(future, std::to_string(ThisYear + 3) + "/03/03");   // a birth typed in the future
    layOut(kou);
    selectTree(0);
    form().show();
    const QImage image = sheet();
    const std::vector<int> bars = treeBars();
    ASSERT_EQ(bars.size(), 4u);
    std::vector<QRect> taken;
    for (int index : bars) {
        const forms::Label& bar = form().Label3[index];
        EXPECT_GE(colourAcross(image, bar, bar.backColor()), 3) << bar.caption();
        taken.push_back(bar.widget()->geometry());
    }
    // The two narrow bars carry their names beside them, whole and clear of any bar.
    int names = 0;
    for (int index : form().BarName.indexes()) {
        if (index < 1)
            continue;
        const forms::Label& name = form().BarName[index];
        ++names;
        ASSERT_TRUE(name.isVisible());
        QWidget* widget = name.widget();
        EXPECT_LE(widget->fontMetrics().horizontalAdvance(QString::fromStdString(name.caption())),
                  widget->contentsRect().width())
            << name.caption();
        EXPECT_GE(widget->geometry().left(), 0);
        EXPECT_LE(widget->geometry().right(), form().Picture2.widget()->width());
        for (const QRect& bar : taken) {
            if (widget->geometry().top() == bar.top()) {
                EXPECT_FALSE(widget->geometry().intersects(bar)) << name.caption();
            }
        }
    }
    EXPECT_EQ(names, 3);

    // The line lists draw the same narrowest bar.
    form().CMDFUNC[2].onClick();
    const QImage lists = sheet();
    for (int line = 1; line <= 3; ++line) {
        const forms::Label& bar = form().Label3[line];
        ASSERT_TRUE(bar.isVisible());
        EXPECT_GE(colourAcross(lists, bar, bar.backColor()), 3) << form().Label2[line].caption();
    }
}

// The grid keeps the chosen step; its labels stand centred on their lines, on
// every line of a century and on every 2nd, 5th or 10th line of a family of four
// centuries or of a millennium, so that no two of them touch.
TEST_F(YeartbTest, YearLabelsAreCentredOnTheirLinesAndNeverTouch)
{
    twoFamilies();
    selectTree(0);
    form().show();
    EXPECT_EQ(shownYearLabels().size(), 13u) << "1900 .. 2020: room for every label";
    expectYearLabelsCentredAndApart();
    form().unload();

    for (const int first : {1620, 1000}) {
        layouttest::resetFamily();
        family = layouttest::FamilyBuilder();
        const int16_t kou = family.couple();
        dates(model::tables().kou_buf[kou].kou_titi, std::to_string(first) + "/01/01", "1700/01/01");
        dates(model::tables().kou_buf[kou].kou_haha, "1950/01/01");
        layOut(kou);
        selectTree(0);
        form().show();
        EXPECT_EQ(form().Text2.text(), "10");
        EXPECT_EQ(form().Line1.uBound() - 2, (2020 - first) / 10 + 1) << "every 10 years a line";
        const std::vector<int> shown = shownYearLabels();
        ASSERT_GE(shown.size(), 4u) << first;
        EXPECT_LT(shown.size(), static_cast<size_t>(form().Line1.uBound() - 2)) << first;
        // Labels fall on round years, the same number of years apart.
        const int period = std::stoi(form().Label1[shown[1]].caption()) - std::stoi(form().Label1[shown[0]].caption());
        for (int index : shown)
            EXPECT_EQ(std::stoi(form().Label1[index].caption()) % period, 0) << form().Label1[index].caption();
        EXPECT_LT(std::stoi(form().Label1[shown.front()].caption()), first + period);
        expectYearLabelsCentredAndApart();
        form().unload();
    }
}

// In the tree layout "個人情報" shows the card of the bar the user clicked and marks
// that bar as the line lists mark their current line.
TEST_F(YeartbTest, PersonCardOfTheTreeLayoutShowsTheClickedBarsPerson)
{
    const int16_t first = twoFamilies();
    selectTree(0);
    form().show();
    QTest::mouseClick(form().CMDFUNC[1].widget(), Qt::LeftButton);
    EXPECT_TRUE(windows.cards.empty()) << "no bar chosen yet";

    const int16_t wife = model::tables().kou_buf[first].kou_haha;
    ASSERT_EQ(form().Label3[4].caption(), "姓" + std::to_string(wife) + "名");
    QTest::mouseClick(form().Label3[4].widget(), Qt::LeftButton);
    QTest::mouseClick(form().CMDFUNC[1].widget(), Qt::LeftButton);
    EXPECT_EQ(windows.cards, std::vector<int>{wife});
    EXPECT_EQ(form().Label3[4].backColor(), reports::CurrentLineColour);

    QTest::mouseClick(form().Label3[3].widget(), Qt::LeftButton);
    QTest::mouseClick(form().CMDFUNC[1].widget(), Qt::LeftButton);
    EXPECT_EQ(windows.cards, (std::vector<int>{wife, model::tables().kou_buf[first].kou_titi}));
    EXPECT_EQ(form().Label3[4].backColor(), reports::TreeBarFemale) << "the bar before gets its colour back";
    EXPECT_EQ(form().Label3[3].backColor(), reports::CurrentLineColour);
    EXPECT_EQ(form().printout.bars[0].colour, reports::TreeBarMale) << "printing keeps the sexes' colours";
}

TEST_F(YeartbTest, EverybodyDeadEndsTheAxisAtTheLastDeath)
{
    auto& a = addPerson("甲", "一", 0);
    a.B_day = "1900";
    a.Death_day = "1960";
    auto& b = addPerson("乙", "二", 1);
    b.B_day = "1910";
    b.Death_day = "1980/05/05";
    form().load();
    form().CMDFUNC[2].onClick();
    EXPECT_EQ(form().Label1[form().axis.cells].caption(), "1980");
}

TEST_F(YeartbTest, EmptyFamilyHidesTheSheetAndDisablesTheButtons)
{
    form().load();
    form().CMDFUNC[2].onClick();
    EXPECT_FALSE(form().Picture2.isVisible());
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(form().CMDFUNC[i].isEnabled()) << i;
    EXPECT_EQ(model::tables().PerCount, 0);
}

TEST_F(YeartbTest, PersonCardShowsTheCurrentLineAndHighlightsIt)
{
    addPerson("甲", "一", 0).B_day = "1950";
    addPerson("乙", "二", 1).B_day = "1930";
    form().load();
    form().CMDFUNC[1].onClick();   // before the first painting: no line to show
    EXPECT_TRUE(windows.cards.empty());

    form().CMDFUNC[2].onClick();
    form().CMDFUNC[1].onClick();
    EXPECT_EQ(windows.cards, (std::vector<int>{2}));   // line 1 in birth order
    EXPECT_EQ(form().Label2[1].backColor(), reports::CurrentLineColour);
    EXPECT_EQ(form().Label3[1].backColor(), reports::CurrentLineColour);

    // The order button closes the open card first.
    answers.answerNext(platform::vbOK);   // nobody on the chart: family order refused
    form().CMDFUNC[2].onClick();
    EXPECT_EQ(windows.closes, 1);
}

TEST_F(YeartbTest, PrinterChoiceNeedsAPrinter)
{
    form().load();
    forms::setPrinterList({});
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[3].onClick();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "プリンタとの通信が不正です。印刷出来ません。");
    EXPECT_EQ(windows.printerChoices, 0);
    forms::setPrinterList({forms::PdfPrinterName});
    form().CMDFUNC[3].onClick();
    EXPECT_EQ(windows.printerChoices, 1);
}

TEST_F(YeartbTest, PrintButtonPrintsTheTreeLayoutAlsoFromTheLineLists)
{
    twoFamilies();
    selectAllTrees();
    forms::setPrinterList({forms::PdfPrinterName});
    form().load();
    form().CMDFUNC[2].onClick();   // the line lists on screen
    model::tables().Cur_FilePath = home.path() + "/山田家.KEZ";
    const std::string pdf = home.path() + "/山田家_年表.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(pdf));
    form().CMDFUNC[4].onClick();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].fileName, "山田家_年表.pdf");
    EXPECT_EQ(dialogs.requests()[0].startDirectory, home.path());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(support::pdfPageCount(pdf), 1);
    EXPECT_EQ(form().printout.bars.size(), 5u);
    EXPECT_EQ(form().printout.heading, "　木0　木1　年表");
}

TEST_F(YeartbTest, PrintingWithoutPrinterOrWithAFailingOneSaysSo)
{
    twoFamilies();
    selectTree(0);
    form().load();
    forms::setPrinterList({});
    answers.answerNext(platform::vbOK);
    form().YPrint();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "プリンタとの通信が不正です。印刷出来ません。");

    forms::setPrinterList({forms::PdfPrinterName});
    const std::string file = home.path() + "/no such folder/chronology.pdf";
    dialogs.answerNext(forms::DialogAnswer::file(file));
    answers.answerNext(platform::vbOK);
    form().YPrint();
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, "プリンタのエラーです\r\n" + file + "\r\n（フォルダーがありません）");
    EXPECT_FALSE(forms::printer().isJobOpen());

    // Cancel in the file choice prints nothing and says nothing.
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    form().YPrint();
    EXPECT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(forms::printer().lastJobPageCount(), 0);
}

// On a printer queue of a print service the test starts itself: the tree layout
// goes to the queue as one job; a job the service refuses or never receives says
// the printer error, naming the printer and why.
TEST_F(YeartbTest, PrintOnAPrinterQueueGoesToItOrSaysWhyNot)
{
    support::PrivateCups cups({{"office"}}, "office");
    SKIP_WITHOUT_PRINT_SERVICE(cups);
    forms::resetPrinterList();
    forms::resetCurrentPrinter();
    twoFamilies();
    selectAllTrees();
    form().load();
    form().CMDFUNC[4].click();
    const auto jobs = cups.storedJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(support::pdfPageCount(jobs[0].document), 1);
    EXPECT_TRUE(dialogs.requests().empty());
    EXPECT_TRUE(answers.shown().empty());

    const auto printerError = [](const std::string& why) { return "プリンタのエラーです\r\noffice\r\n（" + why + "）"; };
    cups.rejectJobs("office");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    cups.deleteQueue("office");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    cups.stop();
    answers.answerNext(platform::vbOK);
    form().CMDFUNC[4].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{printerError("プリンタが印刷を受け付けていません"),
                                                              printerError("プリンタが見つかりません"),
                                                              printerError("印刷システムに接続できません")}));
    EXPECT_EQ(cups.storedJobs(2, std::chrono::milliseconds(200)).size(), 1u);
    EXPECT_FALSE(forms::printer().isJobOpen());
}

// What the sheet and the window show, bottom of the stack first: every visible
// control with its place, caption and colour (the width of a name beside its bar
// is left out: it is the font's).
std::vector<std::string> shownStack(const YeartbForm& f)
{
    std::map<const QObject*, std::string> names;
    const auto name = [&](const auto& array, const char* arrayName) {
        for (int index : array.indexes())
            names[array[index].widget()] = std::string(arrayName) + "(" + std::to_string(index) + ")";
    };
    name(f.Label1, "Label1");
    name(f.Label2, "Label2");
    name(f.Label3, "Label3");
    name(f.BarName, "BarName");
    name(f.Line1, "Line1");
    names[f.Picture1.widget()] = "Picture1";
    names[f.vsc.widget()] = "vsc";
    const auto twips = [](double value) { return std::to_string(static_cast<long>(std::lround(value))); };
    std::vector<std::string> stack;
    const auto list = [&](const QWidget* container) {
        for (const QObject* child : container->children()) {
            const auto* widget = qobject_cast<const QWidget*>(child);
            const auto found = names.find(child);
            if (!widget || widget->isHidden() || found == names.end())
                continue;
            std::string line = found->second;
            const std::string& n = found->second;
            if (n.rfind("Line1", 0) == 0) {
                const forms::LineControl& rule = f.Line1[std::stoi(n.substr(6))];
                line += " " + twips(rule.x1()) + "," + twips(rule.y1()) + "-" + twips(rule.x2()) + "," + twips(rule.y2());
            } else if (n != "Picture1" && n != "vsc") {
                const forms::Label& label = n.rfind("Label1", 0) == 0   ? f.Label1[std::stoi(n.substr(7))]
                                            : n.rfind("Label2", 0) == 0 ? f.Label2[std::stoi(n.substr(7))]
                                            : n.rfind("Label3", 0) == 0 ? f.Label3[std::stoi(n.substr(7))]
                                                                        : f.BarName[std::stoi(n.substr(8))];
                line += " " + twips(label.left()) + "," + twips(label.top());
                if (n.rfind("BarName", 0) != 0)
                    line += "," + twips(label.width());
                char colour[16];
                std::snprintf(colour, sizeof colour, "%06lX", label.backColor());
                line += " " + label.caption() + " " + colour;
            }
            stack.push_back(line);
        }
    };
    list(f.Picture2.widget());
    list(f.Picture1.widget()->parentWidget());
    return stack;
}

// The order button both ways and 再表示 leave the bars, the names, the year labels
// and the grid as they always were, in the same stacking, on a family of two trees
// (three generations, and a couple whose husband's bar is too narrow for his name).
TEST_F(YeartbTest, CommandsShowTheSameControlsInTheSameStacking)
{
    using layouttest::FamilyBuilder;
    const auto& kou = model::tables().kou_buf;
    const int16_t first = family.couple();
    dates(kou[first].kou_titi, "1880/05/05", "1950/01/01");
    dates(kou[first].kou_haha, "1885/02/02");
    const int16_t son = family.person(FamilyBuilder::Male);
    family.child(first, son);
    dates(son, "1910/10/10", "1990/01/01");
    const int16_t second = family.marry(son, family.person(FamilyBuilder::Female));
    dates(kou[second].kou_haha, "1912/12/12");
    const int16_t daughter = family.person(FamilyBuilder::Female);
    family.child(second, daughter);
    dates(daughter, "1940/04/04");
    const int16_t other = family.couple();
    dates(kou[other].kou_titi, "1900/03/01", "1900/09/01");
    dates(kou[other].kou_haha, "1950/01/01", "1991/01/01");
    layOut(first);
    layout::Build_ChartPerList();
    selectAllTrees();
    form().show();
    QApplication::processEvents();
    const std::vector<std::string> opened = shownStack(form());
    QTest::mouseClick(form().CMDFUNC[2].widget(), Qt::LeftButton);
    QApplication::processEvents();
    const std::vector<std::string> birthOrder = shownStack(form());
    QTest::mouseClick(form().CMDFUNC[2].widget(), Qt::LeftButton);
    QApplication::processEvents();
    const std::vector<std::string> familyOrder = shownStack(form());
    QTest::mouseClick(form().Command1.widget(), Qt::LeftButton);
    QApplication::processEvents();
    const std::vector<std::string> redisplayed = shownStack(form());
    const std::vector<std::string> treeLayout = {
        "Line1(17) 8520,0-8520,5400",
        "Line1(16) 7920,0-7920,5400",
        "Line1(15) 7320,0-7320,5400",
        "Line1(14) 6720,0-6720,5400",
        "Line1(13) 6120,0-6120,5400",
        "Line1(12) 5520,0-5520,5400",
        "Line1(11) 4920,0-4920,5400",
        "Line1(10) 4320,0-4320,5400",
        "Line1(9) 3720,0-3720,5400",
        "Line1(8) 3120,0-3120,5400",
        "Line1(7) 2520,0-2520,5400",
        "Line1(6) 1920,0-1920,5400",
        "Line1(5) 1320,0-1320,5400",
        "Line1(4) 720,0-720,5400",
        "Line1(3) 120,0-120,5400",
        "Label3(3) 120,120,4200 姓1名 FF8080",
        "Label3(4) 420,495,8460 姓2名 8080FF",
        "Label3(5) 1920,870,4800 姓3名 FF8080",
        "Label3(6) 2040,1245,6840 姓4名 8080FF",
        "Label3(7) 3720,1620,5160 姓5名 8080FF",
        "Label3(8) 1320,1995,75  FF8080",
        "BarName(1) 1425,1995 姓6名 FFFFFF",
        "Label3(9) 4320,1995,2460 姓7名 8080FF",
        "Label1(3) -75,465,630 1880 8000000F",
        "Label1(4) 525,465,630 1890 8000000F",
        "Label1(5) 1125,465,630 1900 8000000F",
        "Label1(6) 1725,465,630 1910 8000000F",
        "Label1(7) 2325,465,630 1920 8000000F",
        "Label1(8) 2925,465,630 1930 8000000F",
        "Label1(9) 3525,465,630 1940 8000000F",
        "Label1(10) 4125,465,630 1950 8000000F",
        "Label1(11) 4725,465,630 1960 8000000F",
        "Label1(12) 5325,465,630 1970 8000000F",
        "Label1(13) 5925,465,630 1980 8000000F",
        "Label1(14) 6525,465,630 1990 8000000F",
        "Label1(15) 7125,465,630 2000 8000000F",
        "Label1(16) 7725,465,630 2010 8000000F",
        "Label1(17) 8325,465,630 2020 8000000F",
        "Picture1",
        "vsc",
    };
    EXPECT_EQ(opened, treeLayout);
    const std::vector<std::string> byBirth = {
        "Label2(3) 120,855,1750 姓6名 FFFFFF",
        "Label3(3) 3266,855,75  FFFF00",
        "Label2(4) 120,1230,1750 姓3名 FFFFFF",
        "Label3(4) 3686,1230,3360  FFFF00",
        "Label2(5) 120,1605,1750 姓4名 FFFFFF",
        "Label3(5) 3770,1605,4788  0000FF",
        "Label2(6) 120,1980,1750 姓5名 FFFFFF",
        "Label3(6) 4946,1980,3612  0000FF",
        "Label2(7) 120,2355,1750 姓7名 FFFFFF",
        "Label3(7) 5366,2355,1722  0000FF",
        "Label3(1) 2426,120,2940  FFFF00",
        "Label3(2) 2636,480,5922  0000FF",
        "Label2(1) 120,120,1750 姓1名 FFFFFF",
        "Label2(2) 120,480,1750 姓2名 FFFFFF",
        "Label1(1) 2063,465,630 1876 8000000F",
        "Label1(2) 2693,465,630 1891 8000000F",
        "Label1(3) 3323,465,630 1906 8000000F",
        "Label1(4) 3953,465,630 1921 8000000F",
        "Label1(5) 4583,465,630 1936 8000000F",
        "Label1(6) 5213,465,630 1951 8000000F",
        "Label1(7) 5843,465,630 1966 8000000F",
        "Label1(8) 6473,465,630 1981 8000000F",
        "Label1(9) 7103,465,630 1996 8000000F",
        "Label1(10) 7733,465,630 2011 8000000F",
        "Label1(11) 8363,465,630 2026 8000000F",
        "Picture1",
        "vsc",
    };
    EXPECT_EQ(birthOrder, byBirth);
    const std::vector<std::string> byFamily = {
        "Label2(3) 120,855,1750 姓3名 FFFFFF",
        "Label3(3) 3686,855,3360  FFFF00",
        "Label2(4) 120,1230,1750 姓4名 FFFFFF",
        "Label3(4) 3770,1230,4788  0000FF",
        "Label2(5) 120,1605,1750 姓5名 FFFFFF",
        "Label3(5) 4946,1605,3612  0000FF",
        "Label2(6) 120,1980,1750 姓6名 FFFFFF",
        "Label3(6) 3266,1980,75  FFFF00",
        "Label2(7) 120,2355,1750 姓7名 FFFFFF",
        "Label3(7) 5366,2355,1722  0000FF",
        "Label3(1) 2426,120,2940  FFFF00",
        "Label3(2) 2636,480,5922  0000FF",
        "Label2(1) 120,120,1750 姓1名 FFFFFF",
        "Label2(2) 120,480,1750 姓2名 FFFFFF",
        "Label1(1) 2063,465,630 1876 8000000F",
        "Label1(2) 2693,465,630 1891 8000000F",
        "Label1(3) 3323,465,630 1906 8000000F",
        "Label1(4) 3953,465,630 1921 8000000F",
        "Label1(5) 4583,465,630 1936 8000000F",
        "Label1(6) 5213,465,630 1951 8000000F",
        "Label1(7) 5843,465,630 1966 8000000F",
        "Label1(8) 6473,465,630 1981 8000000F",
        "Label1(9) 7103,465,630 1996 8000000F",
        "Label1(10) 7733,465,630 2011 8000000F",
        "Label1(11) 8363,465,630 2026 8000000F",
        "Picture1",
        "vsc",
    };
    EXPECT_EQ(familyOrder, byFamily);
    EXPECT_EQ(redisplayed, treeLayout);
}

// The line lists of a family taller than the viewport: the bars in view are on
// screen at once, and those below it once the sheet is scrolled to them.
TEST_F(YeartbTest, BarsAreOnScreenInViewAndOnceScrolledTo)
{
    layOut(lineOfDescent());
    layout::Build_ChartPerList();
    selectTree(0);
    form().show();
    QApplication::processEvents();
    QTest::mouseClick(form().CMDFUNC[2].widget(), Qt::LeftButton);
    QApplication::processEvents();
    const int last = form().Label3.uBound();
    ASSERT_GT(last, 30);
    ASSERT_TRUE(form().Label3[3].isVisible());
    EXPECT_GT(support::backColourPixelsOnScreen(form().Label3[3]), 10);
    form().vsc.setValue(form().vsc.max());
    QApplication::processEvents();
    EXPECT_GT(support::backColourPixelsOnScreen(form().Label3[last]), 10);
}

} // namespace
