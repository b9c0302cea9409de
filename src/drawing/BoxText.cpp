#include "drawing/BoxText.h"

#include "drawing/BoxDate.h"
#include "forms/Colors.h"
#include "forms/Control.h"
#include "forms/Surface.h"
#include "model/DispStat.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

namespace drawing {

namespace {

// Pixel size and box extent of one rendering.
struct BoxGeometry {
    double px = forms::TwipsPerPixel;
    double py = forms::TwipsPerPixel;
    double bw = 0;
    double bh = 0;
};

BoxGeometry boxGeometry(const BoxTextCtx& ctx)
{
    const forms::Surface& surface = *ctx.Target;
    BoxGeometry g;
    g.bw = ctx.W;
    g.bh = ctx.H;
    if (ctx.BoxText_Target == BoxTarget::Printer) {
        g.px = surface.twipsPerPixelX();
        g.py = surface.twipsPerPixelY();
    } else if (ctx.BoxText_Target != BoxTarget::Preview && ctx.Draw_ForOutput == 0) {
        // A chart picture box is exactly one box large: its inner size is the box.
        g.bw = platform::roundHalfEven(surface.scaleWidth());
        g.bh = platform::roundHalfEven(surface.scaleHeight());
    }
    return g;
}

void applyTextColour(forms::Surface& surface, int16_t sex)
{
    switch (model::settings().Dispmode_Manwoman) {
    case 0:
        surface.setForeColor(forms::RGB(0, 0, 0));
        break;
    case 1:
        if (sex == 0)
            surface.setForeColor(forms::RGB(0, 0, 255));
        else if (sex == 1)
            surface.setForeColor(forms::RGB(255, 0, 0));
        break;
    default:
        break;
    }
}

void drawFrame(const BoxTextCtx& ctx, const model::DispStat& disp, const BoxGeometry& g, double x, double y)
{
    if (disp.DS_Waku == 0)
        return;
    forms::Surface& surface = *ctx.Target;
    const int savedStyle = surface.drawStyle();
    const bool knownPattern = disp.DS_WakuPat >= forms::DrawStyle::Solid && disp.DS_WakuPat <= forms::DrawStyle::DashDotDot;
    surface.setDrawStyle(knownPattern ? disp.DS_WakuPat : forms::DrawStyle::Solid);
    surface.setDrawWidth(1);
    const double x2 = x + g.bw - g.px;
    const double y2 = y + g.bh - g.py;
    if (ctx.BoxText_Target == BoxTarget::Printer) {
        surface.line(x, y, x2, y);
        surface.line(x2, y, x2, y2);
        surface.line(x2, y2, x, y2);
        surface.line(x, y2, x, y);
    } else {
        surface.line(x, y, x2, y2, forms::UseForeColor, forms::LineShape::Box);
    }
    surface.setDrawStyle(savedStyle);
}

// On the chart the death frame's corners sit on whole screen pixels.
double snapToPixelGrid(double twips)
{
    return platform::Fix(platform::roundHalfEven(twips + 7.5) / 15) * 15;
}

// The thick frame of a deceased person; the text area shrinks inside it.
void drawDeathFrame(BoxTextCtx& ctx, const model::DispStat& disp, const BoxGeometry& g, double& x, double& y)
{
    if (model::settings().Dispmode_Death == 0 || disp.DS_DeathW == 0)
        return;
    const double longSide = ctx.W > ctx.H ? g.bw : g.bh;
    const double d = platform::Int(longSide / 50);
    double x1 = x;
    double y1 = y;
    double x2 = x + g.bw - g.px;
    double y2 = y + g.bh - g.py;
    if (ctx.BoxText_Target == BoxTarget::Chart) {
        x1 = snapToPixelGrid(x1);
        y1 = snapToPixelGrid(y1);
        x2 = snapToPixelGrid(x2);
        y2 = snapToPixelGrid(y2);
    }
    forms::Surface& surface = *ctx.Target;
    surface.line(x1, y1, x1 + d, y2, forms::UseForeColor, forms::LineShape::FilledBox);
    surface.line(x1, y1, x2, y1 + d, forms::UseForeColor, forms::LineShape::FilledBox);
    surface.line(x1, y2 - d, x2, y2, forms::UseForeColor, forms::LineShape::FilledBox);
    surface.line(x2 - d, y1, x2, y2, forms::UseForeColor, forms::LineShape::FilledBox);
    x += d;
    y += d;
    ctx.W -= 2 * d;
    ctx.H -= 2 * d;
}

// On the printer the text keeps PWM_Value device pixels away from the frame.
void applyPrinterInset(BoxTextCtx& ctx, const BoxGeometry& g, double& x, double& y)
{
    if (ctx.BoxText_Target != BoxTarget::Printer)
        return;
    const double margin = model::runState().PWM_Value;
    x += g.px * margin;
    y += g.py * margin;
    ctx.W -= 2 * g.px * margin;
    ctx.H -= 2 * g.py * margin;
}

// Items 0..10 in ascending DRank; equal ranks keep item order.
std::array<int, model::DispItemCount> itemOrder(const model::DispStat& disp)
{
    std::array<int, model::DispItemCount> order{};
    for (int i = 0; i < model::DispItemCount; ++i)
        order[static_cast<size_t>(i)] = i;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 0; i + 1 < order.size(); ++i) {
            if (disp.DRank[static_cast<size_t>(order[i])] > disp.DRank[static_cast<size_t>(order[i + 1])]) {
                std::swap(order[i], order[i + 1]);
                swapped = true;
            }
        }
    }
    return order;
}

