#include "forms/ScrollBar.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QScrollBar>

#include <algorithm>

namespace forms {

namespace {

[[noreturn]] void invalidValue()
{
    throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
}

void checkRange(int value)
{
    if (value < -32768 || value > 32767)
        invalidValue();
}

} // namespace

ScrollBar::ScrollBar(Container& container, std::string name, Orientation orientation)
    : Control(container, std::move(name)), m_orientation(orientation)
{
}

QWidget* ScrollBar::createWidget(QWidget* parent)
{
    auto* bar = new Bridged<QScrollBar>(
        m_orientation == Orientation::Horizontal ? Qt::Horizontal : Qt::Vertical, parent);
    // Change comes at the thumb's release; Scroll while it moves.
    bar->setTracking(false);
    m_bar = bar;
    QObject::connect(bar, &QScrollBar::valueChanged, bar, [this](int value) {
        if (isApplying() || value == m_props.value)
            return;
        m_props.value = value;
        raiseFromWidget([this] { raiseChange(); });
    });
    QObject::connect(bar, &QScrollBar::sliderMoved, bar, [this](int) {
        if (isApplying())
            return;
        raiseFromWidget([this] {
            auto handler = onScroll;
            if (handler)
                handler();
        });
    });
    return bar;
}

void ScrollBar::resetProperties()
{
    m_props = Properties();
}

void ScrollBar::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_props = static_cast<const ScrollBar&>(source).m_props;
}

void ScrollBar::applyProperties()
{
    if (!m_bar)
        return;
    ApplyScope scope(*this);
    m_bar->setRange(std::min(m_props.min, m_props.max), std::max(m_props.min, m_props.max));
    m_bar->setInvertedAppearance(m_props.min > m_props.max);
    m_bar->setInvertedControls(m_props.min > m_props.max);
    m_bar->setSingleStep(m_props.smallChange);
    m_bar->setPageStep(m_props.largeChange);
    m_bar->setValue(m_props.value);
}

void ScrollBar::raiseChange()
{
    if (!canRaiseEvents())
        return;
    auto handler = onChange;
    if (handler)
        handler();
}

int ScrollBar::min() const
{
    touch();
    return m_props.min;
}

int ScrollBar::max() const
{
    touch();
    return m_props.max;
}

void ScrollBar::setMin(int value)
{
    touch();
    checkRange(value);
    setRange(value, m_props.max);
}

void ScrollBar::setMax(int value)
{
    touch();
    checkRange(value);
    setRange(m_props.min, value);
}

void ScrollBar::setRange(int min, int max)
{
    m_props.min = min;
    m_props.max = max;
    const int clamped = std::clamp(m_props.value, std::min(min, max), std::max(min, max));
    const bool moved = clamped != m_props.value;
    m_props.value = clamped;
    applyProperties();
    if (moved)
        raiseChange();
}

int ScrollBar::value() const
{
    touch();
    return m_props.value;
}

void ScrollBar::setValue(int value)
{
    touch();
    if (value < std::min(m_props.min, m_props.max) || value > std::max(m_props.min, m_props.max))
        invalidValue();
    if (value == m_props.value)
        return;
    m_props.value = value;
    if (m_bar) {
        ApplyScope scope(*this);
        m_bar->setValue(value);
    }
    raiseChange();
}

int ScrollBar::smallChange() const
{
    touch();
    return m_props.smallChange;
}

void ScrollBar::setSmallChange(int value)
{
    touch();
    if (value < 1 || value > 32767)
        invalidValue();
    m_props.smallChange = value;
    if (m_bar)
        m_bar->setSingleStep(value);
}

int ScrollBar::largeChange() const
{
    touch();
    return m_props.largeChange;
}

void ScrollBar::setLargeChange(int value)
{
    touch();
    if (value < 1 || value > 32767)
        invalidValue();
    m_props.largeChange = value;
    if (m_bar)
        m_bar->setPageStep(value);
}

// ---------------------------------------------------------------- wheel

void ScrollBar::setWheelArea(Control* area)
{
    m_wheelArea = area;
    m_wheelRest = 0;
}

int ScrollBar::wheelStep() const
{
    touch();
    return m_wheelStep > 0 ? m_wheelStep : 3 * m_props.smallChange;
}

void ScrollBar::setWheelStep(int step)
{
    m_wheelStep = std::max(step, 0);
}

void ScrollBar::turnWheel(double notches)
{
    touch();
    // A fine-grained wheel sends parts of a notch; they add up to whole units.
    m_wheelRest -= notches * wheelStep();
    const int units = static_cast<int>(m_wheelRest);
    if (units == 0)
        return;
    m_wheelRest -= units;
    const long long moved = static_cast<long long>(m_props.value) + units;
    const int low = std::min(m_props.min, m_props.max);
    const int high = std::max(m_props.min, m_props.max);
    setValue(static_cast<int>(std::clamp<long long>(moved, low, high)));
}

} // namespace forms
