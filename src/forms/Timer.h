#pragma once
// Timer: raises Timer every Interval milliseconds while Enabled (Interval 0 is
// off). Ticks come only from an event loop (nested loops count), and never
// while the same timer's previous Timer handler still runs. Tests switch real
// ticks off (setTimersManual) and call tick() by hand.

#include "forms/Control.h"

#include <string>

class QTimer;

namespace forms {

template <template <typename...> class H>
struct TimerEvents {
    H<> onTimer;

    template <class A, class B, class F>
    static void pairEvents(A& a, B& b, F&& f)
    {
        f(a.onTimer, b.onTimer);
    }
};

class Timer : public Control, public TimerEvents<Handler> {
public:
    template <template <typename...> class H> using ExtraEvents = TimerEvents<H>;

    Timer(Container& container, std::string name);

    int interval() const;
    // 0..65535 ms, else 380.
    void setInterval(int milliseconds);
    // True while the timer would tick (Enabled and Interval > 0).
    bool isRunning() const;

    // One tick now, as the event loop would raise it: nothing when the timer is
    // off or its Timer handler is already running. True when Timer was raised.
    bool tick();

protected:
    QWidget* createWidget(QWidget* parent) override;
    void resetProperties() override;
    void copyPropertiesFrom(const Control& source) override;
    void applyProperties() override;
    void widgetDestroying() override;
    void applyEnabled() override;
    void applyGeometry() override {}
    void applyVisible() override {}
    void applyToolTip() override {}
    void applyFont() override {}
    void applyZOrder(int) override {}
    void applyTabStop() override {}

private:
    void restart();
    void fired();

    int m_interval = 0;
    bool m_inTick = false;
    QTimer* m_timer = nullptr;
};

// When manual, no timer ticks by itself; tests call Timer::tick().
void setTimersManual(bool manual);

} // namespace forms