constexpr int16_t Shown = -1;

// Shown items whose shares add up to more than the whole box are scaled to fit it.
void scaleWidths(model::DispStat& disp)
{
    double total = 0;
    for (size_t i = 0; i < disp.DSW.size(); ++i) {
        if (disp.DSW[i] == Shown)
            total += disp.DWidth[i];
    }
    if (total <= 100)
        return;
    for (size_t i = 0; i < disp.DSW.size(); ++i) {
        if (disp.DSW[i] == Shown)
            disp.DWidth[i] *= 100 / total;
    }
}

std::string dateText(const std::string& stored, int16_t format, const char* mark)
{
    const std::string trimmed = platform::Trim(stored);
    if (trimmed.empty())
        return "  ";
    std::string shown = Format_BoxDate(stored, format);
    if (shown.empty())
        shown = trimmed;
    return " " + shown + " " + mark + " ";
}

std::string itemText(const model::personal_data& p, const model::DispStat& disp, int item, int16_t& dateF)
{
    namespace I = model::DispItem;
    switch (item) {
    case I::Name:
        return disp.DS_FName == 1 ? p.F_name + " " + p.Name : p.Name;
    case I::OldName:
        return " " + p.Old_name + " ";
    case I::Birth:
        dateF = 1;
        return dateText(p.B_day, disp.DS_Nen, "生");
    case I::Death:
        dateF = 1;
        return dateText(p.Death_day, disp.DS_Nen, "没");
    case I::Address:
        return "〒" + p.YubinNo + p.Addr1 + p.Addr2;
    case I::Tel:
        return " " + p.TelNo + " ";
    case I::Mobile:
        return " " + p.KeiNo + " ";
    case I::Email:
        return " " + p.E_mail + " ";
    case I::Remarks:
        return p.Biko;
    case I::Relation:
        return " " + p.Zokugara + " ";
    case I::Posthumous:
        return " " + p.Kaimyo + " ";
    default:
        return std::string();
    }
}

void resetExtents(BoxTextCtx& ctx)
{
    ctx.FirstExt = 0;
    ctx.BlockW = 0;
    ctx.BlockH = 0;
    ctx.LineExt.fill(0);
}

bool blockFits(const BoxTextCtx& ctx) { return ctx.W >= ctx.BlockW && ctx.H >= ctx.BlockH; }

