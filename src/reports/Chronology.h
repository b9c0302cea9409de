#pragma once
// The chronology table without its window: the row table of the tree layout
// (persons of the shown tree or of every tree, ordered and packed onto lines of
// life bars), the line lists in birth-year and family order, the year axes of
// both presentations and the printed pages of the tree layout. The window
// `yeartb` turns these into controls; everything here is plain data, so the
// ordering, the packing and the paging can be checked without a screen.
//
// Years are whole numbers. A date text that does not complete to a valid date
// gives the year 0 ("no year"); the tree layout lets a person without a valid
// death date live to the current year.

#include "forms/Surface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace reports {

constexpr int ChronologyRowCount = 1025;   // rows 0..1024 of the tree layout
constexpr int ChronologyLastLine = 1024;   // line lists use entries 1..1024

// Fixed geometry of the tree layout, twips.
constexpr double ChronologyMargin = 120;          // left and top margin of the sheet
constexpr double ChronologyBarHeight = 255;
constexpr double ChronologyLinePitch = 375;       // bar height + 120
constexpr double ChronologyAxisInset = 240;       // sheet width - axis width

// Bar colours (&H00BBGGRR): the tree layout's women and men, the line lists' women
// and men, and the highlight of the current line.
constexpr long TreeBarFemale = 0x8080FF;   // RGB(255, 128, 128)
constexpr long TreeBarMale = 0xFF8080;     // RGB(128, 128, 255)
constexpr long LineBarFemale = 0x0000FF;
constexpr long LineBarMale = 0xFFFF00;
constexpr long NameLabelColour = 0xFFFFFF;
constexpr long CurrentLineColour = 0x00FFFF;

// The year of a stored date text completed with Fill_DatePart, or 0 when it is
// empty or no valid date.
int chronologyYear(const std::string& dateText);

// The years of date texts (chronologyYear), each text read once. The window keeps
// one while it is loaded: every presentation it builds reads the dates of the same
// persons again.
class ChronologyYears {
public:
    int of(const std::string& dateText);
    void clear() { m_years.clear(); }

private:
    std::unordered_map<std::string, int> m_years;
};
// The year of the hooks' clock (platform::Now), so tests can fix "today".
int currentYear();

// --- Tree layout ---

// One row of the tree layout.
struct YTblRow {
    int16_t Placed = 0;    // 1 once the packing has dealt with the row
    int16_t PerIdx = -1;   // person slot; -1 empty row
    int BirthYear = 0;     // 0: no valid birth date
    int DeathYear = 0;     // the current year when there is no valid death date
    int16_t Sex = 0;
    int16_t TreeIdx = -1;  // tree the row was collected for; -1 empty row
};

struct ChronologyRows {
    std::array<YTblRow, ChronologyRowCount> rows;
    int YRowLast = -1;     // rows 0..YRowLast are filled
    std::string YTitle;    // "　" + tab caption, for each collected tree
};

// The persons standing on the chart of tab index tree, by slot: what
// Is_OnChart(tree, slot) gives for every slot at once.
std::vector<bool> personsOnChart(int tree);

// Empties the table and collects the rows of the selected tab: every tree for the
// all-trees tab (sel_tree - tree_cnt = 1), else the tree sel_tree.
void Load_YTbl(ChronologyRows& table);
void Load_YTbl(ChronologyRows& table, ChronologyYears& years);
// Appends "　" + the tab caption of the tree to YTitle and a row for each used
// person slot on the chart of that tree, in slot order.
void LoadYTblSub(ChronologyRows& table, int tree);
void LoadYTblSub(ChronologyRows& table, int tree, ChronologyYears& years);

// Orders the rows: within each tree by ascending birth year (0 first, equal years
// in collection order), and the trees by their earliest birth year (the tree met
// first wins a tie).
void orderChronologyRows(ChronologyRows& table);

// The earliest non-zero birth year (10000 when none) and the latest non-zero
// death or birth year (0 when none) of the filled rows, so that every bar lies on
// the axis.
struct YearExtent {
    int YMinYear = 10000;
    int YMaxYear = 0;
    bool isEmpty() const { return YMinYear > YMaxYear; }
    // The years the axis spans, at least 1: an extent of one single year (a child
    // born this year) would otherwise divide by zero.
    int span() const { return YMaxYear - YMinYear > 0 ? YMaxYear - YMinYear : 1; }
};
YearExtent chronologyExtent(const ChronologyRows& table);

// The room a row takes on its line, sheet twips: from the left edge of its bar (or
// of its name beside the bar) to the right edge of either.
struct BarSpan {
    double left = 0;
    double right = 0;
};

// Packs the ordered rows onto lines. Each pass fills one line with bars of one
// tree that follow each other without touching, starting with the first row not
// yet placed; rows without a birth year are marked placed and get no bar. A row
// goes onto the line when its span (span(row)) starts at or after the end of the
// span placed last, so a bar may start where the one before it ends. place(row,
// line) is called for each bar in the order the bars are created; it must mark
// the row placed. Returns the number of passes, one line each (a first pass that
// meets only rows without a birth year leaves its line empty).
int packChronologyRows(ChronologyRows& table, const std::function<BarSpan(int row)>& span,
                       const std::function<void(int row, int line)>& place);

