#pragma once
// The chart drawing as the whole program sees it: the work values of the drawing
// walk (which pass runs, the extent reached, the line and caption handed to the
// element placers), the two flags that choose where chart elements go, the element
// maps the main window's handlers read to find what an element stands for, and the
// drawing lists that the print preview and printing render. All reached through
// drawState().
//
// Outputs: with Draw_ForOutput set, elements are drawn onto the export picture; else
// with Draw_ToBuf set, they are appended to the drawing lists; else they become
// elements of the main window's chart-control arrays (see ChartOutputs.h).
//
// The drawing lists are a format shared with printing. Each list ends with an
// all-zero record at index count (Style, Right or X = 0 marks it); the renderers
// read from record 0 up to it.

#include <cstdint>
#include <string>
#include <vector>

namespace drawing {

// Draw_Enable values: the measuring pass learns the extent, the drawing pass places.
constexpr int16_t MeasuringPass = 0;
constexpr int16_t DrawingPass = -1;

// A line of the drawing lists.
struct LineRec {
    double X1 = 0;
    double Y1 = 0;
    double X2 = 0;
    double Y2 = 0;
    int32_t Spare = 0;  // always 0
    int16_t Style = 0;  // 1 solid, -1 dotted; 0 only in the end record
};

// A box of the drawing lists: a name box's extent, a couple mark, a face icon or a
// caption frame.
struct BoxRec {
    double Left = 0;
    double Top = 0;
    double Right = 0;   // 0 in the end record
    double Bottom = 0;
    int32_t Color = 0;  // fill colour of a couple mark (&H00BBGGRR); 0 for other boxes
    int16_t MarkF = 0;  // -1 couple mark
    int16_t IconF = 0;  // -1 face icon
    std::string IconFile; // full path of the face icon file
    int16_t ExtF = 0;   // 1 face icons and caption boxes, 0 name boxes and couple marks
    int16_t PersonF = 0; // 0 a person's name box, -1 every other box
};

// A text of the drawing lists: a caption, or a person's name box (PerIdx <> 0),
// which the renderers draw with the person-box renderer.
struct TextRec {
    std::string Text;       // caption text
    int32_t TextColor = 0;
    std::string FontName;   // the chart font (captions)
    int16_t FontBold = 0;
    int16_t FontItalic = 0;
    int16_t FontSize = 0;   // points (captions)
    double X = 0;           // left edge; 0 in the end record
    double Y = 0;
    double Height = 0;      // caption box height label_dy
    double Width = 0;       // caption box width label_dx
    int16_t VertF = 0;      // -1 vertical writing (captions)
    int16_t PerIdx = 0;     // person of a name box; 0 in caption records
    double BoxW = 0;        // person box size (name records)
    double BoxH = 0;
};

bool operator==(const LineRec& a, const LineRec& b);
bool operator==(const BoxRec& a, const BoxRec& b);
bool operator==(const TextRec& a, const TextRec& b);
inline bool operator!=(const LineRec& a, const LineRec& b) { return !(a == b); }
inline bool operator!=(const BoxRec& a, const BoxRec& b) { return !(a == b); }
inline bool operator!=(const TextRec& a, const TextRec& b) { return !(a == b); }

// The counts are 16-bit; a list holds at most this many records. A record beyond
// it is not appended (and the list's overflow flag is raised), so the count never
// wraps round to a negative number that the renderers would read as no records.
constexpr int16_t MaxListRecords = 32767;

// The maps indexed by couple-mark and face-icon elements have at least 1025 rows,
// those indexed by name-box elements at least 2049; they grow when a chart needs
// more elements, so no element is left without its entry.
constexpr int ElementMapRows = 1025;
constexpr int NameBoxMapRows = 2049;

struct DrawState {
    DrawState();

    // --- The drawing walk ---
    int16_t Draw_Enable = MeasuringPass; // set by the caller of Draw_Keizu
    double Draw_MaxX = 0;   // right and bottom extent of the last walk
    double Draw_MaxY = 0;
    double Draw_MinX = 0;   // leftmost start x of any child row
    double Chart_MaxX = 0;  // copies of the extent kept by the couple-cell drawer
    double Chart_MaxY = 0;
    int16_t Cur_DrawKou = -1; // marriage of the cell being drawn
    std::string Label_Text;   // the next caption (Put_TextLabel)
    double LineX1 = 0;        // the next line (Put_Line1, Put_Line7)
    double LineY1 = 0;
    double LineX2 = 0;
    double LineY2 = 0;

    // --- Output flags: non-zero only around an export or a recording pass ---
    int16_t Draw_ForOutput = 0; // draw onto the export picture
    int16_t Draw_ToBuf = 0;     // append to the drawing lists

    // --- Element maps, indexed by the element's index in its control array ---
    std::vector<int16_t> Image1_Per;     // person of a face icon
    std::vector<int16_t> Label11_Kou;    // marriage of a couple mark
    std::vector<int16_t> Label12_Per;    // person of a name box (its OrgIdx when it is a copy)
    std::vector<int16_t> Label12_RelF;   // 1 when the relation flag was 1, else 0
    std::vector<int16_t> Label12_OyaKou; // parent marriage of the name box's cell
    std::vector<int16_t> Label12_Kou;    // marriage of the name box's cell

    // --- Drawing lists: size is always count + 1, the last record all zero ---
    std::vector<LineRec> line_buf;
    int16_t line_cnt = 0;
    std::vector<BoxRec> box_buf;
    int16_t box_cnt = 0;
    std::vector<TextRec> text_buf;
    int16_t text_cnt = 0;
};

// The one instance the whole program shares.
DrawState& drawState();

// Starts a recording pass: each list becomes a single zero record with count 0.
void resetDrawingLists();

// Append one record: the fields are written into the zero record at index count,
// a new zero record follows, count grows by one. False (nothing appended) when
// the list already holds MaxListRecords records.
bool appendLine(const LineRec& record);
bool appendBox(const BoxRec& record);
bool appendText(const TextRec& record);

} // namespace drawing
