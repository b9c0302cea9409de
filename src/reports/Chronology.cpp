#include "reports/Chronology.h"

#include "layout/ChartTrees.h"
#include "layout/chart_state.h"
#include "model/era/EraDates.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace reports {

namespace {

constexpr const char* IdeographicSpace = "　";
constexpr double PrintFontSize = 8;
constexpr double HeadingFontSize = 12;
constexpr long White = 0xFFFFFF;
constexpr long Black = 0x000000;

} // namespace

int chronologyYear(const std::string& dateText)
{
    double date = 0;
    if (model::DateKey_ToDate(model::Fill_DatePart(dateText), date) != 0)
        return 0;
    return platform::Year(date);
}

int ChronologyYears::of(const std::string& dateText)
{
    const auto found = m_years.find(dateText);
    if (found != m_years.end())
        return found->second;
    const int year = chronologyYear(dateText);
    m_years.emplace(dateText, year);
    return year;
}

int currentYear()
{
    return platform::Year(platform::Now());
}

// --- Tree layout ---

void Load_YTbl(ChronologyRows& table)
{
    ChronologyYears years;
    Load_YTbl(table, years);
}

void Load_YTbl(ChronologyRows& table, ChronologyYears& years)
{
    table.YRowLast = -1;
    table.rows.fill(YTblRow{});
    table.YTitle.clear();
    const layout::ChartState& c = layout::chart();
    if (c.sel_tree - c.tree_cnt == 1) {
        for (int tree = 0; tree <= c.tree_cnt; ++tree)
            LoadYTblSub(table, tree, years);
    } else {
        LoadYTblSub(table, c.sel_tree, years);
    }
}

std::vector<bool> personsOnChart(int tree)
{
    std::vector<bool> on = layout::personsOnChart(static_cast<int16_t>(tree));
    on.resize(ChronologyRowCount, false);
    return on;
}

void LoadYTblSub(ChronologyRows& table, int tree)
{
    ChronologyYears years;
    LoadYTblSub(table, tree, years);
}

void LoadYTblSub(ChronologyRows& table, int tree, ChronologyYears& years)
{
    const layout::ChartState& c = layout::chart();
    table.YTitle += IdeographicSpace;
    if (tree >= 0 && tree < static_cast<int>(c.tab_buf.size()))
        table.YTitle += c.tab_buf[tree].caption;

    // One pass over the grid for the whole tree rather than one per person.
    const std::vector<bool> onChart = personsOnChart(tree);
    const int thisYear = currentYear();
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        if (!model::isTakenPerson(slot) || !onChart[static_cast<size_t>(slot)])
            continue;
        // The all-trees tab lists a person once for every tree that shows it; the
        // table has one row per slot, so collecting stops at its last row.
        if (table.YRowLast + 1 >= ChronologyRowCount)
            return;
        const model::personal_data& p = model::tables().per_buf[slot];
        YTblRow& row = table.rows[++table.YRowLast];
        row.PerIdx = static_cast<int16_t>(slot);
        row.Sex = p.Sex;
        row.TreeIdx = static_cast<int16_t>(tree);
        row.BirthYear = years.of(p.B_day);
        const int death = years.of(p.Death_day);
        // A living person's bar runs to the present.
        row.DeathYear = death != 0 ? death : thisYear;
    }
}

void orderChronologyRows(ChronologyRows& table)
{
    const int last = table.YRowLast;
    if (last < 0)
        return;
    auto& rows = table.rows;

    // Within each tree by birth year; the rows of a tree were collected together.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i < last; ++i) {
            if (rows[i].TreeIdx == rows[i + 1].TreeIdx && rows[i].BirthYear > rows[i + 1].BirthYear) {
                std::swap(rows[i], rows[i + 1]);
                swapped = true;
            }
        }
    }

    // The trees, the one holding the earliest birth first.
    std::vector<YTblRow> ordered;
    ordered.reserve(static_cast<size_t>(last) + 1);
    for (;;) {
        int best = -1;
        int bestYear = 10000;
        for (int i = 0; i <= last; ++i) {
            if (rows[i].TreeIdx != -1 && rows[i].BirthYear < bestYear) {
                best = i;
                bestYear = rows[i].BirthYear;
            }
        }
        if (best == -1)
            break;
        const int16_t tree = rows[best].TreeIdx;
        for (int i = 0; i <= last; ++i) {
            if (rows[i].TreeIdx == tree) {
                ordered.push_back(rows[i]);
                rows[i].TreeIdx = -1;
            }
        }
    }
    // A row only drops out here when its birth year is 10000 or later, which no
    // valid date gives; keep it at the end rather than lose it.
    for (int i = 0; i <= last && ordered.size() <= static_cast<size_t>(last); ++i) {
        if (rows[i].TreeIdx != -1)
            ordered.push_back(rows[i]);
    }
    std::copy(ordered.begin(), ordered.end(), rows.begin());
}

