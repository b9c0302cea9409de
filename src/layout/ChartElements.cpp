#include "layout/ChartElements.h"

namespace layout {

namespace {
ChartElements s_defaultElements;
ChartElements* s_elements = &s_defaultElements;
} // namespace

void setChartElements(ChartElements* elements)
{
    s_elements = elements ? elements : &s_defaultElements;
}

ChartElements& chartElements()
{
    return *s_elements;
}

} // namespace layout
