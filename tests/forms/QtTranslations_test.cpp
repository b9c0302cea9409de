// Qt's own dialogs (file, font, colour, page set-up) and standard buttons speak
// Japanese once the program has started, whatever the system's locale.

#include "forms/Application.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

namespace {

TEST(QtTranslations, TheFileDialogAndStandardButtonsAreJapaneseAfterStart)
{
    ASSERT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    forms::startApplication(0, nullptr);
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
    forms::finishApplication();

    EXPECT_NE(lookIn, QStringLiteral("Look in:"));
    EXPECT_NE(cancel, QStringLiteral("Cancel"));
    // The program's end takes them away with the other start-up services.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}

} // namespace
