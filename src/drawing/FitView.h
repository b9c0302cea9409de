#pragma once
// The fit view: the chart of the selected tab zoomed to fill the screen in the
// full-screen view. Leaving the view is the main window's (it restores the layout,
// the window's state and place, and the zoom box's zoom).

namespace drawing {

// The zoom chosen for a chart of X x Y twips at 100 % in a window of W x H twips.
struct FitZoom {
    double scale = 15.0;       // the new Zoom_Scale (15 = 100 %)
    bool widthLimited = false; // the width decided (the chart fills the window across)
};

// Zoom_Scale is the largest whole scale at which the chart fits across (W / X x 15)
// and down (H - 100 / Y x 15, 100 twips of the height kept free), one less when the
// chart has to shrink below 100 %, and never outside the zoom accepted anywhere
// else (25 % to 500 %, scales 3.75 to 75): a chart far larger than the window would
// otherwise get a scale of 0 or below, and a small one a zoom no other command allows.
FitZoom fitZoomScale(double W, double H, double X, double Y);

// Switches the window to the full-screen view (layout::ChartView::beginFullScreen),
// measures the selected tab's chart at 100 %, zooms it to the window and draws it
// there: one tree, or on the all-trees tab every shown tree side by side. A chart
// larger than the window even at the smallest zoom starts at its top-left corner,
// with scroll bars at the window's edges. Called again while the view is on (the
// desktop sized the window), it fits the chart to the new size.
void Fullscreen_Disp();

} // namespace drawing