YearExtent chronologyExtent(const ChronologyRows& table)
{
    YearExtent extent;
    for (int i = 0; i <= table.YRowLast; ++i) {
        const YTblRow& row = table.rows[i];
        if (row.BirthYear != 0 && row.BirthYear < extent.YMinYear)
            extent.YMinYear = row.BirthYear;
        if (row.DeathYear != 0 && row.DeathYear > extent.YMaxYear)
            extent.YMaxYear = row.DeathYear;
        // A birth recorded after every death and after today still has its bar on
        // the axis.
        if (row.BirthYear > extent.YMaxYear)
            extent.YMaxYear = row.BirthYear;
    }
    return extent;
}

int packChronologyRows(ChronologyRows& table, const std::function<BarSpan(int row)>& span,
                       const std::function<void(int row, int line)>& place)
{
    // Spans computed from the same years by the same formula meet exactly; the
    // tolerance only absorbs the rounding of a sum.
    constexpr double Touching = 0.01;
    int line = 0;
    for (;;) {
        int tree = -2;
        for (int i = 0; i <= table.YRowLast; ++i) {
            if (table.rows[i].Placed != 1) {
                tree = table.rows[i].TreeIdx;
                break;
            }
        }
        if (tree == -2)
            return line;

        // The row that starts the pass is always placed, so every pass makes progress.
        double lineEnd = -std::numeric_limits<double>::infinity();
        for (int i = 0; i <= table.YRowLast; ++i) {
            YTblRow& row = table.rows[i];
            if (row.Placed == 1)
                continue;
            if (row.BirthYear == 0) {
                row.Placed = 1;
                continue;
            }
            if (row.TreeIdx != tree)
                continue;
            const BarSpan taken = span(i);
            if (taken.left + Touching >= lineEnd) {
                place(i, line);
                row.Placed = 1;   // also when the callback forgot to
                lineEnd = taken.right;
            }
        }
        ++line;
    }
}

double chronologyBarWidth(double x1, double x2)
{
    return std::max(ChronologyMinBarWidth, x2 - x1);
}

BarSpan BarGeometry::span() const
{
    if (nameWidth <= 0)
        return {left, left + width};
    return {std::min(left, nameLeft), std::max(left + width, nameLeft + nameWidth)};
}

BarGeometry treeBarGeometry(const YTblRow& row, int line, const YearExtent& extent, double axisWidth,
                            double captionWidth)
{
    const double span = extent.span();
    const double x1 = (row.BirthYear - extent.YMinYear) / span * axisWidth;
    const double x2 = (row.DeathYear - extent.YMinYear) / span * axisWidth;
    BarGeometry g;
    g.top = line * ChronologyLinePitch + ChronologyMargin;
    g.left = x1 + ChronologyMargin;
    g.width = chronologyBarWidth(x1, x2);
    if (captionWidth > g.width) {
        // Two pixels between a bar and its name.
        constexpr double NameGap = 30;
        const double sheetRight = axisWidth + 2 * ChronologyMargin;
        if (g.left + g.width + NameGap + captionWidth <= sheetRight) {
            g.nameLeft = g.left + g.width + NameGap;
            g.nameWidth = captionWidth;
        } else if (g.left - NameGap - captionWidth >= 0) {
            g.nameLeft = g.left - NameGap - captionWidth;
            g.nameWidth = captionWidth;
        }
    }
    return g;
}

std::string chronologyCaption(int person)
{
    const model::personal_data& p = model::tables().per_buf[person];
    return p.F_name + p.Name;
}

std::string chronologyToolTip(int person)
{
    const model::personal_data& p = model::tables().per_buf[person];
    return p.Zokugara + "　:　" + chronologyCaption(person) + " " + p.B_day + "～" + p.Death_day;
}

int chronologyGridStep(const std::string& text)
{
    if (!platform::IsNumeric(text))
        return 0;
    const double value = platform::Val(text);
    if (!(value >= 1) || value > 32767)
        return 0;
    return static_cast<int>(platform::roundHalfEven(value));
}