void measureAt(BoxTextCtx& ctx, double size)
{
    ctx.FontSize = size;
    resetExtents(ctx);
    Fit_BoxText(ctx);
}

// In a vertical chart, signs that would lie across the column are written in
// their upright forms.
std::string verticalForm(const std::string& unit)
{
    static const std::pair<const char*, const char*> replaced[] = {
        {"－", "|"}, {"-", "|"}, {"～", "|"}, {"ー", "|"}, {"（", "∧"}, {"(", "∧"},
        {"【", "∧"}, {"）", "∨"}, {")", "∨"}, {"】", "∨"}, {"。", "゜"},
    };
    for (const auto& [from, to] : replaced) {
        if (unit == from)
            return to;
    }
    return unit;
}

bool isGroupedInDate(const std::string& ch)
{
    return (ch.size() == 1 && ch[0] >= '0' && ch[0] <= '9') || ch == "ﾞ" || ch == "ﾟ";
}

long toDevicePixels(double value) { return static_cast<long>(platform::roundHalfEven(value)); }

// The text, position and line extents of a context lent to the units of one
// item, given back when the item is laid out, also when it ends by an exception.
class UnitLoan {
public:
    explicit UnitLoan(BoxTextCtx& ctx)
        : m_ctx(ctx), m_units(platform::utf8::splitChars(ctx.Text)), m_text(std::move(ctx.Text)), m_x(ctx.X),
          m_y(ctx.Y), m_lineW(ctx.LineW), m_lineH(ctx.LineH)
    {
    }
    ~UnitLoan()
    {
        m_ctx.Text = std::move(m_text);
        m_ctx.X = m_x;
        m_ctx.Y = m_y;
        m_ctx.LineW = m_lineW;
        m_ctx.LineH = m_lineH;
    }
    UnitLoan(const UnitLoan&) = delete;
    UnitLoan& operator=(const UnitLoan&) = delete;

    const std::vector<std::string>& units() const { return m_units; }

private:
    BoxTextCtx& m_ctx;
    std::vector<std::string> m_units;
    std::string m_text;
    double m_x;
    double m_y;
    double m_lineW;
    double m_lineH;
};

// --- Remembered item fits ---
//
// Fitting an item that does not fit at its own size measures it at every size
// from 1 up, and every chart display fits every item of every box again. The
// outcome depends only on what the key below holds, so a chart box remembers it:
// the same item in the same cell on the same kind of surface gets the same size
// and extents without being measured again. Only chart boxes on the screen's
// pictures are remembered; printer and preview surfaces measure at their own
// resolutions.

struct FitKey {
    std::string text;
    std::string fontName;
    double startSize = 0;
    double width = 0;
    double height = 0;
    double twipsPerPixelX = 0;
    double twipsPerPixelY = 0;
    int16_t vert = 0;
    int16_t dateF = 0;
    int16_t writeState = 0;
    bool bold = false;
    bool italic = false;
    std::type_index surface = typeid(void);

    bool operator==(const FitKey& other) const
    {
        return text == other.text && fontName == other.fontName && startSize == other.startSize &&
               width == other.width && height == other.height && twipsPerPixelX == other.twipsPerPixelX &&
               twipsPerPixelY == other.twipsPerPixelY && vert == other.vert && dateF == other.dateF &&
               writeState == other.writeState && bold == other.bold && italic == other.italic &&
               surface == other.surface;
    }
};

struct FitKeyHash {
    size_t operator()(const FitKey& key) const
    {
        size_t h = std::hash<std::string>()(key.text);
        const auto mix = [&h](size_t value) { h ^= value + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
        mix(std::hash<std::string>()(key.fontName));
        mix(std::hash<double>()(key.startSize));
        mix(std::hash<double>()(key.width));
        mix(std::hash<double>()(key.height));
        mix(static_cast<size_t>(key.vert) * 31 + static_cast<size_t>(key.dateF) * 7 +
            static_cast<size_t>(key.writeState));
        return h;
    }
};

// The outcome of a fit: the chosen size and the extents of its measuring pass.
struct FittedItem {
    double fontSize = 0;
    double firstExt = 0;
    double blockW = 0;
    double blockH = 0;
    int16_t lineIdx = 0;
    std::vector<double> lineExt;   // the lines measured, 0..lineIdx - 1; the rest are 0

