// Tevora: starts the Qt application (in a Wayland session on X11 through
// XWayland where it can: forms/SessionPlatform.h), installs the forms layer's
// hooks, claims the program folder and shows the main window; the program ends
// when that window is unloaded or the program calls EndProgram, and gives the
// folder up last. A second start on a folder that a running program holds says
// so and ends without touching any file of the folder.

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/SessionPlatform.h"

#include "platform/AppPath.h"
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
#include <vector>

int main(int argc, char** argv)
{
    // The platform is chosen before Qt starts: in a Wayland session, X11 through
    // XWayland where the session offers it.
    std::vector<char*> arguments = forms::applicationArguments(argc, argv);
    int count = static_cast<int>(arguments.size()) - 1;
    QApplication app(count, arguments.data());
    QApplication::setApplicationName(QString::fromUtf8(platform::AppTitle));
    forms::startApplication(count, arguments.data());
    // Before anything of the folder is read or written: the start-up empties the
    // work folders and offers the interrupted edit, both the running program's.
    if (!platform::claimProgramFolder()) {
        forms::finishApplication();
        return 1;
    }

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
    // The windows' unload deletes the snapshots: the folder is held until then.
    platform::releaseProgramFolder();
    return code;
}
