#pragma once
// A person box on the chart: one element of the main window's person-box
// pictures (the DPic control array), sized to one box and rendered with the
// person-box renderer at the chart target.

#include <cstdint>

namespace forms {
class Surface;
}

namespace drawing {

// What Put_PersonBox needs of the chart canvas's person-box pictures. The chart
// canvas installs its implementation; tests install one over image surfaces.
class PersonBoxPictures {
public:
    virtual ~PersonBoxPictures() = default;
    // The highest loaded index of the array.
    virtual int highestIndex() const = 0;
    // Loads a new element at index.
    virtual void load(int index) = 0;
    // Clears an existing element's picture (Cls).
    virtual void clear(int index) = 0;
    // Makes the element visible with the size in twips.
    virtual void show(int index, double width, double height) = 0;
    // The element's drawing surface.
    virtual forms::Surface& surface(int index) = 0;
    // Moves the element: its top to top, then its left to left (twips on the chart).
    virtual void place(int index, double left, double top) = 0;
};

// Installs the person-box pictures (not owned); nullptr removes them, and
// Put_PersonBox then draws nothing.
void setPersonBoxPictures(PersonBoxPictures* pictures);
PersonBoxPictures* personBoxPictures();

// Renders a person's box into the element whose index is the Label12 counter
// (the caller advances the counter), loading it when the array does not reach
// that far and clearing it otherwise; the element gets the box size box_w x
// box_h and ends up at x, y twips on the chart. A chart box is always rendered
// for the chart, whatever target a preview or a print used last.
void Put_PersonBox(int16_t person, double x, double y);

} // namespace drawing