int effectiveGridStep(int step, const YearExtent& extent)
{
    if (step < 1)
        step = 1;
    if (extent.isEmpty())
        return step;
    const int span = extent.YMaxYear - extent.YMinYear;
    if (span / step < MaxGridLines)
        return step;
    const int needed = span / MaxGridLines + 1;
    return (needed + 9) / 10 * 10;
}

std::vector<GridYear> chronologyGrid(const YearExtent& extent, int step, double axisWidth)
{
    std::vector<GridYear> grid;
    if (step < 1 || extent.isEmpty())
        return grid;
    const double span = extent.span();
    for (int year = extent.YMinYear; year <= extent.YMaxYear; ++year) {
        if (year % step == 0)
            grid.push_back({year, (year - extent.YMinYear) / span * axisWidth + ChronologyMargin});
    }
    return grid;
}

int gridLabelPeriod(const std::vector<GridYear>& grid, double scale, double labelWidth)
{
    if (grid.size() < 2)
        return 1;
    const int step = grid[1].year - grid[0].year;
    const double lineGap = (grid[1].x - grid[0].x) * scale;
    if (lineGap <= 0)
        return step;
    // 1, 2, 5, 10, 20, 50, ... lines apart.
    for (int decade = 1;; decade *= 10) {
        for (int factor : {1, 2, 5}) {
            const long every = static_cast<long>(decade) * factor;
            if (every * lineGap >= labelWidth || every >= static_cast<long>(grid.size()))
                return static_cast<int>(every * step);
        }
    }
}

double gridLabelWidth(const std::vector<GridYear>& grid, const std::function<double(const std::string&)>& textWidth)
{
    double widest = 0;
    for (const GridYear& line : grid)
        widest = std::max(widest, textWidth(std::to_string(line.year)));
    return widest + std::max(widest / 4, textWidth("0"));
}

// --- Line lists ---

ChronologyLines buildChronologyLines()
{
    ChronologyYears years;
    return buildChronologyLines(years);
}

ChronologyLines buildChronologyLines(ChronologyYears& years)
{
    ChronologyLines lines;
    const model::Tables& t = model::tables();
    const layout::ChartState& c = layout::chart();
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        if (!model::isTakenPerson(slot))
            continue;
        const model::personal_data& p = t.per_buf[slot];
        YLineRec& line = lines.YLineByBirth[++lines.persons];
        line.BirthYear = years.of(p.B_day);
        line.DeathYear = years.of(p.Death_day);
        line.Age = p.Age;
        line.Sex = p.Sex;
        line.PerIdx = static_cast<int16_t>(slot);
        if (line.DeathYear != 0)
            ++lines.deathYears;
    }
    // The family order reads the dates the chart copied from its persons.
    const int rows = std::min(model::LastSlot, static_cast<int>(c.ChartPerList.size()) - 1);
    for (int slot = 1; slot <= rows && lines.YFamilyCount < ChronologyLastLine; ++slot) {
        const layout::ChartPerRec& row = c.ChartPerList[slot];
        if (row.Flag != 1)
            continue;
        YLineRec& line = lines.YLineByFamily[++lines.YFamilyCount];
        line.BirthYear = years.of(row.B_day);
        line.DeathYear = years.of(row.Death_day);
        line.Age = row.Age;
        line.Sex = row.Sex;
        line.PerIdx = row.PerIdx;
    }
    // Exchange sort by birth year; equal years keep their slot order.
    auto& byBirth = lines.YLineByBirth;
    for (int i = 1; i <= lines.persons; ++i) {
        for (int j = 1; j <= i; ++j) {
            if (byBirth[i].BirthYear < byBirth[j].BirthYear)
                std::swap(byBirth[i], byBirth[j]);
        }
    }
    return lines;
}

PainterAxis painterAxis(int firstYear, int lastYear, int cells)
{
    PainterAxis axis;
    // Fewer than two cells leave no interval to divide the years over.
    axis.cells = std::max(cells, 2);
    const int years = std::max(lastYear - firstYear, 0);
    axis.step = years / (axis.cells - 1) + (years % (axis.cells - 1) != 0 ? 1 : 0);
    // The same year at both ends (a family born this year) still needs a scale.
    axis.step = std::max(axis.step, 1);
    axis.captions.resize(static_cast<size_t>(axis.cells));
    for (int i = axis.cells; i >= 1; --i)
        axis.captions[static_cast<size_t>(i - 1)] = lastYear - (axis.cells - i) * axis.step;
    axis.scale = (axis.cells - 1) * PainterCellWidth / (axis.captions.back() - axis.captions.front());
    return axis;
}

