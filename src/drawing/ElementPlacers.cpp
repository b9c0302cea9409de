#include "drawing/ElementPlacers.h"

#include "drawing/BoxText.h"
#include "drawing/CaptionSize.h"
#include "drawing/ChartOutputs.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "forms/Picture.h"
#include "forms/Surface.h"
#include "layout/chart_state.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "platform/Utf8.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace drawing {

namespace {

enum class Output { Export, Lists, Screen };

Output currentOutput()
{
    const DrawState& s = drawState();
    if (s.Draw_ForOutput != 0)
        return Output::Export;
    if (s.Draw_ToBuf != 0)
        return Output::Lists;
    return Output::Screen;
}

// Advances an element counter to the index of the element about to be placed.
// The counters are 16-bit: at the limit nothing more is placed in that array.
bool advance(int16_t& counter)
{
    if (counter >= std::numeric_limits<int16_t>::max())
        return false;
    ++counter;
    return true;
}

void setMapEntry(std::vector<int16_t>& map, int index, int16_t value)
{
    if (index < 0)
        return;
    if (static_cast<size_t>(index) >= map.size())
        map.resize(static_cast<size_t>(index) + 1);
    map[static_cast<size_t>(index)] = value;
}

bool verticalWriting() { return model::settings().write_state == 1; }

// x + 7.5 to the nearest whole number (half to even), to the 15-twip grid below it,
// one grid step to the right.
double snapIconX(double x)
{
    const double rounded = platform::roundHalfEven(x + 7.5);
    const double steps = std::trunc(rounded / 15.0);
    return steps * 15.0 + 15.0;
}

// Names the face file that cannot be read and why.
void reportBadIcon(const platform::RuntimeError& error, const std::string& iconFile)
{
    platform::MsgBox(platform::failedFileMessage("アイコンファイルが不正です", error, iconFile), platform::vbOKOnly);
}

void placeLine(LineArray array)
{
    DrawState& s = drawState();
    // A measuring pass only learns the extent, which no line widens; whatever it
    // placed would be removed before the drawing pass.
    if (s.Draw_Enable == MeasuringPass)
        return;
    const bool dotted = array == LineArray::Line7;
    switch (currentOutput()) {
    case Output::Export:
        if (forms::Surface* canvas = exportCanvas()) {
            if (dotted) {
                canvas->setDrawStyle(forms::DrawStyle::Dot);
                canvas->setForeColor(0);
                canvas->setDrawWidth(1);
            } else {
                canvas->setForeColor(0);
                canvas->setDrawWidth(1);
                canvas->setDrawStyle(forms::DrawStyle::Solid);
            }
            canvas->line(s.LineX1, s.LineY1, s.LineX2, s.LineY2);
            canvas->setDrawWidth(1);
            if (dotted)
                canvas->setDrawStyle(forms::DrawStyle::Solid);
        }
        break;
    case Output::Lists:
        appendLine(LineRec{s.LineX1, s.LineY1, s.LineX2, s.LineY2, 0, static_cast<int16_t>(dotted ? -1 : 1)});
        break;
    case Output::Screen: {
        layout::ElementCounters& n = layout::chart().counters;
        int16_t& counter = dotted ? n.Line7_cnt : n.Line1_cnt;
        if (!advance(counter))
            return;
        if (ChartControls* controls = chartControls())
            controls->placeLine(array, counter, s.LineX1, s.LineY1, s.LineX2, s.LineY2);
        break;
    }
    }
}

// The caption box size handed to the ladders, and the ladder of the writing direction.
void sizeCaption(int16_t length)
{
    const layout::ChartState& c = layout::chart();
    CaptionSizing& sizing = captionSizing();
    sizing.lbl_len = length;
    sizing.Label_BoxW = c.label_dx;
    sizing.Label_BoxH = c.label_dy;
    if (verticalWriting())
        Calc_TextSizeV();
    else
        Calc_TextSizeH();
}

// Top and height of a caption label on screen: the label is fitted round its
// characters so that short captions sit in the middle of their box.
void captionLabelBox(double y, int n, double& top, double& height)
{
    const layout::ChartState& c = layout::chart();
    const double dx = c.label_dx;
    const double dy = c.label_dy;
    if (verticalWriting()) {
        top = y;
        switch (n) {
        case 1:
            top = y + dy / 2 - dx / 2;
            height = dx;
            break;
        case 2:
            top = y + dy / 2 - dx;
            height = 2 * dx;
            break;
        case 3:
            top = y + dy / 2 - 1.2 * dx;
            height = 3 * dx;
            break;
        case 4:
            height = 4 * dx;
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            height = n * dy;
            break;
        default:
            height = dy;
            break;
        }
        return;
    }
    double a = 0.05;
    switch (n) {
    case 4: a = 0.15; break;
    case 5: a = 0.2; break;
    case 6: a = 0.26; break;
    case 7: a = 0.31; break;
    case 8: a = 0.34; break;
    default: break;
    }
    top = y + a * dy;
    height = (1 - a) * dy;
}

void drawCaptionOnCanvas(forms::Surface& canvas, double x, double y, int16_t n,
                         const std::vector<std::string>& chars, const std::string& text)
{
    const layout::ChartState& c = layout::chart();
    canvas.setForeColor(0);
    canvas.line(x, y, x + c.label_dx, y + c.label_dy, forms::UseForeColor, forms::LineShape::Box);
    sizeCaption(n);
    canvas.setFontName(model::settings().font);
    canvas.setFontSize(captionSizing().Label_FontSize);
    canvas.setFontBold(false);
    canvas.setFontItalic(false);
    if (verticalWriting()) {
        double total = 0;
        for (const std::string& ch : chars)
            total += canvas.textHeight(ch);
        double cy = y + (c.label_dy - total) / 2;
        for (const std::string& ch : chars) {
            canvas.setCurrentX(x + (c.label_dx - canvas.textWidth(ch)) / 2);
            canvas.setCurrentY(cy);
            canvas.print(ch);
            cy += canvas.textHeight(ch);
        }
        return;
    }
    canvas.setCurrentX(x + (c.label_dx - canvas.textWidth(text)) / 2);
    canvas.setCurrentY(y + (c.label_dy - canvas.textHeight(text)) / 2);
    canvas.print(text);
}

void setLineEnds(double x1, double y1, double x2, double y2)
{
    DrawState& s = drawState();
    s.LineX1 = x1;
    s.LineY1 = y1;
    s.LineX2 = x2;
    s.LineY2 = y2;
}

} // namespace

