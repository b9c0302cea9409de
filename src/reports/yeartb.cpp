#include "reports/yeartb.h"

#include "forms/BusyPointer.h"
#include "forms/Printer.h"
#include "forms/Printers.h"
#include "layout/chart_state.h"
#include "model/Utilities.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "reports/ChronologyWindows.h"
#include "reports/reports_state.h"

#include <algorithm>
#include <string>

namespace {

constexpr double ViewportLeft = 120;
constexpr double ViewportTop = 840;
constexpr double ViewportWidth = 9000;
constexpr double ViewportHeight = 5400;
constexpr double LabelHeight = 255;
constexpr double LineGap = 120;          // between two lines of the line lists
constexpr double AxisGap = 200;          // between the name column and the axis
constexpr int ScrollLimit = 32767;
constexpr int DottedLine = 3;
constexpr int LinesInViewport = 13;      // fewer lines need no scrolling
constexpr const char* DefaultGridStep = "10";

// Keeps the viewport out of sight while the sheet under it is rebuilt, then gives
// it back its visibility. Controls shown, moved or removed on a sheet on screen
// each have Qt work out again what to lay out and repaint; a thousand of them at
// once cost more than building them. The viewport is painted anew as a whole.
class SheetOutOfSight {
public:
    explicit SheetOutOfSight(forms::PictureBox& viewport) : m_viewport(viewport), m_visible(viewport.isVisible())
    {
        m_viewport.setVisible(false);
    }
    ~SheetOutOfSight() { m_viewport.setVisible(m_visible); }
    SheetOutOfSight(const SheetOutOfSight&) = delete;
    SheetOutOfSight& operator=(const SheetOutOfSight&) = delete;

private:
    forms::PictureBox& m_viewport;
    bool m_visible;
};

// The left edge of a year label whose cell starts at cellLeft.
double yearLabelLeft(double cellLeft)
{
    return cellLeft + reports::PainterYearInset - reports::PainterLabelWidth / 2;
}

} // namespace

YeartbForm::YeartbForm() : Form("yeartb")
{
    Command1.onClick = [this] { Command1_Click(); };
    CMDFUNC.onClick = [this](int index) { CMDFUNC_Click(index); };
    CMDEND.onClick = [this] { CMDEND_Click(); };
    vsc.onChange = [this] { vsc_Change(); };
    vsc.onGotFocus = [this] { vsc_GotFocus(); };
    Picture1.onClick = [this] { Picture_Click(); };
    Picture2.onClick = [this] { Picture_Click(); };
    Label3.onClick = [this](int index) { Label3_Click(index); };
    vsc.setWheelArea(&Picture1);
}

