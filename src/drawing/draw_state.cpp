#include "drawing/draw_state.h"

#include <tuple>

namespace drawing {

namespace {

auto fields(const LineRec& r) { return std::tie(r.X1, r.Y1, r.X2, r.Y2, r.Spare, r.Style); }
auto fields(const BoxRec& r)
{
    return std::tie(r.Left, r.Top, r.Right, r.Bottom, r.Color, r.MarkF, r.IconF, r.IconFile, r.ExtF, r.PersonF);
}
auto fields(const TextRec& r)
{
    return std::tie(r.Text, r.TextColor, r.FontName, r.FontBold, r.FontItalic, r.FontSize, r.X, r.Y, r.Height,
                    r.Width, r.VertF, r.PerIdx, r.BoxW, r.BoxH);
}

template <typename Rec>
bool append(std::vector<Rec>& list, int16_t& count, const Rec& record)
{
    if (count >= MaxListRecords)
        return false;
    // A list whose count or end record was disturbed from outside is brought back to
    // the invariant first: count records, then the zero record.
    if (count < 0)
        count = 0;
    list.resize(static_cast<size_t>(count) + 1);
    list[static_cast<size_t>(count)] = record;
    list.emplace_back();
    ++count;
    return true;
}

} // namespace

bool operator==(const LineRec& a, const LineRec& b) { return fields(a) == fields(b); }
bool operator==(const BoxRec& a, const BoxRec& b) { return fields(a) == fields(b); }
bool operator==(const TextRec& a, const TextRec& b) { return fields(a) == fields(b); }

DrawState::DrawState()
    : Image1_Per(ElementMapRows), Label11_Kou(ElementMapRows), Label12_Per(NameBoxMapRows),
      Label12_RelF(NameBoxMapRows), Label12_OyaKou(NameBoxMapRows), Label12_Kou(NameBoxMapRows),
      line_buf(1), box_buf(1), text_buf(1)
{
}

DrawState& drawState()
{
    static DrawState state;
    return state;
}

void resetDrawingLists()
{
    DrawState& s = drawState();
    s.line_buf.assign(1, LineRec{});
    s.box_buf.assign(1, BoxRec{});
    s.text_buf.assign(1, TextRec{});
    s.line_cnt = 0;
    s.box_cnt = 0;
    s.text_cnt = 0;
}

bool appendLine(const LineRec& record)
{
    DrawState& s = drawState();
    return append(s.line_buf, s.line_cnt, record);
}

bool appendBox(const BoxRec& record)
{
    DrawState& s = drawState();
    return append(s.box_buf, s.box_cnt, record);
}

bool appendText(const TextRec& record)
{
    DrawState& s = drawState();
    return append(s.text_buf, s.text_cnt, record);
}

} // namespace drawing