void Put_Line1(int16_t flag)
{
    (void)flag; // every caller passes 0
    placeLine(LineArray::Line1);
}

void Put_Line7()
{
    placeLine(LineArray::Line7);
}

void placeSolidLine(double x1, double y1, double x2, double y2)
{
    setLineEnds(x1, y1, x2, y2);
    placeLine(LineArray::Line1);
}

void placeDottedLine(double x1, double y1, double x2, double y2)
{
    setLineEnds(x1, y1, x2, y2);
    placeLine(LineArray::Line7);
}

void Put_FaceIcon(int16_t person, double x, double y)
{
    if (!model::isSlot(person))
        return;
    const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(person)];
    const layout::ChartState& c = layout::chart();
    const double left = snapIconX(x);
    // The icon folder's own name, written into the record also when the person has
    // a picture index but no file name.
    const std::string iconFile = p.Picture_filename.empty() ? platform::appFile("\\face") + "/"
                                                             : platform::appFile("\\face\\" + p.Picture_filename);
    if (p.Picture_index == -1)
        return;

    try {
        switch (currentOutput()) {
        case Output::Export:
            if (forms::Surface* canvas = exportCanvas(); canvas && !p.Picture_filename.empty()) {
                const forms::Picture picture = forms::LoadPicture(iconFile);
                canvas->paintPicture(picture, left, y, c.icon_w, c.icon_h);
            }
            break;
        case Output::Lists: {
            BoxRec box;
            box.Left = left;
            box.Top = y;
            box.Right = left + c.icon_w;
            box.Bottom = y + c.icon_h;
            box.MarkF = 0;
            box.IconF = -1;
            box.IconFile = iconFile;
            box.ExtF = 1;
            box.PersonF = -1;
            appendBox(box);
            break;
        }
        case Output::Screen: {
            int16_t& counter = layout::chart().counters.Image1_cnt;
            if (!advance(counter))
                return;
            setMapEntry(drawState().Image1_Per, counter, person);
            if (ChartControls* controls = chartControls())
                controls->placeFaceIcon(counter, left, y, c.icon_w, c.icon_h,
                                        p.Picture_filename.empty() ? std::string() : iconFile);
            break;
        }
        }
    } catch (const platform::RuntimeError& e) {
        reportBadIcon(e, iconFile);
    }
}

void Put_CoupleMark(int16_t kou, double x, double y)
{
    if (!model::isMarriageSlot(kou))
        return;
    const layout::ChartState& c = layout::chart();
    const model::marry_data& m = model::tables().kou_buf[static_cast<size_t>(kou)];
    const bool relation = m.kou_mode == 1;
    const double h = c.Zoom_Scale * 100 / 15;
    const double y1 = y + c.box_h / 2 - c.Zoom_Scale * 100 / 30;
    const double w = relation ? c.pair_gap * 3 / 4 : c.pair_gap;
    const double x1 = relation ? x + c.pair_gap / 8 : x;
    long colour = relation ? 0xC0C0C0L : 0x40L;
    if (kou == model::runState().KouNum)
        colour = 0xFF0000L;

    switch (currentOutput()) {
    case Output::Export:
        if (forms::Surface* canvas = exportCanvas()) {
            canvas->setForeColor(colour);
            canvas->line(x1, y1, x1 + w, y1 + h, forms::UseForeColor, forms::LineShape::FilledBox);
        }
        break;
    case Output::Lists: {
        BoxRec box;
        box.Left = x1;
        box.Top = y1;
        box.Right = x1 + w;
        box.Bottom = y1 + h;
        box.Color = static_cast<int32_t>(colour);
        box.MarkF = -1;
        box.IconF = 0;
        box.PersonF = -1;
        appendBox(box);
        break;
    }
    case Output::Screen: {
        int16_t& counter = layout::chart().counters.Label11_cnt;
        if (!advance(counter))
            return;
        setMapEntry(drawState().Label11_Kou, counter, kou);
        if (ChartControls* controls = chartControls())
            controls->placeCoupleMark(counter, colour, x1, y1, w, h);
        break;
    }
    }
}

