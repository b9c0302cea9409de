#include "drawing/PersonBox.h"

#include "drawing/BoxText.h"
#include "layout/chart_state.h"

namespace drawing {

namespace {
PersonBoxPictures* installedPictures = nullptr;
}

void setPersonBoxPictures(PersonBoxPictures* pictures) { installedPictures = pictures; }

PersonBoxPictures* personBoxPictures() { return installedPictures; }

void Put_PersonBox(int16_t person, double x, double y)
{
    PersonBoxPictures* pictures = installedPictures;
    if (pictures == nullptr)
        return;
    const layout::ChartState& chart = layout::chart();
    const int index = chart.counters.Label12_cnt;
    if (pictures->highestIndex() < index)
        pictures->load(index);
    else
        pictures->clear(index);
    pictures->show(index, chart.box_w, chart.box_h);

    BoxTextCtx ctx = makeBoxTextCtx(pictures->surface(index), chart.box_w, chart.box_h, BoxTarget::Chart);
    Draw_BoxText(ctx, person, 0, 0);
    pictures->place(index, x, y);
}

} // namespace drawing
