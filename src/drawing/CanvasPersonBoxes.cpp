#include "drawing/CanvasPersonBoxes.h"

namespace drawing {

CanvasPersonBoxes::CanvasPersonBoxes(forms::ElementArray<forms::CanvasPicture>& pictures) : m_pictures(pictures) {}

CanvasPersonBoxes::~CanvasPersonBoxes()
{
    if (personBoxPictures() == this)
        setPersonBoxPictures(nullptr);
}

int CanvasPersonBoxes::highestIndex() const { return m_pictures.uBound(); }

// A new element copies the design element's properties and starts hidden.
void CanvasPersonBoxes::load(int index) { m_pictures.load(index); }

// Cls: the old box's drawing goes, the drawing state (font, colours) stays.
void CanvasPersonBoxes::clear(int index) { m_pictures[index].cls(); }

void CanvasPersonBoxes::show(int index, double width, double height)
{
    forms::CanvasPicture& picture = m_pictures[index];
    picture.setVisible(true);
    picture.setWidth(width);
    picture.setHeight(height);
}

forms::Surface& CanvasPersonBoxes::surface(int index) { return m_pictures[index]; }

void CanvasPersonBoxes::place(int index, double left, double top)
{
    forms::CanvasPicture& picture = m_pictures[index];
    picture.setTop(top);
    picture.setLeft(left);
}

} // namespace drawing
