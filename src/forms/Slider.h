#pragma once
// Slider: a horizontal track with a thumb for a position between Min and Max
// (the voice memo window's elapsed time). Change follows every Value set by
// code and every move by the user; a Value outside Min..Max raises 380.

#include "forms/Control.h"

#include <string>

class QSlider;

namespace forms {

template <template <typename...> class H>
struct SliderEvents {
    H<> onChange;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onChange, b.onChange);
    }
};

class Slider : public Control, public SliderEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = SliderEvents<H>;

    Slider(Container& container, std::string name);

    int min() const;
    void setMin(int value);
    // A Max below Value brings Value down to it (raising Change).
    int max() const;
    void setMax(int value);
    int value() const;
    void setValue(int value);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override { m_slider = nullptr; }

private:
    void setRange(int min, int max);
    void raiseChange();

    struct Properties {
        int min = 0;
        int max = 10;
        int value = 0;
    };
    Properties m_props;
    QSlider* m_slider = nullptr;
};

} // namespace forms