    explicit FittedItem(const BoxTextCtx& ctx)
        : fontSize(ctx.FontSize), firstExt(ctx.FirstExt), blockW(ctx.BlockW), blockH(ctx.BlockH),
          lineIdx(ctx.LineIdx), lineExt(ctx.LineExt.begin(), ctx.LineExt.begin() + ctx.LineIdx)
    {
    }

    // Leaves ctx and its surface as the measuring pass at the chosen size would.
    void applyTo(BoxTextCtx& ctx) const
    {
        ctx.Target->setFontName(ctx.FontName);
        ctx.Target->setFontSize(fontSize);
        ctx.FontSize = fontSize;
        ctx.FirstExt = firstExt;
        ctx.BlockW = blockW;
        ctx.BlockH = blockH;
        ctx.LineIdx = lineIdx;
        ctx.LineExt.fill(0);
        std::copy(lineExt.begin(), lineExt.end(), ctx.LineExt.begin());
    }
};

class RememberedFits {
public:
    const FittedItem* find(const FitKey& key) const
    {
        const auto it = m_fits.find(key);
        return it != m_fits.end() ? &it->second : nullptr;
    }

    void remember(const FitKey& key, FittedItem fitted)
    {
        // Enough for the largest family several times over; a family that outgrows
        // it starts afresh rather than growing without end.
        if (m_fits.size() >= 32768)
            m_fits.clear();
        m_fits.insert_or_assign(key, std::move(fitted));
    }

private:
    std::unordered_map<FitKey, FittedItem, FitKeyHash> m_fits;
};

RememberedFits& rememberedFits()
{
    static RememberedFits fits;
    return fits;
}

std::optional<FitKey> fitKeyOf(const BoxTextCtx& ctx)
{
    if (ctx.BoxText_Target != BoxTarget::Chart || ctx.Print_Flag != 0 || ctx.Target == nullptr)
        return std::nullopt;
    const forms::Surface& surface = *ctx.Target;
    FitKey key;
    key.text = ctx.Text;
    key.fontName = ctx.FontName;
    key.startSize = ctx.FontSize;
    key.width = ctx.W;
    key.height = ctx.H;
    key.twipsPerPixelX = surface.twipsPerPixelX();
    key.twipsPerPixelY = surface.twipsPerPixelY();
    key.vert = ctx.Vert;
    key.dateF = ctx.DateF;
    key.writeState = model::settings().write_state;
    key.bold = surface.fontBold();
    key.italic = surface.fontItalic();
    key.surface = typeid(surface);
    return key;
}

} // namespace

BoxTextCtx makeBoxTextCtx(forms::Surface& target, double width, double height, int16_t boxTarget)
{
    BoxTextCtx ctx;
    ctx.Target = &target;
    ctx.W = width;
    ctx.H = height;
    ctx.BoxText_Target = boxTarget;
    ctx.Print_Flag = boxTarget == BoxTarget::Printer ? 1 : 0;
    return ctx;
}

