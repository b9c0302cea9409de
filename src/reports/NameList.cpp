#include "reports/NameList.h"

#include "layout/ChartTrees.h"
#include "layout/chart_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"

#include <cmath>
#include <string>

namespace reports {

const NameListStyle ScreenNameList = {250, 250.0 / 8, {"氏  名", "性別", "生年月日", "死亡年月日"},
                                      model::LastSlot};
const NameListStyle PaperNameList = {400, 50, {"    氏  名", "  性別", "    生年月日", "    死亡年月日"},
                                     model::LastPersonSlot};

namespace {

constexpr int HeavyLine = 2;
constexpr int ThinLine = 1;
constexpr double TitleFontSize = 15;
constexpr double ListFontSize = 12;
constexpr const char* PaperTitle = "名                簿";

// The column starts and ends, in column order.
std::array<std::pair<int32_t, int32_t>, 4> columnSpans(const NameListGeometry& g)
{
    return {{{g.x1, g.x2}, {g.x2, g.x3}, {g.x3, g.x4}, {g.x4, g.x5}}};
}

void printAt(forms::Surface& surface, double x, double y, const std::string& text)
{
    surface.setCurrentX(x);
    surface.setCurrentY(y);
    surface.print(text);
}

// Each text is cut at its column's right rule, so a long name never runs into the
// next column, on screen as on paper.
void drawRowTexts(forms::Surface& surface, const NameListGeometry& g, double top, const NameListStyle& style,
                  const std::array<std::string, 4>& texts)
{
    const auto spans = columnSpans(g);
    const double pixelX = surface.twipsPerPixelX();
    const double pixelY = surface.twipsPerPixelY();
    for (size_t i = 0; i < spans.size(); ++i) {
        const double x = spans[i].first + (spans[i].second - spans[i].first) / 10.0;
        surface.setClipRect({static_cast<int>(std::lround(spans[i].first / pixelX)),
                             static_cast<int>(std::lround(top / pixelY)),
                             static_cast<int>(std::lround(spans[i].second / pixelX)),
                             static_cast<int>(std::lround((top + style.rowHeight) / pixelY))});
        printAt(surface, x, top + style.textOffset, texts[i]);
    }
    surface.clearClip();
}

void drawInnerVerticals(forms::Surface& surface, const NameListGeometry& g, double top, double bottom)
{
    surface.setDrawWidth(ThinLine);
    for (const int32_t x : {g.x2, g.x3, g.x4})
        surface.line(x, top, x, bottom);
}

// The next slot from slot on that gets a row, or -1 when none is left.
int nextListedSlot(int slot, int lastSlot)
{
    for (; slot <= lastSlot; ++slot) {
        if (isOnNameList(slot))
            return slot;
    }
    return -1;
}

} // namespace

NameListGeometry nameListGeometry(double width, double height)
{
    NameListGeometry g;
    g.x1 = platform::CLng(width / 16);
    g.x5 = platform::CLng(15 * width / 16);
    const double d = g.x5 - g.x1;
    g.x2 = platform::CLng(g.x1 + 2 * d / 9);
    g.x3 = platform::CLng(g.x2 + d / 9);
    g.x4 = platform::CLng(g.x3 + d / 3);
    g.top = platform::CLng(height / 10);
    return g;
}

bool isOnNameList(int slot)
{
    if (!model::isSlot(slot) || model::tables().per_buf[slot].InUse == model::SlotFree)
        return false;
    return layout::Is_OnChart(layout::chart().sel_tree, static_cast<int16_t>(slot)) == 1;
}

std::array<std::string, 4> nameListCells(int slot)
{
    const model::personal_data& p = model::tables().per_buf[slot];
    return {p.F_name + p.Name, p.Sex == 0 ? "男" : "女", p.B_day, p.Death_day};
}

double drawNameListHeading(forms::Surface& surface, const NameListGeometry& g, double top,
                           const NameListStyle& style)
{
    const double bottom = top + style.rowHeight;
    surface.setDrawWidth(HeavyLine);
    surface.line(g.x1, top, g.x5, top);
    surface.line(g.x1, top, g.x1, bottom);
    surface.line(g.x5, top, g.x5, bottom);
    surface.line(g.x1, bottom, g.x5, bottom);
    drawInnerVerticals(surface, g, top, bottom);
    drawRowTexts(surface, g, top, style, {style.headings[0], style.headings[1], style.headings[2],
                                          style.headings[3]});
    return bottom;
}

double drawNameListRow(forms::Surface& surface, const NameListGeometry& g, double top,
                       const NameListStyle& style, int slot)
{
    const double bottom = top + style.rowHeight;
    surface.setDrawWidth(HeavyLine);
    surface.line(g.x1, top, g.x1, bottom);
    surface.line(g.x5, top, g.x5, bottom);
    drawInnerVerticals(surface, g, top, bottom);
    surface.line(g.x1, bottom, g.x5, bottom);
    drawRowTexts(surface, g, top, style, nameListCells(slot));
    return bottom;
}

void closeNameList(forms::Surface& surface, const NameListGeometry& g, double bottom)
{
    surface.setDrawWidth(HeavyLine);
    surface.line(g.x1, bottom, g.x5, bottom);
}

int printNameListPages(forms::Surface& page, const std::function<void()>& newPage)
{
    const NameListStyle& style = PaperNameList;
    const double width = page.scaleWidth();
    const double height = page.scaleHeight();

    if (page.fontSize() != TitleFontSize)
        page.setFontSize(TitleFontSize);
    printAt(page, 3 * width / 8, height / 18, PaperTitle);
    page.setFontSize(ListFontSize);

    int pages = 1;
    int slot = nextListedSlot(1, style.lastSlot);
    for (;;) {
        const NameListGeometry g = nameListGeometry(width, height);
        double bottom = drawNameListHeading(page, g, g.top, style);
        int rows = 1;
        while (slot != -1 && rows < NameListRowsPerPage) {
            bottom = drawNameListRow(page, g, bottom, style, slot);
            ++rows;
            slot = nextListedSlot(slot + 1, style.lastSlot);
        }
        if (slot == -1) {
            closeNameList(page, g, bottom);
            return pages;
        }
        newPage();
        ++pages;
    }
}

} // namespace reports
