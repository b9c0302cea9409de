#include "forms/Bridge_p.h"

#include "forms/Form.h"

#include "platform/Commands.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"

#include <QLabel>
#include <QObject>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace forms {

namespace {
int g_dispatchDepth = 0;
// The bridged widgets inside one of their own events, innermost last.
std::vector<const QObject*> g_widgetsInEvent;
} // namespace

QString crlfToLf(const QString& text)
{
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QString lfToCrlf(const QString& text)
{
    QString result = crlfToLf(text);
    result.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return result;
}

bool isClippedAway(const QWidget* widget)
{
    QRect area = widget->rect();
    for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
        const QWidget* container = w->parentWidget();
        if (!container)
            break;
        area.translate(w->pos());
        area &= container->rect();
        if (area.isEmpty())
            return true;
    }
    return false;
}

DispatchScope::DispatchScope()
{
    ++g_dispatchDepth;
}

DispatchScope::~DispatchScope()
{
    --g_dispatchDepth;
}

bool DispatchScope::active()
{
    return g_dispatchDepth > 0;
}

WidgetEventScope::WidgetEventScope(const QObject* widget)
{
    g_widgetsInEvent.push_back(widget);
}

WidgetEventScope::~WidgetEventScope()
{
    g_widgetsInEvent.pop_back();
}

bool WidgetEventScope::contains(const QObject* widget)
{
    return std::find(g_widgetsInEvent.begin(), g_widgetsInEvent.end(), widget) != g_widgetsInEvent.end();
}

void reportUnhandledError(int number, const std::string& description)
{
    // An error no handler trapped is shown with its number and description. The program goes on
    // with the next event instead of ending, so no unsaved family is lost.
    const std::string text = "実行時エラー '" + std::to_string(number) + "':\r\n\r\n" + description;
    qCWarning(formsLog) << "unhandled error" << number << qs(description);
    platform::MsgBox(text, platform::vbCritical);
}

namespace {

// Runs f under the rule of runGuarded; false when the program ended.
bool runCatching(const std::function<void()>& f)
{
    try {
        f();
        return true;
    } catch (const platform::ProgramEnd&) {
        endProgramNow();
        return false;
    } catch (const platform::RuntimeError& error) {
        try {
            reportUnhandledError(error.number, error.description);
        } catch (const platform::ProgramEnd&) {
            endProgramNow();
            return false;
        } catch (...) {
        }
    } catch (const std::exception& error) {
        try {
            reportUnhandledError(platform::err::InvalidCall, error.what());
        } catch (const platform::ProgramEnd&) {
            endProgramNow();
            return false;
        } catch (...) {
        }
    }
    return true;
}

} // namespace

void runGuarded(const std::function<void()>& f)
{
    DispatchScope scope;
    platform::CommandScope command;
    if (runCatching(f) && !isProgramEnding())
        runCatching([&command] { command.finish(); });
}

void disposeObject(QObject* object)
{
    if (!object)
        return;
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget)
        widget->hide();
    // Qt may be inside an event of this object (a handler that unloads the
    // control it was raised on): then it goes once control is back in the loop.
    // A label runs no code of its own but in its events, so one that is not
    // inside an event goes at once: a command that replaces a thousand labels
    // would otherwise keep the old ones among its container's children until it
    // ends, and every control it adds meanwhile is placed among them.
    const bool idleLabel = qobject_cast<QLabel*>(object) && object->children().isEmpty()
                           && !WidgetEventScope::contains(object);
    if (DispatchScope::active() && !idleLabel)
        object->deleteLater();
    else
        delete object;
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return vbLeftButton;
    case Qt::RightButton: return vbRightButton;
    case Qt::MiddleButton: return vbMiddleButton;
    default: return 0;
    }
}

int buttonMask(Qt::MouseButtons buttons)
{
    int mask = 0;
    if (buttons.testFlag(Qt::LeftButton))
        mask |= vbLeftButton;
    if (buttons.testFlag(Qt::RightButton))
        mask |= vbRightButton;
    if (buttons.testFlag(Qt::MiddleButton))
        mask |= vbMiddleButton;
    return mask;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        mask |= vbShiftMask;
    if (modifiers.testFlag(Qt::ControlModifier))
        mask |= vbCtrlMask;
    if (modifiers.testFlag(Qt::AltModifier))
        mask |= vbAltMask;
    return mask;
}

} // namespace forms