void Draw_BoxText(BoxTextCtx& ctx, int person, double x, double y)
{
    if (!model::isSlot(person) || ctx.Target == nullptr)
        return;
    const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(person)];
    if (p.InUse == 0)
        return;
    forms::Surface& surface = *ctx.Target;

    const BoxGeometry g = boxGeometry(ctx);
    model::DispStat disp = p.Disp;
    const long savedForeColor = surface.foreColor();
    applyTextColour(surface, p.Sex);
    drawFrame(ctx, disp, g, x, y);
    drawDeathFrame(ctx, disp, g, x, y);
    surface.setDrawWidth(1);
    applyPrinterInset(ctx, g, x, y);
    const auto order = itemOrder(disp);

    ctx.FontName = model::settings().font;
    const double aw = ctx.W;
    const double ah = ctx.H;
    ctx.Vert = disp.DS_Houko;
    // Vertical lines are laid from right to left.
    ctx.X = ctx.Vert != 0 ? x + aw : x;
    ctx.Y = y;
    scaleWidths(disp);

    for (const int item : order) {
        const size_t i = static_cast<size_t>(item);
        if (disp.DSW[i] != Shown)
            continue;
        ctx.DateF = 0;
        const std::string text = itemText(p, disp, item, ctx.DateF);
        const double share = disp.DWidth[i] / 100;
        if (ctx.Vert != 0) {
            ctx.H = ah;
            ctx.W = share * aw;
            ctx.X -= ctx.W;
        } else {
            ctx.W = aw;
            ctx.H = share * ah;
        }
        ctx.FontSize = disp.DBai[i];
        ctx.Text = text;
        ctx.AlignA = disp.DWLocate[i];
        ctx.AlignB = disp.DHLocate[i];
        ctx.DrawF = 0;
        Fit_ItemSize(ctx);
        ctx.DrawF = -1;
        Fit_BoxText(ctx);
        if (ctx.Vert == 0)
            ctx.Y += share * ah;
    }

    model::tables().LastDispStat = disp;
    surface.setForeColor(savedForeColor);
}

void Fit_ItemSize(BoxTextCtx& ctx)
{
    ctx.DrawF = 0;
    const std::optional<FitKey> key = fitKeyOf(ctx);
    if (key) {
        if (const FittedItem* fitted = rememberedFits().find(*key)) {
            fitted->applyTo(ctx);
            ctx.DrawF = -1;
            return;
        }
    }
    measureAt(ctx, ctx.FontSize);
    if (!blockFits(ctx)) {
        // The largest size that fits; the search stops at the first that does not.
        int size = 1;
        while (size <= 100) {
            measureAt(ctx, size);
            if (!blockFits(ctx))
                break;
            ++size;
        }
        measureAt(ctx, std::max(size - 1, 1));
    }
    if (key)
        rememberedFits().remember(*key, FittedItem(ctx));
    ctx.DrawF = -1;
}

