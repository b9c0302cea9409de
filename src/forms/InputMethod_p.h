#pragma once
// The controls and the platform's input method (a Japanese IME such as Mozc
// under fcitx5), for use inside src/forms/*.cpp only. The input method asks the
// focused widget whether it composes (Qt::ImEnabled) at each focus change and
// whenever told that the answer changed; Qt's line and text edits answer for
// themselves, so a control's IMEMode reaches the input method through the answer
// the control gives.

#include <QString>

class QInputMethodQueryEvent;
class QKeyEvent;
class QWidget;

namespace forms {

// True for the IMEMode values that take typed keys as they are: Off, Disable and
// half-width alphanumeric.
bool takesKeysAsTyped(int imeMode);

// Sets the answer to the input method's question from the control's mode, over
// the widget's own: whether it composes, and what it prefers to be typed.
void answerInputMethodQuery(QInputMethodQueryEvent& query, int imeMode);

// Tells the input method that the answer of the widget changed, when the widget
// is the one it serves now.
void inputMethodModeChanged(QWidget* widget);

// The text as a control that takes typed keys as they are takes it: full-width
// letters, digits and signs (and the full-width blank) as their half-width forms.
QString asTypedDirectly(const QString& text);

// Offers a key the user typed on another control to the input method again, for
// the control that now has the focus: the key that opened a cell editor starts its
// composition there. True when the input method took it.
bool retypeThroughInputMethod(const QKeyEvent& key);

} // namespace forms
