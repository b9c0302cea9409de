#include "forms/Application.h"

#include "forms/Bridge_p.h"
#include "forms/Form.h"
#include "forms/FormWindow_p.h"
#include "forms/QtHooks_p.h"

#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QEventLoop>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace forms {

namespace {

bool g_mainLoopRunning = false;
bool g_inDoEvents = false;
QtHooks* g_hooks = nullptr;
QTranslator* g_translator = nullptr;

// The platform's request to end the program reaches the application as a Quit
// event: on X11 the session manager's "die" at the end of the session arrives
// this way. The program itself never asks Qt to quit (it ends through
// EndProgram), so every Quit event is such a request. Left to Qt, it would close
// the windows as if by their close boxes (UnloadMode 0), and the main window
// would ask about unsaved changes while the session goes away.
class SessionEndFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Quit || watched != QCoreApplication::instance())
            return false;
        if (!endSession()) {
            event->ignore();
            return true;
        }
        event->accept();
        if (g_mainLoopRunning)
            QCoreApplication::exit(0);
        return true;
    }
};

SessionEndFilter* g_sessionEnd = nullptr;

// A message box whose Esc and close box give the answer the callers expect for
// "the user backed out": Cancel where the box has it, OK for an OK-only box,
// nothing otherwise (a はい/いいえ question must be answered).
class RuntimeMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool escapeAllowed = true;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape && !escapeAllowed)
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (!escapeAllowed) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

QWidget* activeParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    const auto loaded = loadedForms();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        if ((*it)->window() && (*it)->window()->isVisible())
            return (*it)->window();
    }
    return nullptr;
}

} // namespace

bool isMainLoopRunning()
{
    return g_mainLoopRunning;
}

void lastWindowUnloaded()
{
    if (!g_mainLoopRunning)
        return;
    // Checked once the current handler is done: it may show another window.
    QTimer::singleShot(0, [] {
        if (!g_mainLoopRunning)
            return;
        for (Form* form : loadedForms()) {
            if (form->window() && form->isVisible())
                return;
        }
        QCoreApplication::exit(0);
    });
}

std::string messageBoxText(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if ((c == '\r' && next == '\n') || (c == '\n' && next == '\r')) {
            result += '\n';
            ++i;
        } else if (c == '\n') {
            result += '\n';
        } else if (c != '\r') {
            result += c;
        }
    }
    return result;
}

int QtHooks::msgBox(const std::string& text, int style, const std::string& title)
{
    RuntimeMessageBox box(activeParent());
    box.setWindowTitle(qs(title));
    box.setText(qs(messageBoxText(text)));
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);

    switch (style & 0x70) {
    case platform::vbCritical: box.setIcon(QMessageBox::Critical); break;
    case platform::vbQuestion: box.setIcon(QMessageBox::Question); break;
    case platform::vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case platform::vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }

    struct Choice {
        int answer;
        const char* caption;
        QMessageBox::ButtonRole role;
    };
    // Built by return rather than assigned case by case: GCC 12 warns falsely
    // (-Wnonnull) about the inlined copy of an assigned initializer list.
    const std::vector<Choice> choices = [style]() -> std::vector<Choice> {
        switch (style & 0x7) {
        case platform::vbOKCancel:
            return {{platform::vbOK, "OK", QMessageBox::AcceptRole},
                    {platform::vbCancel, "キャンセル", QMessageBox::RejectRole}};
        case platform::vbAbortRetryIgnore:
            return {{platform::vbAbort, "中止(&A)", QMessageBox::RejectRole},
                    {platform::vbRetry, "再試行(&R)", QMessageBox::AcceptRole},
                    {platform::vbIgnore, "無視(&I)", QMessageBox::AcceptRole}};
        case platform::vbYesNoCancel:
            return {{platform::vbYes, "はい(&Y)", QMessageBox::YesRole},
                    {platform::vbNo, "いいえ(&N)", QMessageBox::NoRole},
                    {platform::vbCancel, "キャンセル", QMessageBox::RejectRole}};
        case platform::vbYesNo:
            return {{platform::vbYes, "はい(&Y)", QMessageBox::YesRole},
                    {platform::vbNo, "いいえ(&N)", QMessageBox::NoRole}};
        case platform::vbRetryCancel:
            return {{platform::vbRetry, "再試行(&R)", QMessageBox::AcceptRole},
                    {platform::vbCancel, "キャンセル", QMessageBox::RejectRole}};
        default:
            return {{platform::vbOK, "OK", QMessageBox::AcceptRole}};
        }
    }();
    std::vector<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons.push_back(box.addButton(QString::fromUtf8(choice.caption), choice.role));
    const size_t defaultIndex = (style & platform::vbDefaultButton3) ? 2 : (style & platform::vbDefaultButton2) ? 1 : 0;
    box.setDefaultButton(buttons[std::min(defaultIndex, buttons.size() - 1)]);

    QPushButton* escape = nullptr;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].answer == platform::vbCancel)
            escape = buttons[i];
    }
    if (!escape && choices.size() == 1)
        escape = buttons[0];
    box.escapeAllowed = escape != nullptr;
    if (escape)
        box.setEscapeButton(escape);

    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (clicked == buttons[i])
            return choices[i].answer;
    }
    return escape ? platform::cancelAnswer(style) : platform::defaultAnswer(style);
}