void YeartbForm::design()
{
    setCaption(reports::YeartbCaption);
    setBorderStyle(forms::vbFixedSingle);
    move(600, 600, 9600, 7380);

    Label5.move(120, 60, ViewportWidth, LabelHeight);
    // The heading's line fits the 255-twip label at 11 points.
    Label5.setFontSize(11);

    Label1[0].move(yearLabelLeft(ViewportLeft), ViewportTop - LabelHeight - 120, reports::PainterLabelWidth,
                   LabelHeight);
    Label1[0].setCaption("1900");
    for (int i : {0, 1, 2}) {
        if (i > 0) {
            Label1[i].move(yearLabelLeft(ViewportLeft + (i - 1) * reports::PainterCellWidth),
                           ViewportTop - LabelHeight - 120, reports::PainterLabelWidth, LabelHeight);
        }
        Label1[i].setAlignment(forms::vbCenter);
        Label1[i].setBackStyle(0);
        Label1[i].setVisible(false);
    }

    Picture1.move(ViewportLeft, ViewportTop, ViewportWidth, ViewportHeight);
    Picture2.move(0, 0, ViewportWidth, ViewportHeight);
    Picture2.setBorderStyle(0);
    Picture2.setBackColor(reports::NameLabelColour);
    vsc.move(ViewportLeft + ViewportWidth, ViewportTop, 255, ViewportHeight);
    vsc.setMin(0);
    vsc.setMax(ScrollLimit);

    // The design elements the line lists start from.
    Label2[1].move(120, 120, 1750, LabelHeight);
    Label2[2].move(120, 480, 1750, LabelHeight);
    Label3[1].move(2040, 120, 2535, LabelHeight);
    Label3[2].move(2040, 480, 2535, LabelHeight);
    for (int i : {1, 2}) {
        Label2[i].setBackColor(reports::NameLabelColour);
        Label2[i].setVisible(false);
        Label3[i].setBorderStyle(1);
        Label3[i].setVisible(false);
    }
    // On the sheet's colour, so that the grid's dotted lines do not cross the names.
    BarName[0].setBackColor(reports::NameLabelColour);
    BarName[0].setVisible(false);
    for (int i : {0, 1}) {
        Line1[i].setBorderStyle(DottedLine);
        Line1[i].setVisible(false);
    }

    const double buttonsTop = ViewportTop + ViewportHeight + 120;
    Text2.move(120, buttonsTop, 495, 315);
    Text2.setText(DefaultGridStep);
    // The step takes digits, typed half-width.
    Text2.setIMEMode(forms::vbIMEOff);
    Label4.move(660, buttonsTop + 45, 1215, LabelHeight);
    Label4.setCaption("年毎に目盛");
    Command1.move(1920, buttonsTop, 1095, 375);
    Command1.setCaption("再表示");
    const char* captions[] = {"個人情報", reports::FamilyOrderCaption, "プリンタ設定", "印刷"};
    for (int i = 1; i <= 4; ++i) {
        CMDFUNC[i].move(1920 + i * 1140, buttonsTop, 1095, 375);
        CMDFUNC[i].setCaption(captions[i - 1]);
    }
    CMDEND.move(1920 + 5 * 1140, buttonsTop, 1095, 375);
    CMDEND.setCaption("戻る");
    // Only a keyboard focus holder: out of sight, but able to take the focus.
    Text1.move(-2000, buttonsTop, 255, 285);
}

// ---------------------------------------------------------------- events

void YeartbForm::Form_Load()
{
    model::runState().YTbl_Open = -1;
    years.clear();
    YOrderFlag = 0;
    YCurLine = 0;
    YPicTop = 0;
    YDisp_CTL();
}

void YeartbForm::Form_Unload(int& Cancel)
{
    (void)Cancel;
    model::runState().YTbl_Open = 0;
    years.clear();
    reports::ChronologyWindows& windows = reports::chronologyWindows();
    if (windows.isPersonCardOpen())
        windows.closePersonCard();
}

void YeartbForm::Command1_Click()
{
    YDisp_CTL();
}

void YeartbForm::CMDEND_Click()
{
    unload();
}

void YeartbForm::vsc_Change()
{
    // A sheet shorter than the viewport has nothing to scroll; a negative span
    // would move it down.
    const double span = std::max(0.0, YScrollSpan);
    Picture2.setTop(YPicTop - (static_cast<double>(vsc.value()) / ScrollLimit * span - vsc.min()));
}

void YeartbForm::vsc_GotFocus()
{
    Text1.setFocus();
}

void YeartbForm::Picture_Click()
{
    if (Text1.isEnabled() && Text1.isVisible())
        Text1.setFocus();
}

// A click on a bar of the tree layout selects its person for "個人情報"; the line
// lists keep their current line.
void YeartbForm::Label3_Click(int Index)
{
    if (showsTreeLayout() && Index >= 3 && Index <= lastBar)
        selectBar(Index);
    Picture_Click();
}

void YeartbForm::selectBar(int bar)
{
    if (selectedBar >= 3 && selectedBar <= lastBar)
        Label3[selectedBar].setBackColor(printout.bars[static_cast<size_t>(selectedBar - 3)].colour);
    selectedBar = bar;
    if (bar >= 3)
        Label3[bar].setBackColor(reports::CurrentLineColour);
}

