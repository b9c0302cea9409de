#include "forms/Timer.h"

#include "forms/Bridge_p.h"

#include "platform/Errors.h"

#include <QTimer>

namespace forms {

namespace {
bool g_manual = false;
} // namespace

void setTimersManual(bool manual)
{
    g_manual = manual;
}

Timer::Timer(Container& container, std::string name) : Control(container, std::move(name)) {}

QWidget* Timer::createWidget(QWidget* parent)
{
    m_timer = new QTimer(parent);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] {
        if (!g_manual)
            fired();
    });
    return nullptr;
}

void Timer::widgetDestroying()
{
    if (m_timer) {
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        m_timer->stop();
        disposeObject(m_timer);
        m_timer = nullptr;
    }
}

void Timer::resetProperties()
{
    m_interval = 0;
    m_inTick = false;
}

void Timer::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    m_interval = static_cast<const Timer&>(source).m_interval;
}

void Timer::applyProperties()
{
    restart();
}

void Timer::applyEnabled()
{
    restart();
}

void Timer::restart()
{
    if (!m_timer)
        return;
    if (isRunning())
        m_timer->start(m_interval);
    else
        m_timer->stop();
}

int Timer::interval() const
{
    touch();
    return m_interval;
}

void Timer::setInterval(int milliseconds)
{
    touch();
    if (milliseconds < 0 || milliseconds > 65535)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "プロパティの値が不正です。");
    m_interval = milliseconds;
    restart();
}

bool Timer::isRunning() const
{
    return m_interval > 0 && Control::isEnabled();
}

void Timer::fired()
{
    if (m_inTick || !isRunning() || !canRaiseEvents())
        return;
    const ControlLife alive = life();
    m_inTick = true;
    runGuarded([this] {
        auto handler = onTimer;
        if (handler)
            handler();
    });
    if (alive)
        m_inTick = false;
}

bool Timer::tick()
{
    touch();
    if (m_inTick || !isRunning() || !canRaiseEvents())
        return false;
    const ControlLife alive = life();
    m_inTick = true;
    try {
        auto handler = onTimer;
        if (handler)
            handler();
    } catch (...) {
        if (alive)
            m_inTick = false;
        throw;
    }
    if (alive)
        m_inTick = false;
    return true;
}

} // namespace forms
