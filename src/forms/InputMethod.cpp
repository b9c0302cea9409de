#include "forms/InputMethod_p.h"

#include "forms/Bridge_p.h"
#include "forms/Control.h"

#include "platform/Conversions.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QWidget>

// The platform's input context has no public handle: the key that opened a cell
// editor is offered to it as the platform itself offers every key typed.
#include <private/qinputmethod_p.h>
#include <qpa/qplatforminputcontext.h>

namespace forms {

bool takesKeysAsTyped(int imeMode)
{
    return imeMode == vbIMEOff || imeMode == vbIMEDisable || imeMode == vbIMEAlpha;
}

void answerInputMethodQuery(QInputMethodQueryEvent& query, int imeMode)
{
    const bool direct = takesKeysAsTyped(imeMode);
    if (!direct && imeMode != vbIMEAlphaFull)
        return;
    const Qt::InputMethodQueries asked = query.queries();
    if (asked.testFlag(Qt::ImEnabled) && direct)
        query.setValue(Qt::ImEnabled, false);
    if (asked.testFlag(Qt::ImHints)) {
        const auto hints = Qt::InputMethodHints(query.value(Qt::ImHints).toInt());
        query.setValue(Qt::ImHints, static_cast<int>(hints | (direct ? Qt::ImhLatinOnly : Qt::ImhPreferLatin)));
    }
}

void inputMethodModeChanged(QWidget* widget)
{
    if (widget && widget->hasFocus() && QGuiApplication::focusObject() == widget)
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

QString asTypedDirectly(const QString& text)
{
    return qs(platform::narrowWidth(str(text)));
}

bool retypeThroughInputMethod(const QKeyEvent& key)
{
    QPlatformInputContext* context = QInputMethodPrivate::get(QGuiApplication::inputMethod())->platformInputContext();
    if (!context || !QGuiApplication::focusObject())
        return false;
    QKeyEvent again(key.type(), key.key(), key.modifiers(), key.nativeScanCode(), key.nativeVirtualKey(),
                    key.nativeModifiers(), key.text(), key.isAutoRepeat(), key.count());
    again.setTimestamp(key.timestamp());
    return context->filterEvent(&again);
}

} // namespace forms
