#include "layout/ChartView.h"

namespace layout {

namespace {
ChartView s_defaultView;
ChartView* s_view = &s_defaultView;
} // namespace

void setChartView(ChartView* view)
{
    s_view = view ? view : &s_defaultView;
}

ChartView& chartView()
{
    return *s_view;
}

} // namespace layout
