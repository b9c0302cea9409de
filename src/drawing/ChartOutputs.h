#pragma once
// Where the element placers send the chart when it is neither recorded into the
// drawing lists nor drawn onto the export picture: the chart-control arrays of the
// main window (couple marks Label11, name labels Label12 with their person-box
// pictures DPic, captions Label13, solid lines Line1, dotted lines Line7, face icons
// Image1), and the viewport the chart is shown in. The drawing cannot see the
// windows, so each request is a virtual call here; the main window installs its
// implementation (CanvasChartControls over its chart canvas), tests install one over
// a canvas of their own. With nothing installed, the screen output places nothing.
//
// Each place* call loads the element with the given index (the placer has advanced
// the array's counter) and sets the properties named, in the order named.
// Coordinates are twips on the chart canvas; colours &H00BBGGRR.
//
// The person-box pictures (DPic) are rendered through Put_PersonBox and its
// PersonBoxPictures (PersonBox.h); the export picture is any drawing surface.

#include <string>

namespace forms {
class Surface;
}

namespace drawing {

enum class LineArray { Line1, Line7 };

class ChartControls {
public:
    virtual ~ChartControls() = default;

    // Line1 (solid) or Line7 (dotted): X1, X2, Y1, Y2, then visible.
    virtual void placeLine(LineArray array, int index, double x1, double y1, double x2, double y2) = 0;
    // Image1: Left, Top, Width, Height; the picture loaded from pictureFile when that
    // is not empty; then visible, also when no picture was loaded. A picture file
    // that is missing or unreadable raises platform::RuntimeError (the element stays
    // loaded and invisible).
    virtual void placeFaceIcon(int index, double left, double top, double width, double height,
                               const std::string& pictureFile) = 0;
    // Label11: accepts drops, BackColor, Left, Top, Height, Width, then visible.
    virtual void placeCoupleMark(int index, long colour, double left, double top, double width,
                                 double height) = 0;
    // The person-box picture DPic(index), already rendered and placed by
    // Put_PersonBox: its drop mode (1 accepts dropped persons, 0 refuses them), its
    // Tag, and its drag mode 0; then Label12(index) is loaded and kept invisible.
    virtual void settleNameBox(int index, int dropMode, const std::string& tag) = 0;
    // Label13: Left, Width, Top, Height, visible, centred, FontSize, Caption, font name.
    virtual void placeCaption(int index, double left, double top, double width, double height,
                              double fontSize, const std::string& caption, const std::string& fontName) = 0;
    // Width of the viewport the chart canvas is shown in (the main window's Picture2).
    virtual double viewportWidth() const = 0;
};

// Installs the chart controls (not owned); nullptr removes them.
void setChartControls(ChartControls* controls);
ChartControls* chartControls();

// Installs the export picture (not owned) that the placers draw on while
// Draw_ForOutput is set; nullptr removes it, and the export output then draws nothing.
void setExportCanvas(forms::Surface* canvas);
forms::Surface* exportCanvas();

} // namespace drawing
