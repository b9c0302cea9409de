#pragma once
// Ends a test's program as the user does: by the main window's close box. A
// changed family's questions are answered "OK" (end) and "No" (do not save); the
// program's end takes every other window with it.

#include "mainwindow/MainForm.h"

#include "forms/Testing.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace mainwindow_test {

inline void closeMainWindow(ScriptedResponder& answers)
{
    MainForm& window = main_form();
    if (!window.isLoaded())
        return;
    if (model::tables().Data_Changed == 1) {
        answers.answerNext(platform::vbOK);
        answers.answerNext(platform::vbNo);
    }
    forms::formWidget(window)->close();
    EXPECT_FALSE(window.isLoaded()) << "the main window stays open after its close box";
}

} // namespace mainwindow_test
