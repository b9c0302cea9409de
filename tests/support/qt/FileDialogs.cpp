#include "support/qt/FileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace support {

namespace {

QFileDialog* shownFileDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

QLineEdit* nameBoxOf(QFileDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// Steps queued and not yet begun (their polls), and steps running now.
int g_queuedSteps = 0;
bool g_driving = false;
std::vector<QPointer<QTimer>> g_polls;

} // namespace

void onFileDialog(std::function<void(QFileDialog&)> steps)
{
    // Another modal window may come first (an options window before the save
    // dialog): the steps wait for the file dialog itself.
    ++g_queuedSteps;
    auto* poll = new QTimer(qApp);
    g_polls.emplace_back(poll);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, steps = std::move(steps)] {
        QPointer<QFileDialog> dialog = shownFileDialog();
        if (!dialog || g_driving)
            return;
        poll->stop();
        poll->deleteLater();
        --g_queuedSteps;
        g_driving = true;
        steps(*dialog);
        g_driving = false;
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    poll->start();
}

QString nameBoxText(QFileDialog& dialog)
{
    QLineEdit* box = nameBoxOf(dialog);
    EXPECT_NE(box, nullptr) << "the file dialog has no name box";
    return box ? box->text() : QString();
}

QString enterName(QFileDialog& dialog, const QString& text)
{
    QLineEdit* box = nameBoxOf(dialog);
    if (!box) {
        ADD_FAILURE() << "the file dialog has no name box";
        return {};
    }
    // The dialog's own message box runs a loop of its own inside the key press.
    QString said;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, &dialog, [&dialog, &said] {
        for (QMessageBox* message : dialog.findChildren<QMessageBox*>()) {
            if (message->isVisible()) {
                said = message->text();
                message->reject();
            }
        }
    });
    answer.start();
    box->setFocus();
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
    return said;
}

QStringList listedNames(QFileDialog& dialog, int atLeast)
{
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (!list) {
        ADD_FAILURE() << "the file dialog has no list";
        return {};
    }
    const auto rows = [list] { return list->model()->rowCount(list->rootIndex()); };
    // The dialog's list fills from a thread of its own: on a busy machine that
    // may take a while.
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() >= atLeast; }, 20000));
    QTest::qWait(100); // names that do not match would have come by now too
    QStringList names;
    for (int row = 0; row < rows(); ++row)
        names << list->model()->index(row, 0, list->rootIndex()).data().toString();
    names.sort();
    return names;
}

RealFileDialogs::RealFileDialogs(ScriptedDialogs& scripted) : m_scripted(scripted), m_watch(new QTimer)
{
    forms::setDialogResponder(nullptr);
    // A dialog nobody queued steps for fails the test instead of waiting for a
    // user who never comes.
    m_watch->setInterval(50);
    QObject::connect(m_watch.get(), &QTimer::timeout, [] {
        QFileDialog* dialog = shownFileDialog();
        if (!dialog || g_driving || g_queuedSteps > 0)
            return;
        ADD_FAILURE() << "file dialog \"" << dialog->windowTitle().toStdString()
                      << "\" shown with no steps queued to answer it";
        dialog->reject();
    });
    m_watch->start();
}

RealFileDialogs::~RealFileDialogs()
{
    forms::setDialogResponder(&m_scripted);
    if (g_queuedSteps > 0)
        ADD_FAILURE() << g_queuedSteps << " file dialog(s) expected never showed";
    for (const QPointer<QTimer>& poll : g_polls)
        delete poll.data();
    g_polls.clear();
    g_queuedSteps = 0;
}

} // namespace support
