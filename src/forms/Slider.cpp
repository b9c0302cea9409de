#include "forms/Slider.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QSlider>

#include <algorithm>

namespace forms {

namespace {

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

} // namespace

Slider::Slider(Container& container, std::string name) : Control(container, std::move(name))
{
    resetProperties();
}

QWidget* Slider::createWidget(QWidget* parent)
{
    auto* slider = new Bridged<QSlider>(Qt::Horizontal, parent);
    slider->setTickPosition(QSlider::TicksBelow);
    m_slider = slider;
    QObject::connect(slider, &QSlider::valueChanged, slider, [this](int value) {
        if (isApplying() || value == m_props.value)
            return;
        m_props.value = value;
        raiseFromWidget([this] { raiseChange(); });
    });
    return slider;
}

void Slider::resetProperties()
{
    m_props = Properties();
}

void Slider::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const Slider&>(source).m_props;
}

void Slider::applyProperties()
{
    if (!m_slider)
        return;
    ApplyScope scope(*this);
    m_slider->setRange(m_props.min, m_props.max);
    m_slider->setValue(m_props.value);
}

void Slider::raiseChange()
{
    if (!canRaiseEvents())
        return;
    auto handler = onChange;
    if (handler)
        handler();
}

int Slider::min() const
{
    touch();
    return m_props.min;
}

void Slider::setMin(int value)
{
    touch();
    setRange(value, std::max(value, m_props.max));
}

int Slider::max() const
{
    touch();
    return m_props.max;
}

void Slider::setMax(int value)
{
    touch();
    setRange(std::min(value, m_props.min), value);
}

void Slider::setRange(int min, int max)
{
    m_props.min = min;
    m_props.max = max;
    const int clamped = std::clamp(m_props.value, min, max);
    const bool moved = clamped != m_props.value;
    m_props.value = clamped;
    applyProperties();
    if (moved)
        raiseChange();
}

int Slider::value() const
{
    touch();
    return m_props.value;
}

void Slider::setValue(int value)
{
    touch();
    if (value < m_props.min || value > m_props.max)
        invalidValue();
    if (value == m_props.value)
        return;
    m_props.value = value;
    if (m_slider) {
        ApplyScope scope(*this);
        m_slider->setValue(value);
    }
    raiseChange();
}

} // namespace forms
