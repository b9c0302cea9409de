#pragma once
// Scroll bars. Change follows every user step, the release of the thumb, a
// Value set by code, and a Min or Max change that moves Value; Scroll follows
// the thumb while it is dragged.

#include "forms/Control.h"

#include <string>

class QScrollBar;

namespace forms {

template <template <typename...> class H>
struct ScrollBarEvents {
    H<> onChange;
    H<> onScroll;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onChange, b.onChange);
        f(a.onScroll, b.onScroll);
    }
};

class ScrollBar : public Control, public ScrollBarEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = ScrollBarEvents<H>;

    enum class Orientation { Horizontal, Vertical };
    ScrollBar(Container& container, std::string name, Orientation orientation);
    Orientation orientation() const { return m_orientation; }

    // Min and Max lie in -32768..32767 (else 380); Min may exceed Max, which
    // turns the direction round.
    int min() const;
    void setMin(int value);
    int max() const;
    void setMax(int value);
    // Between Min and Max, else 380.
    int value() const;
    void setValue(int value);
    int smallChange() const;
    void setSmallChange(int value);
    int largeChange() const;
    void setLargeChange(int value);

    // The mouse wheel over area (the control or any control inside it) moves this
    // bar while it is shown and enabled: a vertical bar follows the plain wheel, a
    // horizontal one Shift+wheel or a sideways turn. One notch moves Value by
    // wheelStep (0: three SmallChange, as a desktop scrolls three lines), towards Min
    // for a turn away from the user, and raises Change. Null: no area.
    void setWheelArea(Control* area);
    Control* wheelArea() const { return m_wheelArea; }
    int wheelStep() const;
    void setWheelStep(int step);
    // A turn of the given notches (fractions add up): Value within its range.
    void turnWheel(double notches);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_bar = nullptr; }

private:
    struct Properties {
        int min = 0;
        int max = 32767;
        int value = 0;
        int smallChange = 1;
        int largeChange = 1;
    };
    void raiseChange();
    void setRange(int min, int max);

    Orientation m_orientation;
    Properties m_props;
    Control* m_wheelArea = nullptr;
    int m_wheelStep = 0;
    double m_wheelRest = 0;
    QScrollBar* m_bar = nullptr;
};

class HScrollBar : public ScrollBar {
public:
    HScrollBar(Container& container, std::string name)
        : ScrollBar(container, std::move(name), Orientation::Horizontal)
    {
    }
};

class VScrollBar : public ScrollBar {
public:
    VScrollBar(Container& container, std::string name)
        : ScrollBar(container, std::move(name), Orientation::Vertical)
    {
    }
};

} // namespace forms
