#pragma once
// The top-level widget of a loaded window, for use inside src/forms/*.cpp only.
// It holds an optional menu bar and the client area the controls live in, and
// turns window-level Qt events (close box, resize, activation, keys and mouse
// with no control involved) into the window's events.

#include "forms/WindowPlacement_p.h"

#include <QWidget>

class QMenuBar;
class QWheelEvent;

namespace forms {

class Form;

// A wheel turn that no control took (text boxes, lists and grids scroll by
// themselves): moves the scroll bar of form whose wheel area lies under the
// pointer (ScrollBar::setWheelArea); false when there is none.
bool turnWheelOfArea(Form& form, const QWheelEvent& event);

class FormWindow : public QWidget {
public:
    explicit FormWindow(Form& form);

    // Null once the window object let go of this widget.
    Form* form = nullptr;
    QWidget* client = nullptr;

    QMenuBar* menuBar() const { return m_menuBar; }
    QMenuBar* ensureMenuBar();
    // Height the menu bar takes above the client area (0 when it is hidden).
    int menuBarHeight() const;
    // Places the menu bar and the client area in the window.
    void layoutChildren();
    // Set while the window object changes the geometry itself.
    bool applyingGeometry = false;
    // How the window is asked to be kept in front while it shows modeless.
    InFront inFront = InFront::OfOwner;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab, Shift+Tab and a focus control that is hidden or disabled follow the
    // tab order, worked out first if the window's controls changed.
    bool focusNextPrevChild(bool next) override;

private:
    bool keyIsOwn() const;

    QMenuBar* m_menuBar = nullptr;
};

} // namespace forms