void Fit_BoxText(BoxTextCtx& ctx)
{
    forms::Surface& surface = *ctx.Target;
    surface.setFontName(ctx.FontName);
    surface.setFontSize(ctx.FontSize);
    ctx.LineIdx = 0;

    // Starting point from the alignment and the extents of the last measuring pass.
    double x0 = ctx.X;
    double y0 = ctx.Y;
    if (ctx.Vert != 0) {
        switch (ctx.AlignA) {
        case 0: x0 = ctx.X + ctx.W / 2 + ctx.BlockW / 2 - ctx.FirstExt; break;
        case 1: x0 = ctx.X + ctx.W - ctx.FirstExt; break;
        case 2: x0 = ctx.X + ctx.BlockW - ctx.FirstExt; break;
        default: break;
        }
        switch (ctx.AlignB) {
        case 0: y0 = ctx.Y + ctx.H / 2 - ctx.BlockH / 2; break;
        case 1: y0 = ctx.Y; break;
        case 2: y0 = ctx.Y + ctx.H - ctx.BlockH; break;
        default: break;
        }
    } else {
        switch (ctx.AlignB) {
        case 0: x0 = ctx.X + ctx.W / 2 - ctx.BlockW / 2; break;
        case 1: x0 = ctx.X; break;
        case 2: x0 = ctx.X + ctx.W - ctx.BlockW; break;
        default: break;
        }
        switch (ctx.AlignA) {
        case 0: y0 = ctx.Y + ctx.H / 2 - ctx.BlockH / 2; break;
        case 1: y0 = ctx.Y + ctx.H - ctx.BlockH; break;
        case 2: y0 = ctx.Y; break;
        default: break;
        }
    }

    double curX = x0;
    double curY = y0;
    double lineW = 0;
    double lineH = 0;
    // Each unit goes out through the context, lent the unit, the current position
    // and the line's extents; the item's own values come back afterwards.
    const UnitLoan loan(ctx);
    const auto output = [&](const std::string& unit) {
        ctx.Text = unit;
        ctx.X = curX;
        ctx.Y = curY;
        ctx.LineW = lineW;
        ctx.LineH = lineH;
        Put_VertChar(ctx);
        curX = ctx.X;
        curY = ctx.Y;
        lineW = ctx.LineW;
        lineH = ctx.LineH;
    };
    std::string group;
    const auto flushGroup = [&]() {
        if (!group.empty()) {
            output(group);
            group.clear();
        }
    };
    const auto closeLine = [&]() {
        const double across = ctx.Vert != 0 ? lineW : lineH;
        if (ctx.LineIdx < LastLineIdx) {
            ctx.LineExt[static_cast<size_t>(ctx.LineIdx)] = across;
            ++ctx.LineIdx;
        }
        if (ctx.Vert != 0) {
            if (ctx.FirstExt == 0 && across != 0)
                ctx.FirstExt = across;
            ctx.BlockW += across;
            ctx.BlockH = std::max(ctx.BlockH, lineH);
            // The next column lies left of this one by its own measured width;
            // from the 101st line on every column falls on the 100th.
            if (ctx.LineIdx < LastLineIdx)
                curX -= ctx.LineExt[static_cast<size_t>(ctx.LineIdx)];
            curY = y0;
        } else {
            ctx.BlockH += across;
            ctx.BlockW = std::max(ctx.BlockW, lineW);
            curY += across;
            curX = x0;
        }
        lineW = 0;
        lineH = 0;
    };

    for (const std::string& ch : loan.units()) {
        if (ch == "\r")
            continue;
        if (ch == "\n") {
            flushGroup();
            closeLine();
        } else if (ctx.DateF == 1 && isGroupedInDate(ch)) {
            group += ch;
        } else {
            flushGroup();
            output(ch);
        }
    }
    flushGroup();
    closeLine();
}

void Put_VertChar(BoxTextCtx& ctx)
{
    if (ctx.LineIdx < 0 || ctx.LineIdx > LastLineIdx)
        return;
    forms::Surface& surface = *ctx.Target;
    // The test is the chart's writing direction, not the box's.
    const std::string unit = model::settings().write_state == 1 ? verticalForm(ctx.Text) : ctx.Text;
    const double w = surface.textWidth(unit);
    const double h = surface.textHeight(unit);

    const double across = ctx.LineExt[static_cast<size_t>(ctx.LineIdx)];
    double x = ctx.X;
    double y = ctx.Y;
    if (across != 0) {
        if (ctx.Vert != 0)
            x += (across - w) / 2;
        else
            y += (across - h) / 2;
    }
    surface.setCurrentX(x);
    surface.setCurrentY(y);

    if (ctx.DrawF == -1) {
        if (ctx.Print_Flag == 1) {
            const double tx = surface.twipsPerPixelX();
            const double ty = surface.twipsPerPixelY();
            forms::PixelRect rect;
            rect.left = static_cast<int>(toDevicePixels(x / tx));
            rect.top = static_cast<int>(toDevicePixels(y / ty));
            rect.right = static_cast<int>(toDevicePixels(rect.left + w / tx));
            rect.bottom = static_cast<int>(toDevicePixels(rect.top + h / ty));
            if (model::runState().Dbg_Flag == 1)
                surface.line(x, y, x + w, y + h, forms::UseForeColor, forms::LineShape::Box);
            surface.setTextColor(surface.foreColor());
            surface.drawText(unit, rect, forms::DrawTextFormat::TopLeft);
        } else {
            surface.print(unit);
        }
    }

    if (ctx.Vert != 0) {
        ctx.LineW = std::max(ctx.LineW, w);
        ctx.LineH += h;
        ctx.Y += h;
    } else {
        ctx.LineH = std::max(ctx.LineH, h);
        ctx.LineW += w;
        ctx.X += w;
    }
}

} // namespace drawing
