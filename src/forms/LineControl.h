#pragma once
// Line: a line between (X1, Y1) and (X2, Y2) in twips of its container. The
// end points may be set in any order; the line is repainted once control
// returns to the event loop, so no intermediate state is ever painted. It has
// no events and is never hit by the mouse or a drop.

#include "forms/Control.h"

#include <string>

namespace forms {

class LineControl : public Control {
public:
    LineControl(Container& container, std::string name);
    ~LineControl() override;

    double x1() const;
    void setX1(double twips);
    double y1() const;
    void setY1(double twips);
    double x2() const;
    void setX2(double twips);
    double y2() const;
    void setY2(double twips);

    // 0 transparent, 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 inside solid.
    int borderStyle() const;
    void setBorderStyle(int style);
    long borderColor() const;
    void setBorderColor(long colour);
    // Pen width in pixels, 1 or more.
    int borderWidth() const;
    void setBorderWidth(int pixels);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void applyGeometry() override;
    void widgetDestroying() override;

private:
    class Widget;
    friend class Widget;
    void changed();

    Widget* m_widget = nullptr;
    double m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    int m_borderStyle = 1;
    long m_borderColor = 0x80000008L;
    int m_borderWidth = 1;
};

} // namespace forms
