#include "drawing/ChartOutputs.h"

namespace drawing {

namespace {
ChartControls* installedControls = nullptr;
forms::Surface* installedExportCanvas = nullptr;
} // namespace

void setChartControls(ChartControls* controls) { installedControls = controls; }

ChartControls* chartControls() { return installedControls; }

void setExportCanvas(forms::Surface* canvas) { installedExportCanvas = canvas; }

forms::Surface* exportCanvas() { return installedExportCanvas; }

} // namespace drawing
