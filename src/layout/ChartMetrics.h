#pragma once
// Chart metrics and zoom. Every size on the chart is Zoom_Scale times a fixed
// constant; Zoom_Scale is 15.0 at 100 %, so each constant is the size in screen
// pixels at 100 % and the metric is in twips. The metrics live in chart().

namespace layout {

// Zoom_Scale := percent / 100 x 15 (division first) and Zoom_Ratio := percent / 100.
// The caller keeps the percent within 25..500, as the zoom box does.
void setZoomPercent(double percent);

// Every metric for horizontal writing (write_state 0) from the current Zoom_Scale.
void Set_ChartMetrics();
// The same for vertical writing (write_state 1): box width and height, the caption
// offsets exchanged, and wider generation gaps.
void Set_ChartMetricsW();
// Set_ChartMetricsW when the document's write_state is 1, else Set_ChartMetrics.
void setMetricsForWriteState();

// The zoom box shows "100" and the zoom goes back to 100 %.
void Reset_Zoom();

// Unloads the loaded elements (index 2 up to each counter) of the chart-control
// arrays Label11, Label12, Label13, Line1, Line7, Image1 and DPic (DPic up to the
// Label12 counter), then sets the six counters to 1. No box is left waiting alone
// on the canvas, so the zoom box and the full-screen command work again.
void Unload_ChartCtl();

// Era-name dates: Dispmode_Nengo := 1.
void Init_NengoMode();

// Start-up: zoom 100 %, metrics for the current writing direction, counters 1.
void Init_ChartState();

} // namespace layout
