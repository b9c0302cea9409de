#pragma once
// Drives the program's real file dialog (Qt's own, headless) as a user does,
// from inside its modal loop:
//
//     support::RealFileDialogs real(dialogs);   // the scripted responder steps aside
//     support::onFileDialog([](QFileDialog& dialog) {
//         support::enterName(dialog, "*.txt");  // Enter on the name box
//         ...
//     });
//     window().fileitem[6].choose();

#include "support/qt/ScriptedDialogs.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QFileDialog;
class QTimer;

namespace support {

// Runs steps once on the next file dialog that shows. A dialog still open when
// the steps return is cancelled.
void onFileDialog(std::function<void(QFileDialog&)> steps);

// What the dialog's name box holds.
QString nameBoxText(QFileDialog& dialog);
// Types text into the name box (replacing what it held) and presses Enter. A
// message box the dialog shows in answer (Qt's own "file not found") is closed;
// its text is returned ("" when none showed).
QString enterName(QFileDialog& dialog, const QString& text);
// The names the list shows, sorted, once at least atLeast have come (the list
// fills in the background) and a moment more for any others.
QStringList listedNames(QFileDialog& dialog, int atLeast);

// The real dialogs answer while this lives; the scripted responder answers again
// afterwards. A file dialog shown with no steps queued for it fails the test and
// is cancelled.
class RealFileDialogs {
public:
    explicit RealFileDialogs(ScriptedDialogs& scripted);
    ~RealFileDialogs();
    RealFileDialogs(const RealFileDialogs&) = delete;
    RealFileDialogs& operator=(const RealFileDialogs&) = delete;

private:
    ScriptedDialogs& m_scripted;
    std::unique_ptr<QTimer> m_watch;
};

} // namespace support
