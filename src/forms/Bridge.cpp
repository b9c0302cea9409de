#include "forms/Bridge_p.h"

#include "forms/Form.h"

#include "platform/Commands.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"

#include <QObject>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>

namespace forms {

namespace {
int g_dispatchDepth = 0;
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
    if (auto* widget = qobject_cast<QWidget*>(object))
        widget->hide();
    // Qt may be inside an event of this object (a handler that unloads the
    // control it was raised on): then it goes once control is back in the loop.
    if (DispatchScope::active())
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
