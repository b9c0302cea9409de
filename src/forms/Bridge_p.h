#pragma once
// Plumbing between Qt widgets and controls, for use inside src/forms/*.cpp only.
//
// Every widget that backs a control is a Bridged<QtClass>: its Qt events pass
// through Control::dispatchWidgetEvent, which raises the control's mouse,
// keyboard and focus events, in the order the window handlers rely on, around
// the widget's own handling.
// Everything that enters program code from Qt (events, signals, timers) runs
// inside a DispatchScope through runGuarded, the boundary where exceptions stop.

#include "forms/Control.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QString>
#include <QWheelEvent>
#include <QWidget>

#include <functional>
#include <string>
#include <utility>

class QObject;

namespace forms {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline std::string str(const QString& text) { return text.toStdString(); }

// Line breaks: the windows read and write CR LF, Qt widgets hold LF.
QString crlfToLf(const QString& text);
QString lfToCrlf(const QString& text);

// Marks a call into program code that came from Qt.
class DispatchScope {
public:
    DispatchScope();
    ~DispatchScope();
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;
    // True while any such call runs (a widget may then be inside its own event).
    static bool active();
};

// Runs f as the event loop would run a handler: ProgramEnd ends the program,
// a RuntimeError or other exception is reported in a message box and the
// program goes on with the next event. f is a user command (platform::CommandScope);
// the outermost call runs the end-of-command work after it.
void runGuarded(const std::function<void()>& f);
// The report of an error no handler trapped.
void reportUnhandledError(int number, const std::string& description);

// Deletes a widget (or other object) now, or later when Qt may be inside one of
// its events; it is hidden at once either way.
void disposeObject(QObject* object);

// Marks a bridged widget as inside one of its own events while the scope lasts,
// so that disposeObject leaves it to the event loop.
class WidgetEventScope {
public:
    explicit WidgetEventScope(const QObject* widget);
    ~WidgetEventScope();
    WidgetEventScope(const WidgetEventScope&) = delete;
    WidgetEventScope& operator=(const WidgetEventScope&) = delete;
    static bool contains(const QObject* widget);
};

// Mouse button and shift masks of Qt values.
int buttonCode(Qt::MouseButton button);
int buttonMask(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

// The control a bridged widget belongs to; null once the control let go.
class WidgetBinding {
public:
    virtual ~WidgetBinding() = default;
    Control* boundControl = nullptr;
};

// True when no part of the widget lies inside its containers, up to its window:
// nothing of it can be on screen.
bool isClippedAway(const QWidget* widget);

template <class Base>
class Bridged : public Base, public WidgetBinding {
public:
    template <class... Args>
    explicit Bridged(Args&&... args) : Base(std::forward<Args>(args)...)
    {
    }

protected:
    bool event(QEvent* e) override
    {
        // A widget that was shown asks to be painted later. One outside the visible
        // part of its containers has nothing to paint, and queued for painting it
        // would cost Qt a pass over all its siblings: a window that shows a
        // thousand controls below its scrolled area at once would pay that a
        // thousand times.
        if (e->type() == QEvent::UpdateLater && isClippedAway(this))
            return true;
        const WidgetEventScope inEvent(this);
        if (!boundControl)
            return Base::event(e);
        return boundControl->dispatchWidgetEvent(e, [this, e] { return Base::event(e); });
    }
};

// Scroll areas (lists, multi-line text) get their mouse events through the
// viewport; those are bridged too.
template <class Base>
class BridgedScrollArea : public Bridged<Base> {
public:
    using Bridged<Base>::Bridged;

protected:
    bool viewportEvent(QEvent* e) override
    {
        if (e->type() == QEvent::Wheel)
            return wheelAcrossWithShift(static_cast<QWheelEvent*>(e));
        if (!this->boundControl || !isMouseEvent(e))
            return Base::viewportEvent(e);
        return this->boundControl->dispatchWidgetEvent(e, [this, e] { return Base::viewportEvent(e); });
    }

    // Shift+wheel scrolls across, as over the chart; the plain wheel down.
    bool wheelAcrossWithShift(QWheelEvent* e)
    {
        const QPoint delta = e->angleDelta();
        if (!e->modifiers().testFlag(Qt::ShiftModifier) || delta.x() != 0 || delta.y() == 0)
            return Base::viewportEvent(e);
        QWheelEvent across(e->position(), e->globalPosition(), QPoint(e->pixelDelta().y(), 0), QPoint(delta.y(), 0),
                           e->buttons(), e->modifiers() & ~Qt::ShiftModifier, e->phase(), e->inverted(), e->source());
        const bool result = Base::viewportEvent(&across);
        e->setAccepted(across.isAccepted());
        return result;
    }

    static bool isMouseEvent(const QEvent* e)
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            return true;
        default:
            return false;
        }
    }
};

} // namespace forms

namespace forms {

// True while runApplication's main event loop runs.
bool isMainLoopRunning();
// Called when a window unloads: the program ends with its last window.
void lastWindowUnloaded();
// The Qt cursor shape of a MousePointer value.
Qt::CursorShape cursorShapeFor(int mousePointer);

} // namespace forms

#include <QLoggingCategory>
Q_DECLARE_LOGGING_CATEGORY(formsLog)