std::string QtHooks::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(activeParent(), qs(title), qs(messageBoxText(prompt)),
                                               QLineEdit::Normal, qs(defaultText), &ok);
    return ok ? str(text) : std::string();
}

void QtHooks::shellOpen(const std::string& target, const std::function<void()>& failed)
{
    openWithDesktop(target, failed);
}

namespace {

// The openers still running. Their answers come from the event loop; when the
// application goes they are let go without a word (the opener itself may be
// stopped with it), so no message shows while the program ends.
class RunningOpeners : public QObject {
public:
    using QObject::QObject;
    ~RunningOpeners() override
    {
        for (QProcess* process : findChildren<QProcess*>())
            process->disconnect();
    }

    static RunningOpeners& instance()
    {
        static QPointer<RunningOpeners> openers;
        if (!openers)
            openers = new RunningOpeners(QCoreApplication::instance());
        return *openers;
    }
};

} // namespace

void openWithDesktop(const std::string& target, const std::function<void()>& failed)
{
    const QString text = qs(target);
    QUrl url;
    if (QFileInfo::exists(text))
        url = QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    else
        url = QUrl::fromUserInput(text);
    const auto reportFailure = [failed] {
        if (failed)
            runGuarded(failed);
    };
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            reportFailure();
        return;
    }

    // The opener says by its exit status whether a program showed the target;
    // one that cannot (no browser, no program for the file) says why on its
    // error output and ends. One that runs the program it found in the
    // foreground ends only with that program: nothing waits for it.
    auto* process = new QProcess(&RunningOpeners::instance());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::errorOccurred, process, [process, reportFailure](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // the end of a running opener comes with finished
        process->deleteLater();
        reportFailure();
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, reportFailure](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0)
                             reportFailure();
                     });
    process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
}

double QtHooks::now()
{
    return platform::systemNow();
}

void QtHooks::beep()
{
    QApplication::beep();
}

void QtHooks::endProgram()
{
    endProgramNow();
}

void QtHooks::doEvents()
{
    forms::doEvents();
}

bool endSession()
{
    const std::vector<Form*> windows = loadedForms();
    for (Form* form : windows) {
        if (isProgramEnding())
            return true;
        if (!form->isLoaded())
            continue;   // unloaded meanwhile by an earlier window's handler
        bool unloaded = false;
        runGuarded([&] { unloaded = form->unloadWithMode(vbAppWindows); });
        if (isProgramEnding())
            return true;
        if (!unloaded)
            return false;
    }
    return true;
}

void doEvents()
{
    if (g_inDoEvents)
        return;
    g_inDoEvents = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    g_inDoEvents = false;
}

// Qt's own dialogs and buttons (file, font, colour and page dialogs, the
// standard buttons) speak the program's language, Japanese, whatever the
// system's locale: the distribution's Qt translations are loaded once.
void loadQtTranslations()
{
    if (g_translator || !QCoreApplication::instance())
        return;
    auto* loaded = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!loaded->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"), QStringLiteral("_"), folder)) {
        qCWarning(formsLog) << "Qt's Japanese translations were not found in" << folder;
        delete loaded;
        return;
    }
    QCoreApplication::installTranslator(loaded);
    g_translator = loaded;
}

void startApplication(int argc, char** argv)
{
    platform::setCommandLine(argc, argv);
    loadQtTranslations();
    QApplication::setQuitOnLastWindowClosed(false);
    if (!g_hooks)
        g_hooks = new QtHooks;
    platform::setHooks(g_hooks);
    if (!g_sessionEnd && QCoreApplication::instance()) {
        g_sessionEnd = new SessionEndFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(g_sessionEnd);
    }
}

int runEventLoop()
{
    if (isProgramEnding())
        return 0;
    g_mainLoopRunning = true;
    const int code = QApplication::exec();
    g_mainLoopRunning = false;
    return code;
}

void finishApplication()
{
    const auto loaded = loadedForms();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it)
        (*it)->destroySilently();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::setHooks(nullptr);
    delete g_hooks;
    g_hooks = nullptr;
    delete g_sessionEnd;   // also leaves the application's event filters
    g_sessionEnd = nullptr;
    delete g_translator;   // also leaves the application's translators
    g_translator = nullptr;
}

} // namespace forms
