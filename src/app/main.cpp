// Tevora: starts the Qt application, installs the forms layer's hooks and
// shows the main window; the program ends when that window is unloaded or the
// program calls EndProgram.

#include "forms/Application.h"
#include "forms/Form.h"

#include "platform/Errors.h"
#include "platform/Hooks.h"

#ifdef TEVORA_HAS_MAINWINDOW
#include "mainwindow/MainForm.h"
#endif
#ifdef TEVORA_HAS_APP_WINDOWS
#include "app/AppWindows.h"
#endif

#include <QApplication>

#include <string>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(platform::AppTitle));
    forms::startApplication(argc, argv);

    int code = 0;
    try {
#ifdef TEVORA_HAS_APP_WINDOWS
        app::installProgram();
#endif
#ifdef TEVORA_HAS_MAINWINDOW
        main_form().show();
#endif
        code = forms::runEventLoop();
    } catch (const platform::ProgramEnd&) {
        // EndProgram while the main window was starting up.
        forms::endProgramNow();
    } catch (const platform::RuntimeError& error) {
        platform::MsgBox("実行時エラー '" + std::to_string(error.number) + "':\r\n\r\n" + error.description,
                         platform::vbCritical);
        code = 1;
    }
    forms::finishApplication();
    return code;
}