void Put_NameLabel(int16_t person, double x, double y, int16_t relationFlag, int16_t parentKou, int16_t curKou)
{
    // Persons are 1..1024: a name record with person 0 would read as a caption.
    if (!model::isPersonReference(person))
        return;
    const layout::ChartState& c = layout::chart();
    switch (currentOutput()) {
    case Output::Export:
        if (forms::Surface* canvas = exportCanvas()) {
            BoxTextCtx ctx = makeBoxTextCtx(*canvas, c.box_w, c.box_h, BoxTarget::Chart);
            ctx.Draw_ForOutput = 1;
            Draw_BoxText(ctx, person, x, y);
        }
        break;
    case Output::Lists: {
        x -= 15;
        y -= 15;
        TextRec text;
        text.PerIdx = person;
        text.X = x;
        text.Y = y;
        text.BoxW = c.box_w;
        text.BoxH = c.box_h;
        appendText(text);
        // A placeholder couple's box is drawn from its text record but does not
        // count for the chart's extent.
        if (relationFlag != RelationFlag::Placeholder) {
            BoxRec box;
            box.Left = x;
            box.Top = y;
            box.Right = x + c.box_w;
            box.Bottom = y + c.box_h;
            box.PersonF = 0;
            appendBox(box);
        }
        break;
    }
    case Output::Screen: {
        int16_t& counter = layout::chart().counters.Label12_cnt;
        if (!advance(counter))
            return;
        Put_PersonBox(person, x, y);
        const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(person)];
        const bool related = relationFlag == RelationFlag::Related;
        int dropMode = related ? 1 : 0;
        std::string tag = related ? "1" : "0";
        if (p.CategoryF == 1) {
            dropMode = 1;
            tag = "-1";
        }
        DrawState& s = drawState();
        setMapEntry(s.Label12_Per, counter, p.OrgIdx != -1 ? p.OrgIdx : person);
        setMapEntry(s.Label12_OyaKou, counter, parentKou);
        setMapEntry(s.Label12_Kou, counter, curKou);
        setMapEntry(s.Label12_RelF, counter, static_cast<int16_t>(related ? 1 : 0));
        if (ChartControls* controls = chartControls())
            controls->settleNameBox(counter, dropMode, tag);
        break;
    }
    }
}

void Put_TextLabel(double x, double y)
{
    const layout::ChartState& c = layout::chart();
    const std::string text = drawState().Label_Text;
    const std::vector<std::string> chars = platform::utf8::splitChars(text);
    // lbl_len is 16-bit; a longer caption is sized as one of the longest length.
    const int16_t n = chars.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())
        ? std::numeric_limits<int16_t>::max()
        : static_cast<int16_t>(chars.size());

    switch (currentOutput()) {
    case Output::Export:
        if (forms::Surface* canvas = exportCanvas())
            drawCaptionOnCanvas(*canvas, x - 15, y - 15, n, chars, text);
        break;
    case Output::Lists: {
        x -= 15;
        y -= 15;
        sizeCaption(n);
        TextRec record;
        record.TextColor = 0;
        record.FontName = model::settings().font;
        record.FontSize = captionSizing().Label_FontSize;
        record.FontBold = 0;
        record.FontItalic = 0;
        record.X = x;
        record.Y = y;
        record.Height = c.label_dy;
        record.Width = c.label_dx;
        record.Text = text;
        record.VertF = static_cast<int16_t>(verticalWriting() ? -1 : 0);
        appendText(record);
        BoxRec box;
        box.Left = x;
        box.Top = y;
        box.Right = x + c.label_dx;
        box.Bottom = y + c.label_dy;
        box.Color = 0;
        box.ExtF = 1;
        box.PersonF = -1;
        appendBox(box);
        break;
    }
    case Output::Screen: {
        int16_t& counter = layout::chart().counters.Label13_cnt;
        if (!advance(counter))
            return;
        double top = y;
        double height = c.label_dy;
        captionLabelBox(y, n, top, height);
        sizeCaption(n);
        std::string caption;
        if (verticalWriting()) {
            // One character per line.
            for (const std::string& ch : chars)
                caption += ch + "\r\n";
        } else {
            if (captionSizing().Label_FontSize == 0)
                captionSizing().Label_FontSize = 1;
            caption = text;
        }
        if (ChartControls* controls = chartControls())
            controls->placeCaption(counter, x, top, c.label_dx, height, captionSizing().Label_FontSize, caption,
                                   model::settings().font);
        break;
    }
    }
}

} // namespace drawing