// Where a row's bar lies on the sheet, twips. A death year before the birth year
// gives the narrowest bar rather than a negative width.
//
// A bar too narrow for its name has the name beside it (nameWidth > 0): after the
// bar, or before it where the name would run past the sheet's right edge. A name
// with room on neither side stays the bar's caption.
struct BarGeometry {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = ChronologyBarHeight;
    double nameLeft = 0;
    double nameWidth = 0;   // 0: the name is the bar's caption
    BarSpan span() const;
};
// The narrowest bar: three pixels of its colour inside the one-pixel sunken frame
// on each side, so that a person born this year and still living, or one whose
// death was recorded before the birth, still shows a bar.
constexpr double ChronologyMinBarWidth = 75;
double chronologyBarWidth(double x1, double x2);

// captionWidth: the room the bar's caption needs, its frame included (0: no test).
BarGeometry treeBarGeometry(const YTblRow& row, int line, const YearExtent& extent, double axisWidth,
                            double captionWidth = 0);

// Caption and tool tip of a person's bar: F_name followed by Name, and
// Zokugara "　:　" caption " " B_day "～" Death_day.
std::string chronologyCaption(int person);
std::string chronologyToolTip(int person);

// The grid step typed in the step box: a whole number of years from 1 up; any
// other text (empty, letters, 0, negative, a fraction below 1) gives 0.
int chronologyGridStep(const std::string& text);
// The most grid lines the tree layout draws; a smaller step is widened to keep a
// family spanning centuries from creating thousands of labels.
constexpr int MaxGridLines = 200;
// The step actually used: step, or the smallest multiple of 10 years that keeps
// the grid within MaxGridLines over the extent.
int effectiveGridStep(int step, const YearExtent& extent);

// The grid lines of the tree layout: every year of the extent divisible by the
// step, with its x on the sheet (the axis starts at the left margin).
struct GridYear {
    int year = 0;
    double x = 0;
};
std::vector<GridYear> chronologyGrid(const YearExtent& extent, int step, double axisWidth);

// The years whose grid lines carry a label: those divisible by the returned number
// of years, a multiple of the grid's step by 1, 2, 5, 10, 20, 50 ..., the smallest
// that keeps labels of labelWidth (twips on the surface, room between labels
// included) from touching where sheet twips are drawn at scale. A grid of fewer
// than two lines labels every line.
int gridLabelPeriod(const std::vector<GridYear>& grid, double scale, double labelWidth);
// The widest year caption of the grid on a surface, with the room left between two
// labels: a quarter of it, at least the width of one digit.
double gridLabelWidth(const std::vector<GridYear>& grid, const std::function<double(const std::string&)>& textWidth);

// --- Line lists ---

struct YLineRec {
    int BirthYear = 0;   // 0: no valid birth date
    int DeathYear = 0;   // 0: no valid death date, also for the living
    int16_t Age = 0;
    int16_t Sex = 0;
    int16_t PerIdx = -1;
};

struct ChronologyLines {
    std::array<YLineRec, ChronologyLastLine + 1> YLineByBirth;    // entries 1..persons
    std::array<YLineRec, ChronologyLastLine + 1> YLineByFamily;   // entries 1..YFamilyCount
    int persons = 0;        // used person slots; the window writes it to PerCount
    int YFamilyCount = 0;   // used rows of ChartPerList
    int deathYears = 0;     // persons with a valid death date
};
// One line per used person slot (sorted by ascending birth year, 0 first) and one
// per used row of the chart-person list (in chart order).
ChronologyLines buildChronologyLines();
ChronologyLines buildChronologyLines(ChronologyYears& years);

// The year axis the painter puts over the line lists: cells labels 630 twips
// apart, the rightmost showing the last year and each one step earlier to the
// left. At least two cells, and a step of at least one year.
// A year stands PainterYearInset into its cell; its label is centred on it and as
// wide as a cell, so that a four-digit year fits with room to spare.
constexpr double PainterCellWidth = 630;
constexpr double PainterYearInset = 187.5;
constexpr double PainterLabelWidth = PainterCellWidth;
struct PainterAxis {
    int cells = 2;
    int step = 1;
    std::vector<int> captions;   // label 1 .. cells, left to right
    double scale = 0;            // twips per year
};
PainterAxis painterAxis(int firstYear, int lastYear, int cells);

// --- Printing the tree layout ---

struct PrintedBar {
    double left = 0;     // sheet twips, as the bar control stands
    double top = 0;
    double width = 0;
    std::string caption;
    long colour = 0;
};
struct ChronologyPrintout {
    std::string heading;
    double axisWidth = 0;              // YAxisW
    std::vector<GridYear> grid;        // x in sheet twips (margin included)
    std::vector<PrintedBar> bars;      // in creation order
};
// Prints the bars onto page (the printer): each page starts with the heading, the
// year grid and its captions; bars of one sheet line share a printed row; a row
// that does not fit makes a new page (newPage is called) and goes on top of it.
// Nothing is drawn when there are no bars. Returns the number of pages.
int printChronology(forms::Surface& page, const ChronologyPrintout& printout, const std::function<void()>& newPage);

} // namespace reports
