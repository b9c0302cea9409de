#pragma once
// Text sizes of the chart's captions (family titles, "より"/"へ", adoption
// labels). A caption is written into a box of fixed size whatever its length;
// the ladders choose the largest size in points whose per-character room and
// room across the line both allow it.

#include <cstdint>

namespace drawing {

// Inputs and output of the ladders, set by the caption placer before it calls one.
struct CaptionSizing {
    int16_t lbl_len = 0;        // characters of the caption
    double Label_BoxW = 0;      // box width in twips
    double Label_BoxH = 0;      // box height in twips
    int16_t Label_FontSize = 0; // chosen size in points
};

// The one instance the chart drawing shares.
CaptionSizing& captionSizing();

// Horizontal writing (sizes 2..56): by width per character and by box height.
// An empty caption (lbl_len <= 0) leaves Label_FontSize as it was.
void Calc_TextSizeH();
// Vertical writing (sizes 1..46): by box width and by height per character.
void Calc_TextSizeV();

} // namespace drawing
