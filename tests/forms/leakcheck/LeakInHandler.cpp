// A window whose button leaks in its click handler. Run with the test programs'
// leak suppressions (tests/lsan.supp), LeakSanitizer must report the leak when
// the program ends. Every handler runs under Qt's frames, so a suppression that
// names a whole Qt library instead of a Qt function would hide it.

#include "forms/CommandButton.h"
#include "forms/Form.h"

#include <QApplication>

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
    form.load();
    form.Command1.click();
    form.unload();
    return 0;
}
