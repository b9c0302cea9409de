#include "reports/ChronologyWindows.h"

namespace reports {

namespace {

ChronologyWindows* installed = nullptr;

} // namespace

void setChronologyWindows(ChronologyWindows* windows)
{
    installed = windows;
}

ChronologyWindows& chronologyWindows()
{
    static ChronologyWindows defaults;
    return installed != nullptr ? *installed : defaults;
}

} // namespace reports