void YeartbForm::CMDFUNC_Click(int Index)
{
    reports::ChronologyWindows& windows = reports::chronologyWindows();
    switch (Index) {
    case 1: {
        // The tree layout shows the card of the selected bar's person.
        if (showsTreeLayout()) {
            if (selectedBar >= 3)
                windows.showPersonCard(barPersons[static_cast<size_t>(selectedBar - 3)]);
            break;
        }
        // Before the first painting there is no current line to show.
        if (YCurLine < 1 || YCurLine > shownLineCount())
            return;
        windows.showPersonCard(shownLine(YCurLine).PerIdx);
        Label2[YCurLine].setBackColor(reports::CurrentLineColour);
        Label3[YCurLine].setBackColor(reports::CurrentLineColour);
        break;
    }
    case 2: {
        const forms::BusyPointer busy(*this);
        if (windows.isPersonCardOpen())
            windows.closePersonCard();
        if (YOrderFlag != -1) {
            model::settings().Nenpyo_SortMode = 0;
            YOrderFlag = -1;
            CMDFUNC[2].setCaption(reports::BirthOrderCaption);
        } else {
            const auto& list = layout::chart().ChartPerList;
            const bool charted = std::any_of(list.begin() + 1, list.end(),
                                             [](const layout::ChartPerRec& row) { return row.Flag != -1; });
            if (!charted) {
                platform::MsgBox(reports::NotAFamilyMessage, platform::vbOKOnly);
                Text1.setFocus();
                return;
            }
            YOrderFlag = 0;
            model::settings().Nenpyo_SortMode = 1;
            CMDFUNC[2].setCaption(reports::FamilyOrderCaption);
        }
        vsc.setValue(0);
        ypaint();
        Text1.setFocus();
        break;
    }
    case 3:
        if (forms::Printers().count() >= 1)
            windows.showPrinterChoice();
        else
            platform::MsgBox(reports::PrinterMissingMessage, platform::vbOKOnly);
        break;
    case 4:
        YPrint();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- tree layout

void YeartbForm::YDisp_CTL()
{
    const SheetOutOfSight rebuilding(Picture1);
    Load_YTbl();
    clearLineLists();
    // The bars, their names and the grid lines on the sheet are taken again by the
    // new layout, each placed anew; only what is left over is unloaded.
    forgetTreeLayout();
    // The new sheet starts at the top.
    YPicTop = 0;
    vsc.setValue(0);
    Picture2.setVisible(true);
    Picture2.move(0, YPicTop, Picture1.width(), Picture1.height());
    YAreaW = platform::CLng(Picture2.width());
    YAreaH = platform::CLng(Picture2.height());
    YAxisW = YAreaW - static_cast<int>(reports::ChronologyAxisInset);
    extent = reports::chronologyExtent(table);
    captionWidths.clear();
    printout = {};
    printout.axisWidth = YAxisW;
    SetVscParam();
    Disp_YTbl_Ctl();
    Label3.unloadRange(lastBar + 1, Label3.uBound());
    BarName.unloadRange(lastBarName + 1, BarName.uBound());
    Make_NenLabel();
    // The grid lines behind the bars, the last line bottom-most; each bar under the
    // bars placed after it, a name just over its bar.
    std::vector<forms::Control*> stack;
    stack.reserve(treeStack.size() + static_cast<size_t>(Line1.count()));
    for (int k = Line1.uBound(); k >= 3; --k)
        stack.push_back(&Line1[k]);
    stack.insert(stack.end(), treeStack.begin(), treeStack.end());
    forms::Control::sendToBack(stack);
    Label5.setCaption(table.YTitle + "年表");
    printout.heading = Label5.caption();
}

void YeartbForm::Load_YTbl()
{
    if (reports::chronologyGridStep(Text2.text()) == 0)
        Text2.setText(DefaultGridStep);
    reports::Load_YTbl(table, years);
}

void YeartbForm::LoadYTblSub(int tree)
{
    reports::LoadYTblSub(table, tree, years);
}

void YeartbForm::Disp_YTbl_Ctl()
{
    reports::orderChronologyRows(table);
    int pos = 2;
    int cur = extent.YMinYear;
    reports::packChronologyRows(
        table, [&](int row) { return barGeometry(row, 0).span(); },
        [&](int row, int line) { Disp_YTbl_Ex(row, pos, line, cur); });
}

reports::BarGeometry YeartbForm::barGeometry(int row, int line)
{
    const reports::YTblRow& r = table.rows[row];
    return reports::treeBarGeometry(r, line, extent, YAxisW, captionWidth(r.PerIdx));
}

double YeartbForm::captionWidth(int person)
{
    // The caption needs its text, the bar's frame and a pixel of room on each side.
    constexpr double CaptionPadding = 4 * forms::TwipsPerPixel;
    // The packing asks for a row's room on every line it tries, and the all-trees
    // tab lists a person once per tree: each name is measured once per layout.
    if (captionWidths.empty())
        captionWidths.assign(reports::ChronologyRowCount, -1);
    double& width = captionWidths[static_cast<size_t>(person)];
    if (width < 0)
        width = Label3[1].textWidth(reports::chronologyCaption(person)) + CaptionPadding;
    return width;
}

void YeartbForm::Disp_YTbl_Ex(int row, int& pos, int line, int& cur)
{
    reports::YTblRow& r = table.rows[row];
    r.Placed = 1;
    if (r.BirthYear == 0)
        return;
    ++pos;
    if (!Label3.exists(pos))
        Label3.load(pos);
    lastBar = pos;
    forms::Label& bar = Label3[pos];
    const reports::BarGeometry g = barGeometry(row, line);
    bar.move(g.left, g.top, g.width, g.height);
    const std::string caption = reports::chronologyCaption(r.PerIdx);
    // A name standing beside its bar is not repeated, cut, inside it.
    bar.setCaption(g.nameWidth > 0 ? std::string() : caption);
    bar.setBackColor(r.Sex != 0 ? reports::TreeBarFemale : reports::TreeBarMale);
    cur = r.DeathYear;
    bar.setToolTipText(reports::chronologyToolTip(r.PerIdx));
    bar.setVisible(true);
    treeStack.push_back(&bar);
    if (g.nameWidth > 0) {
        const int name = ++lastBarName;
        if (!BarName.exists(name))
            BarName.load(name);
        forms::Label& label = BarName[name];
        label.move(g.nameLeft, g.top, g.nameWidth, g.height);
        label.setCaption(caption);
        label.setToolTipText(bar.toolTipText());
        label.setVisible(true);
        treeStack.push_back(&label);
    }
    barPersons.push_back(r.PerIdx);
    printout.bars.push_back({g.left, g.top, g.width, caption, bar.backColor()});
    if (g.top + g.height >= YAreaH) {
        YAreaH = platform::CLng(g.top + g.height);
        Picture2.setHeight(YAreaH);
        SetVscParam();
    }
}

// The bar counts fractions of the span; a wheel notch moves the sheet three lines.
void YeartbForm::setWheelLines(double pitch)
{
    const double units = YScrollSpan > 0 ? 3 * pitch / YScrollSpan * ScrollLimit : 1;
    vsc.setWheelStep(static_cast<int>(std::clamp(units, 1.0, static_cast<double>(ScrollLimit))));
}

void YeartbForm::SetVscParam()
{
    YScrollSpan = Picture2.height() - Picture1.height();
    vsc.setMax(ScrollLimit);
    vsc.setMin(0);
    vsc.setSmallChange(static_cast<int>(reports::ChronologyLinePitch));
    vsc.setLargeChange(3 * static_cast<int>(reports::ChronologyLinePitch));
    setWheelLines(reports::ChronologyLinePitch);
    vsc.setEnabled(YScrollSpan > 0);
}

void YeartbForm::Make_NenLabel()
{
    Label1.unloadRange(3, Label1.uBound());
    int step = reports::chronologyGridStep(Text2.text());
    const int used = reports::effectiveGridStep(step, extent);
    // A step too fine for the family's centuries is widened, and the box says so.
    if (used != step) {
        step = used;
        Text2.setText(std::to_string(step));
    }
    printout.grid = reports::chronologyGrid(extent, step, YAxisW);
    // A year label stands centred on its line, only where it keeps clear of the
    // next one.
    const int period = reports::gridLabelPeriod(
        printout.grid, 1,
        reports::gridLabelWidth(printout.grid, [this](const std::string& text) { return Label1[0].textWidth(text); }));
    int k = 2;
    for (const reports::GridYear& grid : printout.grid) {
        ++k;
        if (!Line1.exists(k))
            Line1.load(k);
        forms::LineControl& rule = Line1[k];
        rule.setX1(grid.x);
        rule.setY1(0);
        rule.setX2(grid.x);
        rule.setY2(YAreaH);
        rule.setBorderStyle(DottedLine);
        rule.setVisible(true);
        if (grid.year % period != 0)
            continue;
        Label1.load(k);
        forms::Label& label = Label1[k];
        label.setTop(Picture1.top() - label.height() - 120);
        label.setLeft(Picture1.left() + grid.x - label.width() / 2);
        label.setCaption(std::to_string(grid.year));
        label.setVisible(true);
    }
    Line1.unloadRange(k + 1, Line1.uBound());
}

// Removes the tree layout's grid lines, names and year labels; its bars stay for
// the line lists to take.
void YeartbForm::clearTreeLayout()
{
    Line1.unloadRange(3, Line1.uBound());
    Label1.unloadRange(3, Label1.uBound());
    BarName.unloadRange(1, BarName.uBound());
    forgetTreeLayout();
}

// The tree layout holds no bar, name or selection any more.
void YeartbForm::forgetTreeLayout()
{
    lastBar = 2;
    lastBarName = 0;
    barPersons.clear();
    selectedBar = 0;
    treeStack.clear();
}

// Removes the line lists' name labels and hides their first two lines; their bars
// from the third line on stay for the tree layout to take, and their year labels
// give way to the tree layout's (Make_NenLabel).
void YeartbForm::clearLineLists()
{
    Label2.unloadRange(3, Label2.uBound());
    hideFirstLines();
}

void YeartbForm::hideFirstLines()
{
    for (int i : {1, 2}) {
        Label2[i].setVisible(false);
        Label3[i].setVisible(false);
        Label1[i].setVisible(false);
    }
}

// ---------------------------------------------------------------- line lists

const reports::YLineRec& YeartbForm::shownLine(int line) const
{
    return YOrderFlag == -1 ? lists.YLineByBirth[line] : lists.YLineByFamily[line];
}

int YeartbForm::shownLineCount() const
{
    return YOrderFlag == -1 ? lists.persons : YFamilyCount;
}

void YeartbForm::ypaint()
{
    const SheetOutOfSight rebuilding(Picture1);
    clearTreeLayout();
    hideFirstLines();
    lists = reports::buildChronologyLines(years);
    model::tables().PerCount = static_cast<int16_t>(lists.persons);
    YFamilyCount = lists.YFamilyCount;
    YCurLine = 1;

    const int perCount = lists.persons;
    const int lines = shownLineCount();
    if (perCount == 0) {
        Label2.unloadRange(3, Label2.uBound());
        Label3.unloadRange(3, Label3.uBound());
        Picture2.setVisible(false);
        for (int i = 1; i <= 4; ++i)
            CMDFUNC[i].setEnabled(false);
        return;
    }

    // The sheet.
    const double pitch = Label2[1].height() + LineGap;
    Picture2.setVisible(true);
    YPicTop = Picture2.top();
    Picture2.setHeight(pitch * lines + LineGap);
    YScrollSpan = Picture2.height() - Picture1.height();
    vsc.setMax(ScrollLimit);
    vsc.setMin(0);
    vsc.setSmallChange(platform::CLng(pitch));
    vsc.setLargeChange(3 * vsc.smallChange());
    setWheelLines(pitch);

    // The axis fills what the name column leaves of the sheet, in whole cells.
    const double axisLeft = Label2[1].left() + Label2[1].width() + AxisGap;
    const int cells = std::max(2, static_cast<int>((Picture2.width() - axisLeft) / reports::PainterCellWidth));
    Picture2.setWidth(axisLeft + cells * reports::PainterCellWidth);
    Picture1.setWidth(Picture2.width());
    vsc.setLeft(Picture1.left() + Picture1.width());

    // Year labels, left to right.
    Label1[1].setLeft(yearLabelLeft(Picture1.left() + axisLeft));
    Label1[2].setLeft(Label1[1].left() + reports::PainterCellWidth);
    for (int i = 3; i <= cells; ++i) {
        Label1.load(i);
        Label1[i].setTop(Label1[1].top());
        Label1[i].setLeft(Label1[i - 1].left() + reports::PainterCellWidth);
    }

    // A name label and a bar for each line from the third on. Those the sheet holds
    // already (of the other order, or the tree layout's bars) are taken again, only
    // those missing are loaded and those left over unloaded. Line by line from the
    // bottom of the sheet's stack: the name, then its bar.
    std::vector<forms::Control*> stack;
    stack.reserve(2 * static_cast<size_t>(std::max(0, lines - 2)));
    for (int i = 3; i <= lines; ++i) {
        if (!Label2.exists(i))
            Label2.load(i);
        if (Label3.exists(i)) {
            // A bar of the lines shows neither name nor tip.
            Label3[i].setCaption({});
            Label3[i].setToolTipText({});
        } else {
            Label3.load(i);
        }
        stack.push_back(&Label2[i]);
        stack.push_back(&Label3[i]);
    }
    Label2.unloadRange(std::max(3, lines + 1), Label2.uBound());
    Label3.unloadRange(std::max(3, lines + 1), Label3.uBound());
    forms::Control::sendToBack(stack);

    // Name labels and the bars' places, line by line.
    for (int i = 1; i <= lines; ++i) {
        if (i >= 3) {
            Label2[i].setTop(Label2[i - 1].top() + pitch);
            Label3[i].setTop(Label3[i - 1].top() + pitch);
        }
        Label2[i].setCaption(reports::chronologyCaption(shownLine(i).PerIdx));
        Label2[i].setBackColor(reports::NameLabelColour);
        Label2[i].setVisible(true);
    }

    vsc.setEnabled(lines >= LinesInViewport);

    // The axis runs from the first birth year to the present, or to the latest
    // death when everybody has died.
    int firstYear = 0;
    for (int i = 1; i <= perCount && firstYear == 0; ++i)
        firstYear = lists.YLineByBirth[i].BirthYear;
    if (firstYear == 0) {
        for (int i = 3; i <= lines; ++i)
            Label3[i].setVisible(false);
        return;
    }
    int lastYear = reports::currentYear();
    if (lists.deathYears == perCount) {
        lastYear = 0;
        for (int i = 1; i <= perCount; ++i)
            lastYear = std::max(lastYear, lists.YLineByBirth[i].DeathYear);
    }
    axis = reports::painterAxis(firstYear, lastYear, cells);
    for (int i = 1; i <= cells; ++i) {
        Label1[i].setCaption(std::to_string(axis.captions[static_cast<size_t>(i - 1)]));
        Label1[i].setVisible(true);
    }

    for (int i = 1; i <= lines; ++i) {
        const reports::YLineRec& entry = shownLine(i);
        Label3[i].setBackColor(entry.Sex != 0 ? reports::LineBarFemale : reports::LineBarMale);
        if (entry.BirthYear != 0) {
            displab(i);
            Label3[i].setVisible(true);
        } else {
            Label3[i].setVisible(false);
        }
    }

    if (reports::chronologyWindows().isPersonCardOpen()) {
        Label2[YCurLine].setBackColor(reports::CurrentLineColour);
        Label3[YCurLine].setBackColor(reports::CurrentLineColour);
    } else {
        Label2[YCurLine].setBackColor(reports::NameLabelColour);
    }
}

void YeartbForm::displab(int line)
{
    const reports::YLineRec& entry = shownLine(line);
    const double firstCaption = platform::Val(Label1[1].caption());
    const double origin = Label2[1].width() + Label2[1].left() + AxisGap + reports::PainterYearInset;
    const double left = origin + (entry.BirthYear - firstCaption) * axis.scale;
    const int endYear = entry.DeathYear != 0 ? entry.DeathYear : reports::currentYear();
    const double right = origin + (endYear - firstCaption) * axis.scale;
    forms::Label& bar = Label3[line];
    bar.move(left, bar.top(), reports::chronologyBarWidth(left, right), bar.height());
}

// ---------------------------------------------------------------- printing

void YeartbForm::YPrint()
{
    if (printout.bars.empty())
        return;
    if (forms::Printers().count() == 0) {
        platform::MsgBox(reports::PrinterMissingMessage, platform::vbOKOnly);
        return;
    }
    // One job with a new sheet per page.
    forms::printDocument(*this, model::pdfPathForReport(reports::ChronologyReportName), [this](forms::Printer& page) {
        reports::printChronology(page, printout, [&page] { page.newPage(); });
    });
}

YeartbForm& yeartb_form()
{
    static YeartbForm instance;
    return instance;
}