// --- Printing ---

namespace {

struct PageMetrics {
    double mx = 0, my = 0, uw = 0, scale = 0;
    double th = 0, tth = 0, rh = 0, trh = 0, gap = 0, y0 = 0, bh = 0;
};

// Moves the print position without leaving a mark: a line from the point to itself.
void moveTo(forms::Surface& page, double x, double y, long colour)
{
    page.line(x, y, x, y, colour);
}

void printPageHeader(forms::Surface& page, const ChronologyPrintout& printout, const PageMetrics& m)
{
    page.setFontSize(HeadingFontSize);
    const double headingX = m.uw / 2 + m.mx - page.textWidth(printout.heading) / 2;
    moveTo(page, headingX, m.y0 - m.rh - m.trh + (m.trh - m.tth) / 2, White);
    page.print(printout.heading);
    page.setFontSize(PrintFontSize);
    const int period = gridLabelPeriod(printout.grid, m.scale,
                                       gridLabelWidth(printout.grid, [&page](const std::string& text) {
                                           return page.textWidth(text);
                                       }));
    for (const GridYear& grid : printout.grid) {
        const double x = m.mx + grid.x * m.scale;
        page.line(x, m.y0, x, m.y0 + m.bh, Black);
        if (grid.year % period != 0)
            continue;
        const std::string caption = std::to_string(grid.year);
        moveTo(page, x - page.textWidth(caption) / 2, m.y0 - m.rh + (m.rh - m.th) / 2, White);
        page.print(caption);
    }
}

void printBar(forms::Surface& page, const PrintedBar& bar, double x1, double x2, double y, const PageMetrics& m)
{
    page.line(x1, y, x2, y + m.rh, bar.colour, forms::LineShape::FilledBox);
    page.line(x1, y, x2, y + m.rh, Black, forms::LineShape::Box);
    const double textX = x1 + (x2 - x1) / 2 - page.textWidth(bar.caption) / 2;
    const double textY = y + (m.rh - m.th) / 2;
    page.line(textX, textY, textX, textY, bar.colour, forms::LineShape::Box);
    page.setCurrentX(textX);
    page.setCurrentY(textY);
    page.print(bar.caption);
}

} // namespace

int printChronology(forms::Surface& page, const ChronologyPrintout& printout, const std::function<void()>& newPage)
{
    if (printout.bars.empty())
        return 0;

    PageMetrics m;
    page.setFontSize(PrintFontSize);
    const double width = page.scaleWidth();
    const double height = page.scaleHeight();
    m.mx = width * 0.05;
    m.my = height * 0.05;
    m.uw = width * 0.90;
    m.scale = printout.axisWidth > 0 ? m.uw / printout.axisWidth : 1;
    for (const PrintedBar& bar : printout.bars)
        m.th = std::max(m.th, page.textHeight(bar.caption));
    page.setFontSize(HeadingFontSize);
    m.tth = page.textHeight(printout.heading);
    page.setFontSize(PrintFontSize);
    m.rh = m.th * 1.05;
    m.trh = m.tth * 1.05;
    m.gap = m.rh * 0.3;
    m.y0 = m.my + m.rh + m.trh;
    m.bh = (height - 2 * m.my) - (m.trh + m.rh);

    int pages = 1;
    printPageHeader(page, printout, m);
    int counter = 0;
    double lastTop = 0;
    bool rowOnPage = false;   // a printed row already stands on this page
    double y = 0;
    for (const PrintedBar& bar : printout.bars) {
        const double x1 = m.mx + bar.left * m.scale;
        const double x2 = x1 + bar.width * m.scale;
        // Bars of one sheet line share the printed row of the first of them.
        if (bar.top > lastTop || !rowOnPage) {
            if (bar.top > lastTop) {
                lastTop = bar.top;
                ++counter;
            }
            y = m.y0 + m.gap + counter * (m.rh + m.gap);
            // A page too small for even one row prints the row anyway instead of
            // turning pages forever.
            if (y + m.rh >= m.y0 + m.bh && rowOnPage) {
                newPage();
                ++pages;
                printPageHeader(page, printout, m);
                counter = 1;
                lastTop = bar.top;
                y = m.y0 + m.gap + counter * (m.rh + m.gap);
            }
        }
        printBar(page, bar, x1, x2, y, m);
        rowOnPage = true;
    }
    return pages;
}

} // namespace reports
