// A window whose button leaks in its click handler. Run with the test programs'
// leak suppressions (tests/lsan.supp), LeakSanitizer must report the leak when
// the program ends. Every handler runs under Qt's frames, so a suppression that
// names a whole Qt library instead of a Qt function would hide it. The click
// comes as the window system delivers it, a mouse press and release handed to
// the window, so that QtGui, QtWidgets and QtCore are all below the handler
// (leak_in_handler_check shows that a line naming any of them hides the leak).

#include "forms/CommandButton.h"
#include "forms/Form.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace {

// Not inlined, so that the leak report names it.
[[gnu::noinline]] void leakingClick()
{
    new int[10]; // never freed
}

class LeakForm : public forms::Form {
public:
    LeakForm() : Form("LeakForm") { Command1.onClick = [] { leakingClick(); }; }
    forms::CommandButton Command1{*this, "Command1"};
};

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    LeakForm form;
    form.show();
    QWidget* button = form.Command1.widget();
    QWidget* window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(window, button->rect().center()));
    form.unload();
    return 0;
}
