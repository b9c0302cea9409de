#pragma once
// A drawing surface that records what is drawn as a display list of device-pixel
// operations and replays it whenever its owner paints. Picture boxes, the chart's
// person boxes and preview pages keep their drawing this way, so their memory
// follows what was drawn, not the zoom or the size on screen.

#include "forms/PainterSurface.h"
#include "forms/Picture.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace forms {

class DisplayListSurface : public PainterSurface {
public:
    DisplayListSurface();
    ~DisplayListSurface() override;
    DisplayListSurface(const DisplayListSurface&) = delete;
    DisplayListSurface& operator=(const DisplayListSurface&) = delete;

    int widthPixels() const { return m_width; }
    int heightPixels() const { return m_height; }
    // The owner's client size; the drawing is kept when it changes.
    void setSizePixels(int widthPixels, int heightPixels);

    // Number of recorded operations (after the last Cls).
    std::size_t operationCount() const;

    // Paints the background and the recorded drawing onto a painter whose origin
    // is this surface's top left, clipped to the surface's size.
    void replay(QPainter& painter) const;

    // The drawing rendered into a 96-dpi image of the surface's size.
    Picture image() const;

    // Called after every change of the drawing (owner repaints).
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

protected:
    int deviceWidth() const override { return m_width; }
    int deviceHeight() const override { return m_height; }
    void emitOp(PaintOp&& op) override;
    void eraseAll(long backColor) override;

private:
    void notify() const
    {
        if (m_changed)
            m_changed();
    }

    std::vector<PaintOp> m_ops;
    long m_background;
    bool m_hasClipOps = false;
    int m_width = 0;
    int m_height = 0;
    std::function<void()> m_changed;
};

} // namespace forms
