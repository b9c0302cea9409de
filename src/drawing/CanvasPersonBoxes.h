#pragma once
// The chart's person-box pictures on the chart canvas: the main window's DPic
// element array, as Put_PersonBox uses it. The main window creates one over its
// DPic array and installs it with setPersonBoxPictures.
//
//     drawing::CanvasPersonBoxes boxes{DPic};
//     drawing::setPersonBoxPictures(&boxes);

#include "drawing/PersonBox.h"
#include "forms/ChartCanvas.h"

namespace drawing {

class CanvasPersonBoxes : public PersonBoxPictures {
public:
    explicit CanvasPersonBoxes(forms::ElementArray<forms::CanvasPicture>& pictures);
    // Uninstalls itself when it is still the installed pictures, so that
    // Put_PersonBox never reaches an array that is gone.
    ~CanvasPersonBoxes() override;
    CanvasPersonBoxes(const CanvasPersonBoxes&) = delete;
    CanvasPersonBoxes& operator=(const CanvasPersonBoxes&) = delete;

    int highestIndex() const override;
    void load(int index) override;
    void clear(int index) override;
    void show(int index, double width, double height) override;
    forms::Surface& surface(int index) override;
    void place(int index, double left, double top) override;

private:
    forms::ElementArray<forms::CanvasPicture>& m_pictures;
};

} // namespace drawing
